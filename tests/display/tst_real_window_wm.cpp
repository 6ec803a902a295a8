#include "app/tform1.h"
#include "display/about_box.h"
#include "displaysupport.h"
#include "windowfixture.h"

#include <QAction>
#include <QElapsedTimer>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QWindow>

namespace {

/// How far the centre of the window's frame lies from the centre of its screen's free area.
QPoint offCentre(const QWidget &window)
{
    return window.frameGeometry().center() - window.screen()->availableGeometry().center();
}

bool framed(const QWidget &window)
{
    return window.windowHandle() && !window.windowHandle()->frameMargins().isNull();
}

/// A property of the window as xprop prints it.
QString xprop(const QWidget &window, const QString &name)
{
    QProcess process;
    process.start(QStringLiteral("xprop"),
                  {QStringLiteral("-id"), QString::number(window.winId()), name});
    if (!process.waitForFinished(5000))
        return {};
    return QString::fromLatin1(process.readAllStandardOutput()).trimmed();
}

/// Whether X has the window iconified (WM_STATE Iconic), as the manager left it.
bool iconified(const QWidget &window)
{
    return xprop(window, QStringLiteral("WM_STATE")).contains(QStringLiteral("Iconic"));
}

} // namespace

/// The windows under a real window manager (openbox), with its frames.
class TestRealWindowManager : public QObject
{
    Q_OBJECT
private slots:
    void framedWindowsAreCentred();
    void aboutBoxAsksForATitleAlone();
    void aboutBoxOffersNoMinimiseNorMaximise();
    void iconifiedAboutBoxLeavesTheMainWindow();
    void mainWindowOffersMinimiseAndCloseOnly();
};

void TestRealWindowManager::framedWindowsAreCentred()
{
    WindowFixture fixture;
    TForm1 &form = fixture.start();
    QTRY_VERIFY_WITH_TIMEOUT(framed(form), displayWaitMs);
    QTRY_VERIFY2_WITH_TIMEOUT(offCentre(form).manhattanLength() <= 1,
                              qPrintable(QStringLiteral("main window off by %1, %2")
                                             .arg(offCentre(form).x())
                                             .arg(offCentre(form).y())),
                              displayWaitMs);

    form.Aproposde1->trigger();
    TForm2 &about = fixture.about();
    QVERIFY(QTest::qWaitForWindowExposed(&about, displayWaitMs));
    QTRY_VERIFY_WITH_TIMEOUT(framed(about), displayWaitMs);
    QTRY_VERIFY2_WITH_TIMEOUT(offCentre(about).manhattanLength() <= 1,
                              qPrintable(QStringLiteral("about box off by %1, %2")
                                             .arg(offCentre(about).x())
                                             .arg(offCentre(about).y())),
                              displayWaitMs);
}

void TestRealWindowManager::aboutBoxAsksForATitleAlone()
{
    WindowFixture fixture;
    TForm1 &form = fixture.start();
    form.Aproposde1->trigger();
    TForm2 &about = fixture.about();
    QVERIFY(QTest::qWaitForWindowExposed(&about, displayWaitMs));

    QProcess xprop;
    xprop.start(
        QStringLiteral("xprop"),
        {QStringLiteral("-id"), QString::number(about.winId()), QStringLiteral("_MOTIF_WM_HINTS")});
    QVERIFY(xprop.waitForFinished(displayWaitMs));
    // Functions and decorations given: move alone; border and title alone (no menu, minimise or
    // maximise).
    QCOMPARE(QString::fromLatin1(xprop.readAllStandardOutput()).trimmed(),
             QStringLiteral("_MOTIF_WM_HINTS(_MOTIF_WM_HINTS) = 0x3, 0x4, 0xa, 0x0, 0x0"));

    // Hidden and shown again, it keeps them, and stays where it was.
    const QPoint at = about.pos();
    QTest::mouseClick(about.Button1, Qt::LeftButton);
    QVERIFY(!about.isVisible());
    form.Aproposde1->trigger();
    QVERIFY(QTest::qWaitForWindowExposed(&about, displayWaitMs));
    QTRY_COMPARE_WITH_TIMEOUT(about.pos(), at, displayWaitMs);
}

