#include "app/tform1.h"
#include "toolkit/label.h"
#include "toolkit/radio_group.h"
#include "windowfixture.h"

#include <QEvent>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>

namespace {

/// Fonts and places of the test page for one pair of fields.
struct Layout
{
    QString questionFamily;
    int questionSize;
    QString choicesFamily;
    int choicesSize;
    int groupTop;
    int groupHeight;
    QString solutionFamily;
    int solutionSize;
    int solutionTop;
};

const Layout chineseAnswer {"Arial", 20, "SimSun", 20, 40, 191, "Arial", 13, 236};
const Layout chineseQuestion {"SimSun", 40, "Arial", 10, 58, 165, "Arial", 13, 230};
const Layout chineseSolution {"Arial", 20, "Arial", 10, 44, 174, "SimSun", 20, 226};

/// A learner's click on a radio button, on its indicator.
void clickRadio(QRadioButton *button)
{
    QTest::mouseClick(button, Qt::LeftButton, {},
                      QPoint(button->height() / 2, button->height() / 2));
}

/// Pinyin shows in the pinyin face where the layout says "Arial".
QString faceFor(const QString &family, bool showsPinyin)
{
    return showsPinyin ? QStringLiteral("Arimo") : family;
}

void verifyLayout(const TForm1 &form, const Layout &layout)
{
    const bool askedPinyin = form.LQ2->isChecked();
    const bool answeredPinyin = form.LR2->isChecked();
    QCOMPARE(form.question->font().family(), faceFor(layout.questionFamily, askedPinyin));
    QCOMPARE(form.question->font().pointSize(), layout.questionSize);
    for (int k = 0; k < toolkit::TRadioGroup::choiceCount; ++k) {
        QCOMPARE(form.RadioGroup1->choice(k)->font().family(),
                 faceFor(layout.choicesFamily, answeredPinyin));
        QCOMPARE(form.RadioGroup1->choice(k)->font().pointSize(), layout.choicesSize);
    }
    QCOMPARE(form.RadioGroup1->y(), layout.groupTop);
    QCOMPARE(form.RadioGroup1->height(), layout.groupHeight);
    QCOMPARE(form.Solution->font().family(),
             faceFor(layout.solutionFamily, !askedPinyin && !answeredPinyin));
    QCOMPARE(form.Solution->font().pointSize(), layout.solutionSize);
    QCOMPARE(form.Solution->y(), layout.solutionTop);
    // What the layouts leave as designed.
    QCOMPARE(form.question->pos(), QPoint(120, 6));
    QCOMPARE(form.RadioGroup1->x(), 112);
    QCOMPARE(form.RadioGroup1->width(), 457);
    QCOMPARE(form.Solution->x(), 128);
    QVERIFY(form.Solution->font().bold());
    QVERIFY(!form.question->font().bold());
}

/// The ticked question and answer fields (1 Chinese, 2 pinyin, 3 French) and the enabled answer
/// buttons, as "Q1 R3 enabled:-23".
QString pairState(const TForm1 &form)
{
    const QRadioButton *questionButtons[] = {form.LQ1, form.LQ2, form.LQ3};
    const QRadioButton *answerButtons[] = {form.LR1, form.LR2, form.LR3};
    QString ticked;
    for (int i = 0; i < 3; ++i) {
        if (questionButtons[i]->isChecked())
            ticked += QStringLiteral("Q%1 ").arg(i + 1);
    }
    for (int i = 0; i < 3; ++i) {
        if (answerButtons[i]->isChecked())
            ticked += QStringLiteral("R%1 ").arg(i + 1);
    }
    QString enabled;
    for (int i = 0; i < 3; ++i)
        enabled += answerButtons[i]->isEnabled() ? QString::number(i + 1) : QStringLiteral("-");
    return ticked + QStringLiteral("enabled:") + enabled;
}

/// Counts the moves and resizes of a widget, to tell whether a layout ran.
class GeometryWatch : public QObject
{
public:
    explicit GeometryWatch(QWidget *watched) { watched->installEventFilter(this); }
    int changes = 0;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Resize || event->type() == QEvent::Move)
            ++changes;
        return QObject::eventFilter(watched, event);
    }
};

} // namespace

