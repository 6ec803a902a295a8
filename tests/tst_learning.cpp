#include "app/tform1.h"
#include "core/random.h"
#include "toolkit/classic_timer.h"
#include "toolkit/label.h"
#include "toolkit/scroll_bar.h"
#include "windowfixture.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

namespace {

/// The French key as the file must hold it: "ç" as the single 8-bit byte E7.
const QByteArray francaisKey = QByteArray("fran\xE7") + "ais";

QByteArray delays(int chinois, int pinyin, int francais)
{
    return QByteArrayLiteral("[Vitesse]\r\nchinois=") + QByteArray::number(chinois)
        + "\r\npinyin=" + QByteArray::number(pinyin) + "\r\n" + francaisKey + '='
        + QByteArray::number(francais) + "\r\n";
}

/// Every delay at 5000 ms: no reveal fires by itself while a test calls the ticks.
const QByteArray slowDelays = delays(10, 10, 10);

/// A window on one lesson of numbered entries, every delay at 5000 ms.
TForm1 &startSlow(WindowFixture &fixture, int entries)
{
    fixture.writeSettings(slowDelays);
    fixture.addLesson(QStringLiteral("a.txt"), numberedLines(entries));
    return fixture.start();
}

/// One reveal channel of the window: its label, timer, bar, tick handler and settings line.
struct Channel
{
    toolkit::TLabel *label;
    toolkit::ClassicTimer *timer;
    toolkit::TScrollBar *bar;
    void (TForm1::*tick)(QObject *);
    QByteArray key;
};

Channel channel(TForm1 &form, int k)
{
    switch (k) {
    case 0:
        return {form.Caract_ch, form.Timer0, form.ScrollBar0, &TForm1::Timer0Timer, "chinois"};
    case 1:
        return {form.Caract_pin, form.Timer1, form.ScrollBar1, &TForm1::Timer1Timer, "pinyin"};
    default:
        return {form.Caract_fr, form.Timer2, form.ScrollBar2, &TForm1::Timer2Timer, francaisKey};
    }
}

QList<toolkit::TLabel *> fieldLabels(TForm1 &form)
{
    return {form.Caract_ch, form.Caract_pin, form.Caract_fr};
}

QList<toolkit::ClassicTimer *> revealTimers(TForm1 &form)
{
    return {form.Timer0, form.Timer1, form.Timer2};
}

bool allFieldsHidden(TForm1 &form)
{
    return !form.Caract_ch->isVisible() && !form.Caract_pin->isVisible()
        && !form.Caract_fr->isVisible();
}

void click(QWidget *widget)
{
    QTest::mouseClick(widget, Qt::LeftButton);
}

/// The learner unticks "Aléatoire".
void chooseSequential(TForm1 &form)
{
    click(form.Alea);
    QVERIFY(!form.Alea->isChecked());
}

/// A click on one of the bar's arrow buttons.
void clickArrow(QScrollBar *bar, QStyle::SubControl arrow)
{
    const QRect area = scrollBarPart(bar, arrow);
    QVERIFY(area.isValid());
    QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier, area.center());
}

