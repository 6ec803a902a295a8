#include "app/tform1.h"
#include "core/question_draw.h"
#include "core/random.h"
#include "toolkit/classic_timer.h"
#include "toolkit/label.h"
#include "toolkit/radio_group.h"
#include "windowfixture.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QGroupBox>
#include <QKeySequence>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>

namespace {

const QString noLesson = QStringLiteral("Vous devez sélectionner au moins un cours");
const QString tooFew = QStringLiteral("Le test doit comporter au moins 6 propositions");

Field askedField(const TForm1 &form)
{
    return form.LQ1->isChecked() ? Field::Chinese
        : form.LQ2->isChecked()  ? Field::Pinyin
                                 : Field::French;
}

Field answeredField(const TForm1 &form)
{
    return form.LR1->isChecked() ? Field::Chinese
        : form.LR2->isChecked()  ? Field::Pinyin
                                 : Field::French;
}

const WordList &listOf(const TForm1 &form, Field field)
{
    return field == Field::Chinese ? form.Liste_ch
        : field == Field::Pinyin   ? form.Liste_pin
                                   : form.Liste_fr;
}

/// What the next question will show, from a copy of the generator.
struct Expected
{
    int slot = 0;
    QString question;
    QStringList choices;
    QString solution;
};

Expected predict(const TForm1 &form)
{
    Random copy(programRandom().seed());
    const Field asked = askedField(form);
    const Field answered = answeredField(form);
    const QuestionSlots drawn = drawQuestion(form.Liste_ch, form.Liste_fr, asked, answered, copy);
    Expected expected;
    expected.slot = drawn.correctSlot;
    expected.question = listOf(form, asked).item(drawn.question);
    for (qsizetype entry : drawn.entries)
        expected.choices << listOf(form, answered).item(entry);
    const Field third = Field(3 - int(asked) - int(answered));
    expected.solution = listOf(form, third).item(drawn.question);
    return expected;
}

QStringList choiceCaptions(const TForm1 &form)
{
    QStringList captions;
    for (int k = 0; k < toolkit::TRadioGroup::choiceCount; ++k)
        captions << form.RadioGroup1->choice(k)->text();
    return captions;
}

/// The question on the page is the expected one.
void verifyQuestion(const TForm1 &form, const Expected &expected)
{
    QCOMPARE(form.question->caption(), expected.question);
    QCOMPARE(choiceCaptions(form), expected.choices);
    QCOMPARE(form.Solution->caption(), expected.solution);
    QCOMPARE(form.quiz.correctSlot(), expected.slot);
    QCOMPARE(form.RadioGroup1->items(), (QStringList {"R0", "R1", "R2", "R3", "R4", "R5"}));
}

void verifyAsking(const TForm1 &form)
{
    QVERIFY(!form.Button4->isVisible());
    QVERIFY(!form.GroupBox2->isVisible());
    QVERIFY(!form.GroupBox3->isVisible());
    QVERIFY(form.Reinitialiser->isVisible());
    QVERIFY(form.Group_note->isVisible());
    QVERIFY(form.RadioGroup1->isVisible());
    QVERIFY(!form.Timer3->enabled());
}

void verifyIdle(const TForm1 &form)
{
    QVERIFY(form.Button4->isVisible());
    QVERIFY(form.GroupBox2->isVisible());
    QVERIFY(form.GroupBox3->isVisible());
    for (const QWidget *hidden : std::initializer_list<const QWidget *> {
             form.Reinitialiser, form.Group_note, form.RadioGroup1, form.bonne_rep1,
             form.bonne_rep2, form.mauvaise_rep1, form.mauvaise_rep2, form.Solution})
        QVERIFY2(!hidden->isVisible(), qPrintable(hidden->objectName()));
    QCOMPARE(form.note->caption(), QStringLiteral("0 / 0"));
    QCOMPARE(form.question->caption(), QString());
    QVERIFY(!form.Timer3->enabled());
}

bool isNormal(const TForm1 &form, int k)
{
    const QRadioButton *choice = form.RadioGroup1->choice(k);
    return !choice->font().bold()
        && choice->palette().color(QPalette::WindowText)
        == QApplication::palette().color(QPalette::WindowText);
}

bool isGreenBold(const TForm1 &form, int k)
{
    const QRadioButton *choice = form.RadioGroup1->choice(k);
    return choice->font().bold()
        && choice->palette().color(QPalette::WindowText) == QColor(0, 128, 0);
}

/// All six unticked and in their normal look.
void verifyChoicesReset(const TForm1 &form)
{
    for (int k = 0; k < toolkit::TRadioGroup::choiceCount; ++k) {
        QVERIFY2(!form.RadioGroup1->choice(k)->isChecked(), qPrintable(QString::number(k)));
        QVERIFY2(isNormal(form, k), qPrintable(QString::number(k)));
    }
}

/// Which verdict shows: "bonne", "mauvaise" or "" (none), checking the pairs go together.
QString verdict(const TForm1 &form)
{
    const bool right = form.bonne_rep1->isVisible();
    const bool wrong = form.mauvaise_rep1->isVisible();
    if (right != form.bonne_rep2->isVisible() || wrong != form.mauvaise_rep2->isVisible()
        || (right && wrong))
        return QStringLiteral("mixed");
    return right ? QStringLiteral("bonne") : wrong ? QStringLiteral("mauvaise") : QString();
}

/// A learner's click on choice k, on its indicator.
void clickChoice(TForm1 &form, int k)
{
    QRadioButton *choice = form.RadioGroup1->choice(k);
    QTest::mouseClick(choice, Qt::LeftButton, {},
                      QPoint(choice->height() / 2, choice->height() / 2));
}

int wrongSlot(int slot, int offset = 1)
{
    return (slot + offset) % toolkit::TRadioGroup::choiceCount;
}

/// Stops the test function when a helper failed.
#define CHECKED(call)                                                                              \
    do {                                                                                           \
        call;                                                                                      \
        if (QTest::currentTestFailed())                                                            \
            return;                                                                                \
    } while (false)

/// A window on its "Test" page with one lesson of ten entries and a seeded generator.
struct TestWindow
{
    explicit TestWindow(int entries = 10, quint32 seed = 1234)
    {
        fixture.addLesson(QStringLiteral("lecon.txt"), numberedLines(entries));
        fixture.start();
        form().PageControl1->setCurrentIndex(1);
        programRandom().setSeed(seed);
    }
    TForm1 &form() { return fixture.form(); }