Q_DECLARE_METATYPE(Layout)

class TestTestFields : public QObject
{
    Q_OBJECT
private slots:
    void startUpLayout();
    void layoutOfEachPair_data();
    void layoutOfEachPair();
    void scriptedSequences_data();
    void scriptedSequences();
    void tickedButtonChangesNothing_data();
    void tickedButtonChangesNothing();
    void disabledAnswerButtonIgnoresClicks();
    void layoutKeepsTheLookOfChoices();
};

void TestTestFields::startUpLayout()
{
    WindowFixture fixture;
    TForm1 &form = fixture.start();
    QCOMPARE(pairState(form), QStringLiteral("Q1 R3 enabled:-23"));
    verifyLayout(form, chineseQuestion);
}

void TestTestFields::layoutOfEachPair_data()
{
    QTest::addColumn<int>("asked");
    QTest::addColumn<int>("answered");
    QTest::addColumn<QString>("state");
    QTest::addColumn<Layout>("layout");
    QTest::newRow("chinese->pinyin") << 1 << 2 << "Q1 R2 enabled:-23" << chineseQuestion;
    QTest::newRow("chinese->french") << 1 << 3 << "Q1 R3 enabled:-23" << chineseQuestion;
    QTest::newRow("pinyin->chinese") << 2 << 1 << "Q2 R1 enabled:1-3" << chineseAnswer;
    QTest::newRow("pinyin->french") << 2 << 3 << "Q2 R3 enabled:1-3" << chineseSolution;
    QTest::newRow("french->chinese") << 3 << 1 << "Q3 R1 enabled:12-" << chineseAnswer;
    QTest::newRow("french->pinyin") << 3 << 2 << "Q3 R2 enabled:12-" << chineseSolution;
}

void TestTestFields::layoutOfEachPair()
{
    QFETCH(int, asked);
    QFETCH(int, answered);
    QFETCH(QString, state);
    QFETCH(Layout, layout);
    WindowFixture fixture;
    TForm1 &form = fixture.start();
    form.PageControl1->setCurrentIndex(1);
    QRadioButton *questionButtons[] = {form.LQ1, form.LQ2, form.LQ3};
    QRadioButton *answerButtons[] = {form.LR1, form.LR2, form.LR3};
    clickRadio(questionButtons[asked - 1]);
    clickRadio(answerButtons[answered - 1]);
    QCOMPARE(pairState(form), state);
    verifyLayout(form, layout);
    QVERIFY(fixture.errors.isEmpty());
}

void TestTestFields::scriptedSequences_data()
{
    QTest::addColumn<QStringList>("clicks");
    QTest::addColumn<QString>("state");
    QTest::addColumn<Layout>("layout");
    // The answer moves to French, not to Chinese.
    QTest::newRow("answer pinyin, then LQ2")
        << QStringList {"LR2", "LQ2"} << "Q2 R3 enabled:1-3" << chineseSolution;
    // The replacement LR1 is disabled when it is ticked, and enabled in the same step.
    QTest::newRow("answer french, then LQ3")
        << QStringList {"LQ3"} << "Q3 R1 enabled:12-" << chineseAnswer;
    QTest::newRow("question french, answer chinese, then LQ1")
        << QStringList {"LQ3", "LQ1"} << "Q1 R3 enabled:-23" << chineseQuestion;
    QTest::newRow("question chinese, answer pinyin, then LQ3")
        << QStringList {"LR2", "LQ3"} << "Q3 R2 enabled:12-" << chineseSolution;
    QTest::newRow("question chinese, then LR2")
        << QStringList {"LR2"} << "Q1 R2 enabled:-23" << chineseQuestion;
    QTest::newRow("question pinyin, then LR1 and back to LR3")
        << QStringList {"LQ2", "LR1", "LR3"} << "Q2 R3 enabled:1-3" << chineseSolution;
    QTest::newRow("round trip through every question")
        << QStringList {"LQ2", "LQ3", "LQ1"} << "Q1 R3 enabled:-23" << chineseQuestion;
    QTest::newRow("french asked, answer pinyin, then LQ2")
        << QStringList {"LQ3", "LR2", "LQ2"} << "Q2 R3 enabled:1-3" << chineseSolution;
}