void sendMouse(QWidget *widget, QEvent::Type type, QPoint pos, Qt::MouseButtons buttons)
{
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, QPointF(pos), QPointF(widget->mapToGlobal(pos)), button, buttons,
                      Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

/// What a step might change on the learning page, to prove that nothing did.
struct PageState
{
    QStringList captions;
    QList<bool> shown;
    QList<bool> timersEnabled;
    QString counter;
    int card;
    int page;

    static PageState of(TForm1 &form)
    {
        PageState state {{},
                         {},
                         {},
                         form.compteur->caption(),
                         form.Liste_ch.tag,
                         form.PageControl1->currentIndex()};
        for (toolkit::TLabel *label : fieldLabels(form)) {
            state.captions.append(label->caption());
            state.shown.append(!label->isHidden());
        }
        for (toolkit::ClassicTimer *timer : revealTimers(form))
            state.timersEnabled.append(timer->enabled());
        return state;
    }
    bool operator==(const PageState &) const = default;
};

/// Records when each watched widget is shown, in order.
class ShowRecorder : public QObject
{
public:
    explicit ShowRecorder(const QList<toolkit::TLabel *> &labels)
    {
        for (toolkit::TLabel *label : labels)
            label->installEventFilter(this);
        clock.start();
    }

    struct Shown
    {
        QString name;
        qint64 at;
    };
    QList<Shown> shown;
    QElapsedTimer clock;

    bool isShown(const toolkit::TLabel *label) const
    {
        return std::any_of(shown.begin(), shown.end(),
                           [label](const Shown &s) { return s.name == label->objectName(); });
    }
    qint64 shownAt(const toolkit::TLabel *label) const
    {
        for (const Shown &s : shown)
            if (s.name == label->objectName())
                return s.at;
        return -1;
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Show)
            shown.append({watched->objectName(), clock.elapsed()});
        return false;
    }
};

} // namespace

class TestLearning : public QObject
{
    Q_OBJECT
private slots:
    // Card navigation
    void buttonRowLayouts();
    void sequentialStepsShowTheEntryAndItsCounter();
    void modeChangeResetsOnlyThePosition();
    void rebuildResetsThePosition_data();
    void rebuildResetsThePosition();
    void apprentissageSwitchesPageAndSteps_data();
    void apprentissageSwitchesPageAndSteps();
    void emptyListsChangeNothing_data();
    void emptyListsChangeNothing();

    // Timed reveal, ticks called directly
    void stepHidesLoadsAndStartsTheThreeTimers();
    void tickRevealsOnlyItsOwnLabel_data();
    void tickRevealsOnlyItsOwnLabel();
    void stepDuringPendingRevealHidesAllAndRestarts();
    void resetEmptiesLabelsAndPendingTickStillReveals();

    // Delay scroll bars
    void movingABarSetsAndStoresTheDelay_data();
    void movingABarSetsAndStoresTheDelay();
    void arrowAtTheBoundWritesNothing_data();
    void arrowAtTheBoundWritesNothing();
    void draggingStoresEveryPositionPassed();
    void movingABarWhileItsChannelRunsReschedules();
    void refusedWriteIsReportedAndTheDelayStillHolds();

    // Real short waits
    void labelsAppearInDelayOrder();
    void newStepRestartsAPendingReveal();
};

// ---------------------------------------------------------------------------------------------
// Card navigation

void TestLearning::buttonRowLayouts()
{
    WindowFixture fixture;
    fixture.addLesson(QStringLiteral("a.txt"), numberedLines(3));
    TForm1 &form = fixture.start();

    // As designed: random layout, with the (empty) counter still visible.
    QVERIFY(form.Alea->isChecked());
    QCOMPARE(form.Selectionner->geometry(), QRect(384, 23, 140, 50));
    QVERIFY(!form.precedent->isVisible());
    QVERIFY(form.compteur->isVisible());
    QCOMPARE(form.compteur->caption(), QString());

    click(form.Alea);
    QVERIFY(!form.Alea->isChecked());
    QCOMPARE(form.Selectionner->geometry(), QRect(454, 23, 70, 50));
    QCOMPARE(form.precedent->geometry(), QRect(384, 23, 70, 50));
    QVERIFY(form.precedent->isVisible());
    QVERIFY(form.compteur->isVisible());

    click(form.Alea);
    QVERIFY(form.Alea->isChecked());
    QCOMPARE(form.Selectionner->geometry(), QRect(384, 23, 140, 50));
    QCOMPARE(form.precedent->geometry(), QRect(384, 23, 70, 50));
    QVERIFY(!form.precedent->isVisible());
    QVERIFY(!form.compteur->isVisible());

    // The keyboard ticks it as well.
    form.Alea->setFocus();
    QTest::keyClick(form.Alea, Qt::Key_Space);
    QVERIFY(!form.Alea->isChecked());
    QCOMPARE(form.Selectionner->geometry(), QRect(454, 23, 70, 50));
    QVERIFY(form.precedent->isVisible());
    QVERIFY(form.compteur->isVisible());
}