void TestRealWindowManager::aboutBoxOffersNoMinimiseNorMaximise()
{
    WindowFixture fixture;
    TForm1 &form = fixture.start();
    form.Aproposde1->trigger();
    TForm2 &about = fixture.about();
    QVERIFY(QTest::qWaitForWindowExposed(&about, displayWaitMs));
    QTRY_VERIFY_WITH_TIMEOUT(framed(about), displayWaitMs);

    // What the manager lets the learner do with the box: move it, and close it (as "OK" does);
    // openbox draws no other button.
    QString actions;
    QTRY_VERIFY_WITH_TIMEOUT((actions = xprop(about, QStringLiteral("_NET_WM_ALLOWED_ACTIONS")))
                                 .contains(QStringLiteral("_NET_WM_ACTION_MOVE")),
                             displayWaitMs);
    QVERIFY2(!actions.contains(QStringLiteral("MINIMIZE")), qPrintable(actions));
    QVERIFY2(!actions.contains(QStringLiteral("MAXIMIZE")), qPrintable(actions));
    QVERIFY2(!actions.contains(QStringLiteral("RESIZE")), qPrintable(actions));
    // Not a transient of the main window, which a manager would iconify with it.
    QVERIFY(xprop(about, QStringLiteral("WM_TRANSIENT_FOR")).contains(QStringLiteral("not found")));

    // The manager's close button, the one left at the right of the caption, does what "OK"
    // does; the box comes back where it was.
    QTRY_VERIFY_WITH_TIMEOUT(offCentre(about).manhattanLength() <= 1, displayWaitMs);
    const QPoint at = about.pos();
    const QRect frame = about.frameGeometry();
    const int caption = about.geometry().top() - frame.top();
    QVERIFY(xdotool({QStringLiteral("mousemove"), QString::number(frame.right() - 12),
                     QString::number(frame.top() + caption / 2), QStringLiteral("click"), "1"}));
    QTRY_VERIFY_WITH_TIMEOUT(!about.isVisible(), displayWaitMs);
    QVERIFY(form.isVisible());
    form.Aproposde1->trigger();
    QVERIFY(QTest::qWaitForWindowExposed(&about, displayWaitMs));
    QTRY_COMPARE_WITH_TIMEOUT(about.pos(), at, displayWaitMs);
}

void TestRealWindowManager::iconifiedAboutBoxLeavesTheMainWindow()
{
    WindowFixture fixture;
    TForm1 &form = fixture.start();
    QTRY_VERIFY_WITH_TIMEOUT(framed(form), displayWaitMs);
    form.Aproposde1->trigger();
    TForm2 &about = fixture.about();
    QVERIFY(QTest::qWaitForWindowExposed(&about, displayWaitMs));
    QTRY_VERIFY_WITH_TIMEOUT(framed(about), displayWaitMs);

    // The learner clicks where openbox drew the box's minimise button (third from the right of
    // the caption, now the caption itself), then a manager is asked to iconify the box as a task
    // bar or a key binding may ask. Openbox now refuses; a manager that does it all the same sees
    // the box go as "OK" sends it. Either way the main window stays on screen, and nothing is
    // left iconified with no task bar to bring it back.
    QTRY_VERIFY_WITH_TIMEOUT(offCentre(about).manhattanLength() <= 1, displayWaitMs);
    const QRect frame = about.frameGeometry();
    const int caption = about.geometry().top() - frame.top();
    QVERIFY(xdotool({QStringLiteral("mousemove"), QString::number(frame.right() - 12 - 2 * 16),
                     QString::number(frame.top() + caption / 2), QStringLiteral("click"), "1"}));
    QVERIFY(xdotool({QStringLiteral("windowminimize"), QString::number(about.winId())}));
    // The manager answers in order: once it has moved the main window, it has done what it
    // would with the click and the request before. A busy openbox now and then passes over a
    // move asked while it handles the click: the move is asked again until it is done.
    const QPoint placed = form.pos();
    QElapsedTimer waited;
    waited.start();
    for (int step = 1; form.pos() == placed && waited.elapsed() < displayWaitMs; ++step) {
        QVERIFY(xdotool({QStringLiteral("windowmove"), QString::number(form.winId()),
                         QString::number(placed.x() + 10 * step),
                         QString::number(placed.y() + 10 * step)}));
        if (QTest::qWaitFor([&] { return form.pos() != placed; }, 3000))
            break;
    }
    QVERIFY2(form.pos() != placed,
             qPrintable(QStringLiteral("still at %1,%2; WM_STATE %3")
                            .arg(placed.x())
                            .arg(placed.y())
                            .arg(xprop(form, QStringLiteral("WM_STATE")))));
    QVERIFY(!iconified(form));
    QVERIFY(!form.isMinimized());
    QVERIFY(form.isVisible());
    QVERIFY(!iconified(about));
    QVERIFY(!about.isMinimized());
    if (about.isVisible())
        QTest::mouseClick(about.Button1, Qt::LeftButton);

    // "A propos de..." brings the box back, not iconified.
    form.Aproposde1->trigger();
    QVERIFY(QTest::qWaitForWindowExposed(&about, displayWaitMs));
    QVERIFY(!about.isMinimized());
    QTRY_VERIFY_WITH_TIMEOUT(!iconified(about), displayWaitMs);
}

void TestRealWindowManager::mainWindowOffersMinimiseAndCloseOnly()
{
    WindowFixture fixture;
    TForm1 &form = fixture.start();
    QTRY_VERIFY_WITH_TIMEOUT(framed(form), displayWaitMs);
    QString actions;
    QTRY_VERIFY_WITH_TIMEOUT((actions = xprop(form, QStringLiteral("_NET_WM_ALLOWED_ACTIONS")))
                                 .contains(QStringLiteral("_NET_WM_ACTION_MINIMIZE")),
                             displayWaitMs);
    QVERIFY2(actions.contains(QStringLiteral("_NET_WM_ACTION_CLOSE")), qPrintable(actions));
    QVERIFY2(!actions.contains(QStringLiteral("MAXIMIZE")), qPrintable(actions));
    QVERIFY2(!actions.contains(QStringLiteral("RESIZE")), qPrintable(actions));
}

QTEST_MAIN(TestRealWindowManager)
#include "tst_real_window_wm.moc"