void TestTestFields::scriptedSequences()
{
    QFETCH(QStringList, clicks);
    QFETCH(QString, state);
    QFETCH(Layout, layout);
    WindowFixture fixture;
    TForm1 &form = fixture.start();
    form.PageControl1->setCurrentIndex(1);
    for (const QString &name : clicks) {
        auto *button = form.findChild<QRadioButton *>(name);
        QVERIFY(button);
        QVERIFY2(button->isEnabled(), qPrintable(name));
        clickRadio(button);
        QVERIFY2(button->isChecked(), qPrintable(name));
    }
    QCOMPARE(pairState(form), state);
    verifyLayout(form, layout);
    QVERIFY(fixture.errors.isEmpty());
}

void TestTestFields::tickedButtonChangesNothing_data()
{
    QTest::addColumn<QStringList>("setup");
    QTest::addColumn<QString>("again");
    QTest::newRow("LQ1 at start-up") << QStringList {} << "LQ1";
    QTest::newRow("LR3 at start-up") << QStringList {} << "LR3";
    QTest::newRow("LQ3 after LQ3") << QStringList {"LQ3"} << "LQ3";
    QTest::newRow("LR1 after LQ3") << QStringList {"LQ3"} << "LR1";
}

void TestTestFields::tickedButtonChangesNothing()
{
    QFETCH(QStringList, setup);
    QFETCH(QString, again);
    WindowFixture fixture;
    TForm1 &form = fixture.start();
    form.PageControl1->setCurrentIndex(1);
    for (const QString &name : setup)
        clickRadio(form.findChild<QRadioButton *>(name));
    const QString before = pairState(form);
    GeometryWatch watch(form.RadioGroup1);
    // A second layout would set the group's geometry again; move it aside to see one run.
    form.RadioGroup1->move(form.RadioGroup1->x(), 100);
    const int changesBefore = watch.changes;
    auto *button = form.findChild<QRadioButton *>(again);
    clickRadio(button);
    QVERIFY(button->isChecked());
    QCOMPARE(pairState(form), before);
    QCOMPARE(watch.changes, changesBefore);
    QCOMPARE(form.RadioGroup1->y(), 100);
}

void TestTestFields::disabledAnswerButtonIgnoresClicks()
{
    WindowFixture fixture;
    TForm1 &form = fixture.start();
    form.PageControl1->setCurrentIndex(1);
    QVERIFY(!form.LR1->isEnabled());
    clickRadio(form.LR1);
    QCOMPARE(pairState(form), QStringLiteral("Q1 R3 enabled:-23"));
    verifyLayout(form, chineseQuestion);

    clickRadio(form.LQ2);
    QVERIFY(!form.LR2->isEnabled());
    clickRadio(form.LR2);
    QCOMPARE(pairState(form), QStringLiteral("Q2 R3 enabled:1-3"));
    verifyLayout(form, chineseSolution);
}

void TestTestFields::layoutKeepsTheLookOfChoices()
{
    WindowFixture fixture;
    TForm1 &form = fixture.start();
    form.RadioGroup1->setChoiceHighlighted(2, true);
    const QColor green = form.RadioGroup1->choice(2)->palette().color(QPalette::WindowText);
    form.LQ3->setChecked(true);
    verifyLayout(form, chineseAnswer);
    QVERIFY(form.RadioGroup1->choice(2)->font().bold());
    QCOMPARE(form.RadioGroup1->choice(2)->palette().color(QPalette::WindowText), green);
    QVERIFY(!form.RadioGroup1->choice(1)->font().bold());
}

QTEST_MAIN(TestTestFields)
#include "tst_test_fields.moc"