void TestLearning::sequentialStepsShowTheEntryAndItsCounter()
{
    WindowFixture fixture;
    TForm1 &form = startSlow(fixture, 3);
    chooseSequential(form);
    QCOMPARE(form.Liste_ch.tag, -1);

    // Which entry each step reaches is the cursor's (tst_learning_cursor); the page shows it.
    for (auto [button, entry] : {std::pair {form.Selectionner, 0}, std::pair {form.precedent, 2}}) {
        click(button);
        const QString n = QString::number(entry);
        QCOMPARE(form.Caract_ch->caption(), QStringLiteral("字") + n);
        QCOMPARE(form.Caract_pin->caption(), QStringLiteral("pin") + n);
        QCOMPARE(form.Caract_fr->caption(), QStringLiteral("fr") + n);
        QCOMPARE(form.compteur->caption(), QStringLiteral("%1/ 3").arg(entry + 1));
        QVERIFY(form.compteur->isVisible());
        QCOMPARE(form.Liste_ch.tag, entry);
    }
}

void TestLearning::modeChangeResetsOnlyThePosition()
{
    WindowFixture fixture;
    TForm1 &form = startSlow(fixture, 5);
    chooseSequential(form);
    click(form.Selectionner);
    click(form.Selectionner);
    form.Timer0Timer();
    QCOMPARE(form.compteur->caption(), QStringLiteral("2/ 5"));
    const int pinyinLeft = form.Timer1->remainingTime();

    click(form.Alea);
    QCOMPARE(form.Liste_ch.tag, -1);
    QCOMPARE(form.compteur->caption(), QString());
    click(form.Alea);
    QCOMPARE(form.Liste_ch.tag, -1);
    QCOMPARE(form.compteur->caption(), QString());

    // The shown entry, its reveal state and the running delays are left alone.
    QCOMPARE(form.Caract_ch->caption(), QStringLiteral("字1"));
    QVERIFY(form.Caract_ch->isVisible());
    QVERIFY(!form.Caract_pin->isVisible());
    QVERIFY(!form.Timer0->enabled());
    QVERIFY(form.Timer1->enabled() && form.Timer2->enabled());
    QVERIFY(form.Timer1->remainingTime() <= pinyinLeft);

    click(form.Selectionner);
    QCOMPARE(form.Caract_ch->caption(), QStringLiteral("字0"));
    QCOMPARE(form.compteur->caption(), QStringLiteral("1/ 5"));
}

void TestLearning::rebuildResetsThePosition_data()
{
    QTest::addColumn<bool>("byLessonName");
    QTest::newRow("untick all then tick all") << false;
    QTest::newRow("click on a lesson name") << true;
}