    /// "Lancer le test", returning the question it was expected to draw.
    Expected launch()
    {
        Expected expected = predict(form());
        QTest::mouseClick(form().Button4, Qt::LeftButton);
        return expected;
    }

    WindowFixture fixture;
};

} // namespace

class TestTestMode : public QObject
{
    Q_OBJECT
private slots:
    void hiddenButtonsLeaveNoFocusToQuit();
    void ampersandsShowAsTheyStand();
    void guardsRefuse_data();
    void guardsRefuse();
    void launchAsks();
    void questionShowsTheChosenFields_data();
    void questionShowsTheChosenFields();
    void rightAnswer();
    void wrongAnswer();
    void clicksDuringFeedbackCountForNothing();
    void timerTickDrawsTheNextQuestion();
    void samePositionAgainIsScored();
    void testMenuWhileAsking();
    void testMenuDuringFeedback();
    void reinitialiserDuringFeedback();
    void nextQuestionRefused_data();
    void nextQuestionRefused();
    void testMenuDuringFeedbackWithNothingToAsk();
    void feedbackEndsOnTheLearningPage();
    void feedbackLastsThreeSeconds();
};

void TestTestMode::guardsRefuse_data()
{
    QTest::addColumn<QStringList>("lessonA");
    QTest::addColumn<QStringList>("lessonB");
    QTest::addColumn<bool>("viaMenu");
    QTest::addColumn<QString>("message");
    // Which lists are refused is the quiz session's (tst_quiz_session); the page tells why.
    for (bool viaMenu : {false, true}) {
        const char *how = viaMenu ? "&Test" : "Lancer le test";
        QTest::addRow("no lesson, %s", how)
            << QStringList() << QStringList() << viaMenu << noLesson;
        QTest::addRow("five entries, %s", how)
            << numberedLines(3) << numberedLines(2, QStringLiteral("词")) << viaMenu << tooFew;
    }
}

