#include "app/tform1.h"
#include "displaysupport.h"
#include "toolkit/radio_group.h"
#include "toolkit/scroll_bar.h"
#include "windowfixture.h"

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QTest>

namespace {

/// A real key press through the X server, to the window that has the focus.
bool key(const QString &name)
{
    return xdotool({QStringLiteral("key"), name});
}

/// What the X server shows of widget, once two looks in a row agree.
QImage shown(QWidget *widget)
{
    const QPoint at = widget->mapToGlobal(QPoint(0, 0));
    QImage last;
    QElapsedTimer waited;
    waited.start();
    for (;;) {
        QCoreApplication::processEvents();
        QImage now = widget->screen()
                         ->grabWindow(0, at.x(), at.y(), widget->width(), widget->height())
                         .toImage();
        if (now == last || waited.elapsed() > displayWaitMs)
            return now;
        last = std::move(now);
        QTest::qWait(20);
    }
}

} // namespace

/// Where the keyboard focus goes for a learner who works the test page with the keys alone.
class TestRealFocus : public QObject
{
    Q_OBJECT
private slots:
    void keyboardLearnerAnswersWithoutLosingTheFocus();
    void focusedScrollBarShowsAFrame();
};

void TestRealFocus::keyboardLearnerAnswersWithoutLosingTheFocus()
{
    WindowFixture fixture;
    fixture.addLesson(QStringLiteral("a.txt"), numberedLines(8));
    TForm1 &form = fixture.start();
    QVERIFY(QTest::qWaitForWindowActive(&form, displayWaitMs));
    form.PageControl1->setCurrentIndex(1);
    form.Button4->setFocus(Qt::TabFocusReason);

    // Space on "Lancer le test": the question shows, the first choice has the focus.
    QVERIFY(key(QStringLiteral("space")));
    QTRY_VERIFY_WITH_TIMEOUT(form.RadioGroup1->isVisible(), displayWaitMs);
    QTRY_COMPARE_WITH_TIMEOUT(QApplication::focusWidget(), form.RadioGroup1->choice(0),
                              displayWaitMs);
    // Space again answers with it.
    QVERIFY(key(QStringLiteral("space")));
    QTRY_COMPARE_WITH_TIMEOUT(form.quiz.answeredCount(), 1, displayWaitMs);
    QVERIFY(form.RadioGroup1->choice(0)->isChecked());

    // After the verdict the focus is on "Reinitialiser", as specified; Space there ends the test
    // and "Lancer le test" takes the focus, not "Quitter" and not the page tab.
    form.Timer3Timer();
    QCOMPARE(QApplication::focusWidget(), form.Reinitialiser);
    QVERIFY(key(QStringLiteral("space")));
    QTRY_VERIFY_WITH_TIMEOUT(form.Button4->isVisible(), displayWaitMs);
    QTRY_COMPARE_WITH_TIMEOUT(QApplication::focusWidget(), form.Button4, displayWaitMs);
    QVERIFY(form.isVisible());
}

void TestRealFocus::focusedScrollBarShowsAFrame()
{
    WindowFixture fixture;
    TForm1 &form = fixture.start();
    QVERIFY(QTest::qWaitForWindowActive(&form, displayWaitMs));
    toolkit::TScrollBar *bar = form.ScrollBar0;
    form.Selectionner->setFocus(Qt::TabFocusReason);
    const QImage before = shown(bar);

    // Tab from "Aléatoire", the control before it in tab order.
    form.Alea->setFocus(Qt::TabFocusReason);
    QVERIFY(key(QStringLiteral("Tab")));
    QTRY_COMPARE_WITH_TIMEOUT(QApplication::focusWidget(), static_cast<QWidget *>(bar),
                              displayWaitMs);
    const QImage focused = shown(bar);
    int inside = 0;
    for (int y = 1; y < focused.height() - 1; ++y)
        for (int x = 1; x < focused.width() - 1; ++x)
            inside += focused.pixel(x, y) != before.pixel(x, y);
    QVERIFY2(inside > bar->width() / 2, qPrintable(QString::number(inside)));

    // The arrows then move this delay, and the frame goes with the focus.
    const int position = bar->value();
    QVERIFY(key(QStringLiteral("Right")));
    QTRY_COMPARE_WITH_TIMEOUT(bar->value(), position + 1, displayWaitMs);
    QVERIFY(key(QStringLiteral("Tab")));
    QTRY_VERIFY_WITH_TIMEOUT(!bar->hasFocus(), displayWaitMs);
    bar->setValue(position);
    QTRY_COMPARE_WITH_TIMEOUT(shown(bar), before, displayWaitMs);
}

QTEST_MAIN(TestRealFocus)
#include "tst_real_focus.moc"