void TestLearning::rebuildResetsThePosition()
{
    QFETCH(bool, byLessonName);
    WindowFixture fixture;
    fixture.writeSettings(slowDelays);
    fixture.addLesson(QStringLiteral("a.txt"), numberedLines(3));
    fixture.addLesson(QStringLiteral("b.txt"), numberedLines(2, QStringLiteral("词")));
    TForm1 &form = fixture.start();
    QCOMPARE(form.ListView1->count(), 2);
    QCOMPARE(form.Liste_ch.count(), 5);
    chooseSequential(form);
    click(form.Selectionner);
    click(form.Selectionner);
    QCOMPARE(form.compteur->caption(), QStringLiteral("2/ 5"));
    const QString shown = form.Caract_ch->caption();

    if (byLessonName) {
        const QRect item = form.ListView1->visualItemRect(form.ListView1->item(1));
        QTest::mouseClick(form.ListView1->viewport(), Qt::LeftButton, Qt::NoModifier,
                          QPoint(item.right() - 4, item.center().y()));
        QCOMPARE(form.ListView1->currentRow(), 1);
        QCOMPARE(form.ListView1->item(1)->checkState(), Qt::Checked);
    } else {
        click(form.Button3);
        QCOMPARE(form.Liste_ch.count(), 0);
        click(form.Button1);
    }
    QCOMPARE(form.Liste_ch.count(), 5);
    QCOMPARE(form.Liste_ch.tag, -1);
    QCOMPARE(form.compteur->caption(), QString());
    // The old entry stays, with its reveal still under way, until the next step.
    QCOMPARE(form.Caract_ch->caption(), shown);
    QVERIFY(form.Timer1->enabled());

    click(form.Selectionner);
    QCOMPARE(form.compteur->caption(), QStringLiteral("1/ 5"));
    QCOMPARE(form.Caract_ch->caption(), form.Liste_ch.item(0));
    QCOMPARE(form.Caract_fr->caption(), form.Liste_fr.item(0));
}

void TestLearning::apprentissageSwitchesPageAndSteps_data()
{
    QTest::addColumn<bool>("random");
    QTest::newRow("random") << true;
    QTest::newRow("sequential") << false;
}

void TestLearning::apprentissageSwitchesPageAndSteps()
{
    QFETCH(bool, random);
    WindowFixture fixture;
    TForm1 &form = startSlow(fixture, 9);
    if (!random)
        chooseSequential(form);
    programRandom().setSeed(77);
    Random expected(77);
    form.PageControl1->setCurrentIndex(1);

    form.Excuter1->trigger();

    QCOMPARE(form.PageControl1->currentIndex(), 0);
    const int i = random ? int(expected.draw(9)) : 0;
    QCOMPARE(form.Caract_ch->caption(), QStringLiteral("字%1").arg(i));
    QCOMPARE(form.compteur->caption(), random ? QString() : QStringLiteral("1/ 9"));
    QVERIFY(allFieldsHidden(form));
    for (toolkit::ClassicTimer *timer : revealTimers(form))
        QVERIFY(timer->isCounting());
}

void TestLearning::emptyListsChangeNothing_data()
{
    QTest::addColumn<bool>("hadLessons");
    QTest::newRow("no lesson file") << false;
    QTest::newRow("every lesson unticked during a reveal") << true;
}

void TestLearning::emptyListsChangeNothing()
{
    QFETCH(bool, hadLessons);
    WindowFixture fixture;
    fixture.writeSettings(slowDelays);
    if (hadLessons)
        fixture.addLesson(QStringLiteral("a.txt"), numberedLines(4));
    TForm1 &form = fixture.start();
    chooseSequential(form);
    if (hadLessons) {
        click(form.Selectionner);
        click(form.Selectionner);
        form.Timer0Timer();
        click(form.Button3);
    }
    QCOMPARE(form.Liste_ch.count(), 0);
    const PageState before = PageState::of(form);
    const int pinyinLeft = form.Timer1->remainingTime();

    click(form.Selectionner);
    QCOMPARE(PageState::of(form), before);
    click(form.precedent);
    QCOMPARE(PageState::of(form), before);
    form.PageControl1->setCurrentIndex(1);
    form.Excuter1->trigger();
    QCOMPARE(form.PageControl1->currentIndex(), 0);
    QCOMPARE(PageState::of(form), before);

    // A reveal that was under way goes on undisturbed.
    QVERIFY(form.Timer1->remainingTime() <= pinyinLeft);
    QCOMPARE(form.Timer1->isCounting(), hadLessons);
    QVERIFY(fixture.errors.isEmpty());
}

// ---------------------------------------------------------------------------------------------
// Timed reveal