void TestTestMode::guardsRefuse()
{
    QFETCH(QStringList, lessonA);
    QFETCH(QStringList, lessonB);
    QFETCH(bool, viaMenu);
    QFETCH(QString, message);
    WindowFixture fixture;
    if (!lessonA.isEmpty())
        fixture.addLesson(QStringLiteral("a.txt"), lessonA);
    if (!lessonB.isEmpty())
        fixture.addLesson(QStringLiteral("b.txt"), lessonB);
    TForm1 &form = fixture.start();
    QCOMPARE(form.Liste_ch.count(), lessonA.size() + lessonB.size());
    programRandom().setSeed(99);
    if (viaMenu) {
        form.Test1->trigger();
        QCOMPARE(form.PageControl1->currentIndex(), 1);
    } else {
        form.PageControl1->setCurrentIndex(1);
        QTest::mouseClick(form.Button4, Qt::LeftButton);
    }
    QCOMPARE(fixture.plainMessages, QStringList {message});
    QVERIFY(fixture.errors.isEmpty());
    CHECKED(verifyIdle(form));
    QCOMPARE(programRandom().seed(), 99U);
    QCOMPARE(form.quiz.answeredCount(), 0);
}

void TestTestMode::launchAsks()
{
    TestWindow window(10, 1234);
    TForm1 &form = window.form();
    const Expected expected = window.launch();
    // The question entry is the first draw, the correct slot the second.
    Random replayed(1234);
    const quint32 q = replayed.draw(10);
    QCOMPARE(expected.question, QStringLiteral("字%1").arg(q));
    QCOMPARE(expected.slot, int(replayed.draw(6)));

    CHECKED(verifyAsking(form));
    CHECKED(verifyQuestion(form, expected));
    QCOMPARE(form.RadioGroup1->choice(expected.slot)->text(), QStringLiteral("fr%1").arg(q));
    QVERIFY(!form.Solution->isVisible());
    QCOMPARE(form.Solution->caption(), QStringLiteral("pin%1").arg(q));
    QCOMPARE(verdict(form), QString());
    QCOMPARE(form.note->caption(), QStringLiteral("0 / 0"));
    CHECKED(verifyChoicesReset(form));
    QVERIFY(window.fixture.plainMessages.isEmpty());
    QVERIFY(window.fixture.errors.isEmpty());
}

void TestTestMode::questionShowsTheChosenFields_data()
{
    QTest::addColumn<QString>("questionButton");
    QTest::addColumn<QString>("answerButton");
    QTest::addColumn<QString>("questionPrefix");
    QTest::addColumn<QString>("choicePrefix");
    QTest::addColumn<QString>("solutionPrefix");
    // With "Lancer le test"'s own pair (chinese->french), every button of both boxes: each pair's
    // fields are the quiz session's (tst_quiz_session).
    QTest::newRow("pinyin->chinese") << "LQ2"
                                     << "LR1"
                                     << "pin"
                                     << "字"
                                     << "fr";
    QTest::newRow("french->pinyin") << "LQ3"
                                    << "LR2"
                                    << "fr"
                                    << "pin"
                                    << "字";
}

void TestTestMode::questionShowsTheChosenFields()
{
    QFETCH(QString, questionButton);
    QFETCH(QString, answerButton);
    QFETCH(QString, questionPrefix);
    QFETCH(QString, choicePrefix);
    QFETCH(QString, solutionPrefix);
    TestWindow window(12, 555);
    TForm1 &form = window.form();
    form.findChild<QRadioButton *>(questionButton)->setChecked(true);
    form.findChild<QRadioButton *>(answerButton)->setChecked(true);

    Random replayed(555);
    const quint32 q = replayed.draw(12);
    const int slot = int(replayed.draw(6));
    const Expected expected = window.launch();
    CHECKED(verifyQuestion(form, expected));
    QCOMPARE(form.question->caption(), questionPrefix + QString::number(q));
    QCOMPARE(form.RadioGroup1->choice(slot)->text(), choicePrefix + QString::number(q));
    QCOMPARE(form.Solution->caption(), solutionPrefix + QString::number(q));
    for (const QString &caption : choiceCaptions(form))
        QVERIFY2(caption.startsWith(choicePrefix), qPrintable(caption));
}