void TestLearning::stepHidesLoadsAndStartsTheThreeTimers()
{
    WindowFixture fixture;
    TForm1 &form = startSlow(fixture, 2);
    // Start-up leaves the labels visible and empty, no reveal running.
    for (int k = 0; k < 3; ++k) {
        QVERIFY(channel(form, k).label->isVisible());
        QCOMPARE(channel(form, k).label->caption(), QString());
        QVERIFY(!channel(form, k).timer->enabled());
    }
    chooseSequential(form);
    click(form.Selectionner);

    QVERIFY(allFieldsHidden(form));
    QCOMPARE(form.Caract_ch->caption(), QStringLiteral("字0"));
    QCOMPARE(form.Caract_pin->caption(), QStringLiteral("pin0"));
    QCOMPARE(form.Caract_fr->caption(), QStringLiteral("fr0"));
    for (toolkit::ClassicTimer *timer : revealTimers(form)) {
        QVERIFY(timer->enabled());
        QCOMPARE(timer->interval(), 5000);
        QVERIFY(timer->remainingTime() > 4500);
    }
}

void TestLearning::tickRevealsOnlyItsOwnLabel_data()
{
    QTest::addColumn<int>("k");
    QTest::newRow("Timer0Timer") << 0;
    QTest::newRow("Timer1Timer") << 1;
    QTest::newRow("Timer2Timer") << 2;
}

void TestLearning::tickRevealsOnlyItsOwnLabel()
{
    QFETCH(int, k);
    WindowFixture fixture;
    TForm1 &form = startSlow(fixture, 2);
    chooseSequential(form);
    click(form.Selectionner);
    const QStringList captions
        = {form.Caract_ch->caption(), form.Caract_pin->caption(), form.Caract_fr->caption()};

    (form.*channel(form, k).tick)(nullptr);

    for (int other = 0; other < 3; ++other) {
        const Channel c = channel(form, other);
        QCOMPARE(c.label->isVisible(), other == k);
        QCOMPARE(c.timer->enabled(), other != k);
        QCOMPARE(c.label->caption(), captions.at(other));
    }
    QVERIFY(!channel(form, k).timer->isCounting());

    // A second tick hides nothing and changes nothing.
    (form.*channel(form, k).tick)(nullptr);
    QVERIFY(channel(form, k).label->isVisible());
    QCOMPARE(channel(form, k).label->caption(), captions.at(k));
}

void TestLearning::stepDuringPendingRevealHidesAllAndRestarts()
{
    WindowFixture fixture;
    TForm1 &form = startSlow(fixture, 3);
    chooseSequential(form);
    click(form.Selectionner);
    form.Timer0Timer();
    form.Timer2Timer();
    QVERIFY(form.Caract_ch->isVisible() && form.Caract_fr->isVisible());
    QTest::qSleep(500);
    QVERIFY(form.Timer1->remainingTime() <= 4500);

    click(form.Selectionner);

    QVERIFY(allFieldsHidden(form));
    QCOMPARE(form.Caract_ch->caption(), QStringLiteral("字1"));
    for (toolkit::ClassicTimer *timer : revealTimers(form)) {
        QVERIFY(timer->enabled());
        QVERIFY2(timer->remainingTime() > 4600,
                 qPrintable(QString::number(timer->remainingTime())));
    }
}

void TestLearning::resetEmptiesLabelsAndPendingTickStillReveals()
{
    WindowFixture fixture;
    TForm1 &form = startSlow(fixture, 3);
    chooseSequential(form);
    click(form.Selectionner);
    form.Timer0Timer();

    form.ReinitialiserClick();

    for (toolkit::TLabel *label : fieldLabels(form))
        QCOMPARE(label->caption(), QString());
    QVERIFY(form.Caract_ch->isVisible());
    QVERIFY(!form.Caract_pin->isVisible() && !form.Caract_fr->isVisible());
    QVERIFY(form.Timer1->enabled() && form.Timer2->enabled());
    QCOMPARE(form.compteur->caption(), QStringLiteral("1/ 3"));
    QCOMPARE(form.Liste_ch.tag, 0);

    form.Timer1Timer();
    QVERIFY(form.Caract_pin->isVisible());
    QCOMPARE(form.Caract_pin->caption(), QString());
    QVERIFY(!form.Timer1->enabled());

    click(form.Selectionner);
    QCOMPARE(form.compteur->caption(), QStringLiteral("2/ 3"));
}

// ---------------------------------------------------------------------------------------------
// Delay scroll bars

namespace {
enum class Move
{
    RightArrow,
    LeftArrow,
    RightKey,
    LeftKey,
    SetValue
};
} // namespace

void TestLearning::movingABarSetsAndStoresTheDelay_data()
{
    QTest::addColumn<int>("k");
    QTest::addColumn<int>("move");
    QTest::addColumn<int>("setTo");
    QTest::addColumn<int>("position");
    QTest::addColumn<int>("interval");
    // Designed positions, without a settings file: 0, 5, 7.
    QTest::newRow("chinois right arrow") << 0 << int(Move::RightArrow) << 0 << 1 << 500;
    QTest::newRow("pinyin left arrow") << 1 << int(Move::LeftArrow) << 0 << 4 << 2000;
    QTest::newRow("français right arrow") << 2 << int(Move::RightArrow) << 0 << 8 << 4000;
    QTest::newRow("pinyin right key") << 1 << int(Move::RightKey) << 0 << 6 << 3000;
    QTest::newRow("français left key") << 2 << int(Move::LeftKey) << 0 << 6 << 3000;
    QTest::newRow("chinois set to 10") << 0 << int(Move::SetValue) << 10 << 10 << 5000;
    QTest::newRow("français set to 0") << 2 << int(Move::SetValue) << 0 << 0 << 1;
    QTest::newRow("pinyin set to 15, clamped") << 1 << int(Move::SetValue) << 15 << 10 << 5000;
}

void TestLearning::movingABarSetsAndStoresTheDelay()
{
    QFETCH(int, k);
    QFETCH(int, move);
    QFETCH(int, setTo);
    QFETCH(int, position);
    QFETCH(int, interval);
    WindowFixture fixture;
    TForm1 &form = fixture.start();
    QVERIFY(!QFile::exists(fixture.settingsPath()));
    const Channel c = channel(form, k);

    switch (Move(move)) {
    case Move::RightArrow:
        clickArrow(c.bar, QStyle::SC_ScrollBarAddLine);
        break;
    case Move::LeftArrow:
        clickArrow(c.bar, QStyle::SC_ScrollBarSubLine);
        break;
    case Move::RightKey:
        c.bar->setFocus();
        QTest::keyClick(c.bar, Qt::Key_Right);
        break;
    case Move::LeftKey:
        c.bar->setFocus();
        QTest::keyClick(c.bar, Qt::Key_Left);
        break;
    case Move::SetValue:
        c.bar->setValue(setTo);
        break;
    }

    QCOMPARE(c.bar->value(), position);
    QCOMPARE(c.timer->interval(), interval);
    // Moved while stopped: the delay waits for the next step.
    QVERIFY(!c.timer->enabled());
    QVERIFY(!c.timer->isCounting());
    // Written at once, under its 8-bit key, and only that key.
    const QByteArray content = fixture.settingsContent();
    QVERIFY2(content.contains("[Vitesse]"), content.constData());
    QVERIFY2(content.contains(c.key + '=' + QByteArray::number(position) + "\r\n"),
             content.constData());
    QVERIFY(!content.contains("fran\xC3\xA7"));
    QCOMPARE(content.count('='), 1);
    QVERIFY(fixture.errors.isEmpty());
}

void TestLearning::arrowAtTheBoundWritesNothing_data()
{
    QTest::addColumn<int>("k");
    QTest::addColumn<QByteArray>("settings");
    QTest::addColumn<bool>("right");
    QTest::newRow("left arrow at 0") << 0 << QByteArray() << false;
    QTest::newRow("right arrow at 10") << 1 << delays(0, 10, 7) << true;
}