void TestTestMode::rightAnswer()
{
    TestWindow window;
    TForm1 &form = window.form();
    const Expected expected = window.launch();
    clickChoice(form, expected.slot);

    QVERIFY(form.RadioGroup1->choice(expected.slot)->isChecked());
    QCOMPARE(form.RadioGroup1->itemIndex(), expected.slot);
    QCOMPARE(form.note->caption(), QStringLiteral("1 / 1"));
    QCOMPARE(verdict(form), QStringLiteral("bonne"));
    QVERIFY(form.Solution->isVisible());
    QCOMPARE(form.Solution->caption(), expected.solution);
    QVERIFY(form.Timer3->enabled());
    QCOMPARE(form.Timer3->interval(), 3000);
    QVERIFY(form.Timer3->isCounting());
    for (int k = 0; k < toolkit::TRadioGroup::choiceCount; ++k)
        QVERIFY(isNormal(form, k));
    // The question stays until the delay ends.
    CHECKED(verifyQuestion(form, expected));
}

void TestTestMode::wrongAnswer()
{
    TestWindow window;
    TForm1 &form = window.form();
    const Expected expected = window.launch();
    const int clicked = wrongSlot(expected.slot, 2);
    clickChoice(form, clicked);

    QCOMPARE(form.note->caption(), QStringLiteral("0 / 1"));
    QCOMPARE(verdict(form), QStringLiteral("mauvaise"));
    QVERIFY(form.Solution->isVisible());
    QVERIFY(form.Timer3->enabled());
    QVERIFY(isGreenBold(form, expected.slot));
    QVERIFY(form.RadioGroup1->choice(clicked)->isChecked());
    QVERIFY(isNormal(form, clicked));
    QVERIFY(!form.RadioGroup1->choice(expected.slot)->isChecked());
    for (int k = 0; k < toolkit::TRadioGroup::choiceCount; ++k)
        QVERIFY(k == expected.slot || isNormal(form, k));
}

void TestTestMode::clicksDuringFeedbackCountForNothing()
{
    TestWindow window;
    TForm1 &form = window.form();
    const Expected expected = window.launch();
    const quint32 seedAfterQuestion = programRandom().seed();
    clickChoice(form, wrongSlot(expected.slot));
    for (int offset : {2, 0, 3}) {
        const int k = wrongSlot(expected.slot, offset);
        clickChoice(form, k);
        QVERIFY(form.RadioGroup1->choice(k)->isChecked());
        QCOMPARE(form.note->caption(), QStringLiteral("0 / 1"));
        QCOMPARE(form.quiz.answeredCount(), 1);
        QCOMPARE(form.quiz.rightCount(), 0);
        QCOMPARE(verdict(form), QStringLiteral("mauvaise"));
        QVERIFY(isGreenBold(form, expected.slot));
    }
    // A click on the ticked choice changes nothing either.
    clickChoice(form, expected.slot);
    QCOMPARE(form.note->caption(), QStringLiteral("0 / 1"));
    QCOMPARE(programRandom().seed(), seedAfterQuestion);
    CHECKED(verifyQuestion(form, expected));
}

void TestTestMode::timerTickDrawsTheNextQuestion()
{
    TestWindow window;
    TForm1 &form = window.form();
    const Expected first = window.launch();
    clickChoice(form, wrongSlot(first.slot));
    QVERIFY(form.RadioGroup1->choice(wrongSlot(first.slot))->hasFocus());

    const Expected next = predict(form);
    form.Timer3Timer();
    QVERIFY(!form.Timer3->enabled());
    QCOMPARE(verdict(form), QString());
    QVERIFY(!form.Solution->isVisible());
    CHECKED(verifyChoicesReset(form));
    QCOMPARE(form.focusWidget(), form.Reinitialiser);
    QTRY_COMPARE(QApplication::focusWidget(), form.Reinitialiser);
    CHECKED(verifyAsking(form));
    CHECKED(verifyQuestion(form, next));
    QCOMPARE(form.note->caption(), QStringLiteral("0 / 1"));
    QVERIFY(window.fixture.errors.isEmpty());
}