void TestLearning::arrowAtTheBoundWritesNothing()
{
    QFETCH(int, k);
    QFETCH(QByteArray, settings);
    QFETCH(bool, right);
    WindowFixture fixture;
    if (!settings.isEmpty())
        fixture.writeSettings(settings);
    TForm1 &form = fixture.start();
    const Channel c = channel(form, k);
    const int position = c.bar->value();
    const int interval = c.timer->interval();
    QFile::remove(fixture.settingsPath());

    clickArrow(c.bar, right ? QStyle::SC_ScrollBarAddLine : QStyle::SC_ScrollBarSubLine);
    c.bar->setFocus();
    QTest::keyClick(c.bar, right ? Qt::Key_Right : Qt::Key_Left);

    QCOMPARE(c.bar->value(), position);
    QCOMPARE(c.timer->interval(), interval);
    QVERIFY(!QFile::exists(fixture.settingsPath()));

    // The same arrow the other way does move it and write.
    clickArrow(c.bar, right ? QStyle::SC_ScrollBarSubLine : QStyle::SC_ScrollBarAddLine);
    QVERIFY(c.bar->value() != position);
    QVERIFY(QFile::exists(fixture.settingsPath()));
}

void TestLearning::draggingStoresEveryPositionPassed()
{
    WindowFixture fixture;
    TForm1 &form = fixture.start();
    toolkit::TScrollBar *bar = form.ScrollBar0;
    QList<QByteArray> stored;
    // Connected after the window's own binding, so it sees the file as the handler left it.
    connect(bar, &QScrollBar::valueChanged, this,
            [&] { stored.append(fixture.settingsContent()); });

    const QRect thumb = scrollBarPart(bar, QStyle::SC_ScrollBarSlider);
    const QRect groove = scrollBarPart(bar, QStyle::SC_ScrollBarGroove);
    const int travel = groove.width() - thumb.width();
    QVERIFY(travel > 20);
    QPoint at = thumb.center();
    sendMouse(bar, QEvent::MouseButtonPress, at, Qt::LeftButton);
    for (int step = 1; step <= 8; ++step) {
        at.setX(thumb.center().x() + travel * step * 4 / 10 / 8);
        sendMouse(bar, QEvent::MouseMove, at, Qt::LeftButton);
    }
    sendMouse(bar, QEvent::MouseButtonRelease, at, Qt::NoButton);

    QCOMPARE(bar->value(), 4);
    QCOMPARE(form.Timer0->interval(), 2000);
    QCOMPARE(stored.size(), 4);
    for (int p = 1; p <= 4; ++p)
        QVERIFY2(stored.at(p - 1).contains("chinois=" + QByteArray::number(p) + "\r\n"),
                 stored.at(p - 1).constData());
}

void TestLearning::movingABarWhileItsChannelRunsReschedules()
{
    WindowFixture fixture;
    TForm1 &form = startSlow(fixture, 2);
    click(form.Selectionner);
    QTest::qSleep(200);

    form.ScrollBar1->setValue(2);
    QVERIFY2(form.Timer1->remainingTime() > 700 && form.Timer1->remainingTime() <= 1000,
             qPrintable(QString::number(form.Timer1->remainingTime())));
    // The other channels keep their own count.
    QVERIFY(form.Timer0->remainingTime() <= 4800);
    QVERIFY(form.Timer2->remainingTime() <= 4800);

    // Position 0 is an immediate reveal, not a disabled one.
    form.ScrollBar2->setValue(0);
    QCOMPARE(form.Timer2->interval(), 1);
    QVERIFY(form.Timer2->isCounting());
    QTRY_VERIFY_WITH_TIMEOUT(form.Caract_fr->isVisible(), 1000);
    QVERIFY(!form.Timer2->enabled());
    QVERIFY(!form.Caract_ch->isVisible());
}

void TestLearning::refusedWriteIsReportedAndTheDelayStillHolds()
{
    WindowFixture fixture;
    TForm1 &form = fixture.start();
    // A folder in the file's place refuses every write, whoever runs the test.
    QVERIFY(QDir().mkpath(fixture.settingsPath()));

    clickArrow(form.ScrollBar0, QStyle::SC_ScrollBarAddLine);

    QCOMPARE(form.ScrollBar0->value(), 1);
    QCOMPARE(form.Timer0->interval(), 500);
    QCOMPARE(fixture.errors.size(), 1);
    QVERIFY2(fixture.errors.at(0).startsWith(QStringLiteral("Impossible d'écrire dans "))
                 && fixture.errors.at(0).endsWith(QStringLiteral("dadorir_iruze.ini.")),
             qPrintable(fixture.errors.at(0)));
}

// ---------------------------------------------------------------------------------------------
// Real short waits: the delays themselves

void TestLearning::labelsAppearInDelayOrder()
{
    WindowFixture fixture;
    fixture.writeSettings(delays(1, 0, 1));
    fixture.addLesson(QStringLiteral("a.txt"), numberedLines(2));
    TForm1 &form = fixture.start();
    QCOMPARE(form.Timer0->interval(), 500);
    QCOMPARE(form.Timer1->interval(), 1);
    ShowRecorder recorder(fieldLabels(form));

    click(form.Selectionner);
    QVERIFY(allFieldsHidden(form));
    QTRY_VERIFY_WITH_TIMEOUT(form.Caract_ch->isVisible() && form.Caract_fr->isVisible(), 2000);
    QVERIFY(form.Caract_pin->isVisible());

    // Pinyin at once, the other two after half a second, whatever the order of the fields.
    QCOMPARE(recorder.shown.size(), 3);
    QCOMPARE(recorder.shown.at(0).name, QStringLiteral("Caract_pin"));
    QVERIFY2(recorder.shownAt(form.Caract_pin) < 450,
             qPrintable(QString::number(recorder.shownAt(form.Caract_pin))));
    QVERIFY(recorder.shownAt(form.Caract_ch) >= 480);
    QVERIFY(recorder.shownAt(form.Caract_fr) >= 480);
    for (toolkit::ClassicTimer *timer : revealTimers(form))
        QVERIFY(!timer->enabled());
}

void TestLearning::newStepRestartsAPendingReveal()
{
    WindowFixture fixture;
    fixture.writeSettings(delays(0, 1, 1));
    fixture.addLesson(QStringLiteral("a.txt"), numberedLines(3));
    TForm1 &form = fixture.start();
    chooseSequential(form);

    click(form.Selectionner);
    QTRY_VERIFY_WITH_TIMEOUT(form.Caract_ch->isVisible(), 2000);
    QTest::qWait(200);
    QVERIFY2(!form.Caract_pin->isVisible(), "the machine stalled past the pinyin delay");

    ShowRecorder recorder(fieldLabels(form));
    click(form.Selectionner);
    QVERIFY(allFieldsHidden(form));
    QCOMPARE(form.Caract_pin->caption(), QStringLiteral("pin1"));
    QTRY_VERIFY_WITH_TIMEOUT(form.Caract_pin->isVisible() && form.Caract_fr->isVisible(), 2000);

    // Counted from the second step: without the restart the pinyin would show about 300 ms in.
    QVERIFY2(recorder.shownAt(form.Caract_pin) >= 450,
             qPrintable(QString::number(recorder.shownAt(form.Caract_pin))));
    QVERIFY(recorder.isShown(form.Caract_ch));
    QVERIFY(recorder.shownAt(form.Caract_ch) < recorder.shownAt(form.Caract_pin));
}

QTEST_MAIN(TestLearning)
#include "tst_learning.moc"