void TestTestMode::samePositionAgainIsScored()
{
    TestWindow window(10, 31);
    TForm1 &form = window.form();
    Expected expected = window.launch();
    const int position = expected.slot;
    clickChoice(form, position);
    QCOMPARE(form.note->caption(), QStringLiteral("1 / 1"));

    for (int question = 2; question <= 4; ++question) {
        expected = predict(form);
        form.Timer3Timer();
        CHECKED(verifyQuestion(form, expected));
        const int rightBefore = form.quiz.rightCount();
        clickChoice(form, position);
        QVERIFY(form.RadioGroup1->choice(position)->isChecked());
        QCOMPARE(form.quiz.answeredCount(), question);
        QCOMPARE(form.quiz.rightCount(), rightBefore + (position == expected.slot ? 1 : 0));
        QCOMPARE(verdict(form),
                 position == expected.slot ? QStringLiteral("bonne") : QStringLiteral("mauvaise"));
        QVERIFY(form.Timer3->enabled());
    }
}

void TestTestMode::testMenuWhileAsking()
{
    TestWindow window;
    TForm1 &form = window.form();
    form.PageControl1->setCurrentIndex(0);
    Expected expected = predict(form);
    form.Test1->trigger();
    QCOMPARE(form.PageControl1->currentIndex(), 1);
    CHECKED(verifyAsking(form));
    CHECKED(verifyQuestion(form, expected));

    // A new question replaces the waiting one, uncounted; the new one is answered as usual.
    expected = predict(form);
    form.Test1->trigger();
    CHECKED(verifyAsking(form));
    CHECKED(verifyQuestion(form, expected));
    QCOMPARE(form.note->caption(), QStringLiteral("0 / 0"));
    QCOMPARE(form.quiz.answeredCount(), 0);
    clickChoice(form, expected.slot);
    QCOMPARE(form.note->caption(), QStringLiteral("1 / 1"));
    QVERIFY(window.fixture.plainMessages.isEmpty());
}

void TestTestMode::testMenuDuringFeedback()
{
    TestWindow window;
    TForm1 &form = window.form();
    const Expected first = window.launch();
    const int clicked = wrongSlot(first.slot);
    clickChoice(form, clicked);

    // "&Test" ends the feedback at once and asks a new question that counts normally.
    const Expected second = predict(form);
    form.Test1->trigger();
    CHECKED(verifyQuestion(form, second));
    CHECKED(verifyAsking(form));
    QCOMPARE(verdict(form), QString());
    QVERIFY(!form.Solution->isVisible());
    CHECKED(verifyChoicesReset(form));
    QVERIFY(!form.Timer3->isCounting());
    clickChoice(form, second.slot);
    QCOMPARE(form.note->caption(), QStringLiteral("1 / 2"));
    QCOMPARE(verdict(form), QStringLiteral("bonne"));

    const Expected third = predict(form);
    form.Timer3Timer();
    CHECKED(verifyQuestion(form, third));
    QCOMPARE(verdict(form), QString());
    CHECKED(verifyChoicesReset(form));
    clickChoice(form, third.slot);
    QCOMPARE(form.note->caption(), QStringLiteral("2 / 3"));
}

void TestTestMode::reinitialiserDuringFeedback()
{
    TestWindow window;
    TForm1 &form = window.form();
    form.SelectionnerClick();
    QVERIFY(!form.Caract_ch->caption().isEmpty());
    const Expected expected = window.launch();
    clickChoice(form, expected.slot);
    QVERIFY(form.Timer3->enabled());

    QTest::mouseClick(form.Reinitialiser, Qt::LeftButton);
    CHECKED(verifyIdle(form));
    QCOMPARE(form.quiz.rightCount(), 0);
    QCOMPARE(form.quiz.answeredCount(), 0);
    QCOMPARE(form.Caract_ch->caption(), QString());
    QCOMPARE(form.Caract_pin->caption(), QString());
    QCOMPARE(form.Caract_fr->caption(), QString());
    CHECKED(verifyChoicesReset(form));
    // No next question is due.
    QVERIFY(!form.Timer3->isCounting());
    const quint32 seed = programRandom().seed();
    QCoreApplication::processEvents();
    QCOMPARE(programRandom().seed(), seed);
    CHECKED(verifyIdle(form));

    // A new test starts from zero.
    const Expected again = window.launch();
    CHECKED(verifyQuestion(form, again));
    clickChoice(form, wrongSlot(again.slot));
    QCOMPARE(form.note->caption(), QStringLiteral("0 / 1"));
}

void TestTestMode::nextQuestionRefused_data()
{
    QTest::addColumn<bool>("untickAll");
    QTest::addColumn<QString>("message");
    QTest::newRow("all lessons unticked") << true << noLesson;
    QTest::newRow("three entries left") << false << tooFew;
}

void TestTestMode::nextQuestionRefused()
{
    QFETCH(bool, untickAll);
    QFETCH(QString, message);
    WindowFixture fixture;
    fixture.addLesson(QStringLiteral("a.txt"), numberedLines(10));
    fixture.addLesson(QStringLiteral("b.txt"), numberedLines(3, QStringLiteral("词")));
    TForm1 &form = fixture.start();
    form.PageControl1->setCurrentIndex(1);
    programRandom().setSeed(4711);
    const Expected expected = predict(form);
    QTest::mouseClick(form.Button4, Qt::LeftButton);
    CHECKED(verifyQuestion(form, expected));
    clickChoice(form, wrongSlot(expected.slot));
    QCOMPARE(form.note->caption(), QStringLiteral("0 / 1"));

    if (untickAll) {
        QTest::mouseClick(form.Button3, Qt::LeftButton);
    } else {
        const QList<QListWidgetItem *> items
            = form.ListView1->findItems(QStringLiteral("a.txt"), Qt::MatchExactly);
        QCOMPARE(items.size(), 1);
        items.first()->setCheckState(Qt::Unchecked);
    }
    QCOMPARE(form.Liste_ch.count(), untickAll ? 0 : 3);
    const quint32 seed = programRandom().seed();
    form.Timer3Timer();

    QCOMPARE(fixture.plainMessages, QStringList {message});
    QVERIFY(fixture.errors.isEmpty());
    QCOMPARE(programRandom().seed(), seed);
    // The test stops as if idle: nothing is left to answer, so nothing is counted twice; the
    // score is kept.
    QVERIFY(form.Button4->isVisible());
    QVERIFY(form.GroupBox2->isVisible() && form.GroupBox3->isVisible());
    for (const QWidget *hidden : std::initializer_list<const QWidget *> {
             form.Reinitialiser, form.Group_note, form.RadioGroup1, form.Solution})
        QVERIFY2(!hidden->isVisible(), qPrintable(hidden->objectName()));
    QCOMPARE(verdict(form), QString());
    QCOMPARE(form.question->caption(), QString());
    CHECKED(verifyChoicesReset(form));
    QCOMPARE(form.note->caption(), QStringLiteral("0 / 1"));
    QVERIFY(!form.Timer3->isCounting());
    QCoreApplication::processEvents();
    QCOMPARE(fixture.plainMessages.size(), 1);

    // Lessons back: the next test goes on with the score, and "Reinitialiser" clears it.
    QTest::mouseClick(form.Button1, Qt::LeftButton);
    const Expected next = predict(form);
    QTest::mouseClick(form.Button4, Qt::LeftButton);
    CHECKED(verifyQuestion(form, next));
    QCOMPARE(form.note->caption(), QStringLiteral("0 / 1"));
    clickChoice(form, next.slot);
    QCOMPARE(form.note->caption(), QStringLiteral("1 / 2"));
    QTest::mouseClick(form.Reinitialiser, Qt::LeftButton);
    CHECKED(verifyIdle(form));
}

void TestTestMode::testMenuDuringFeedbackWithNothingToAsk()
{
    TestWindow window;
    TForm1 &form = window.form();
    const Expected first = window.launch();
    clickChoice(form, first.slot);
    QTest::mouseClick(form.Button3, Qt::LeftButton);

    form.Test1->trigger();

    QCOMPARE(window.fixture.plainMessages, QStringList {noLesson});
    QVERIFY(form.Button4->isVisible());
    QVERIFY(!form.RadioGroup1->isVisible());
    QVERIFY(!form.Timer3->isCounting());
    QCOMPARE(verdict(form), QString());
    QCOMPARE(form.note->caption(), QStringLiteral("1 / 1"));
}

void TestTestMode::feedbackEndsOnTheLearningPage()
{
    TestWindow window;
    TForm1 &form = window.form();
    const Expected first = window.launch();
    clickChoice(form, first.slot);

    QTabBar *tabs = form.PageControl1->tabBar();
    QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(0).center());
    QCOMPARE(form.PageControl1->currentIndex(), 0);
    QVERIFY(form.focusWidget() != form.Reinitialiser);

    const Expected next = predict(form);
    form.Timer3Timer();
    QVERIFY(window.fixture.errors.isEmpty());
    QVERIFY(window.fixture.plainMessages.isEmpty());
    // The hidden page keeps no focus: typing must not go to an invisible control.
    QVERIFY(form.focusWidget() != form.Reinitialiser);
    QVERIFY(!form.TabSheet2->isAncestorOf(form.focusWidget()));
    QCOMPARE(form.PageControl1->currentIndex(), 0);
    QVERIFY(!form.Timer3->enabled());
    CHECKED(verifyQuestion(form, next));
    CHECKED(verifyChoicesReset(form));

    // Back on the "Test" page the new question waits for its answer.
    QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(1).center());
    CHECKED(verifyAsking(form));
    clickChoice(form, next.slot);
    QCOMPARE(form.note->caption(), QStringLiteral("2 / 2"));
}

void TestTestMode::feedbackLastsThreeSeconds()
{
    TestWindow window;
    TForm1 &form = window.form();
    const Expected first = window.launch();
    QElapsedTimer elapsed;
    clickChoice(form, first.slot);
    elapsed.start();
    const Expected next = predict(form);

    // A click during the delay does not start the count again.
    QTest::qWait(500);
    clickChoice(form, wrongSlot(first.slot));
    QVERIFY(form.Timer3->enabled());
    QVERIFY2(form.Timer3->remainingTime() <= 2700,
             qPrintable(QString::number(form.Timer3->remainingTime())));

    QTRY_VERIFY_WITH_TIMEOUT(!form.Timer3->enabled(), 4500);
    QVERIFY2(elapsed.elapsed() >= 2900, qPrintable(QString::number(elapsed.elapsed())));
    QCOMPARE(verdict(form), QString());
    CHECKED(verifyQuestion(form, next));
    CHECKED(verifyChoicesReset(form));
    QCOMPARE(form.note->caption(), QStringLiteral("1 / 1"));
    QVERIFY(window.fixture.errors.isEmpty());
}

void TestTestMode::ampersandsShowAsTheyStand()
{
    // A lesson's "&" shows as written: no underlined letter, no shortcut that would answer.
    WindowFixture fixture;
    QStringList lines;
    for (int i = 0; i < 6; ++i)
        lines.append(QStringLiteral("字%1\tpin%1\tpain & beurre %1").arg(i));
    fixture.addLesson(QStringLiteral("lecon.txt"), lines);
    TForm1 &form = fixture.start();
    form.PageControl1->setCurrentIndex(1);
    QTest::mouseClick(form.Button4, Qt::LeftButton);
    QVERIFY(form.RadioGroup1->isVisible());
    for (int k = 0; k < toolkit::TRadioGroup::choiceCount; ++k) {
        const QString text = form.RadioGroup1->choice(k)->text();
        QVERIFY2(QKeySequence::mnemonic(text).isEmpty(), qPrintable(text));
        QVERIFY(QString(text)
                    .replace(QStringLiteral("&&"), QStringLiteral("&"))
                    .startsWith(QStringLiteral("pain & beurre ")));
    }
}

void TestTestMode::hiddenButtonsLeaveNoFocusToQuit()
{
    // A button that hides itself must not hand the focus round to "Quitter": the learner's next
    // Space would end the program.
    TestWindow window;
    TForm1 &form = window.form();
    form.Button4->setFocus();
    QTest::keyClick(form.Button4, Qt::Key_Space);
    QVERIFY(form.RadioGroup1->isVisible());
    QVERIFY(QApplication::focusWidget() != form.Button2);
    QTest::keyClick(&form, Qt::Key_Space);
    QVERIFY(form.isVisible());

    form.Reinitialiser->setFocus();
    QTest::keyClick(form.Reinitialiser, Qt::Key_Space);
    QVERIFY(form.Button4->isVisible());
    QVERIFY(QApplication::focusWidget() != form.Button2);
    QTest::keyClick(&form, Qt::Key_Space);
    QVERIFY(form.isVisible());
}

QTEST_MAIN(TestTestMode)
#include "tst_test_mode.moc"
