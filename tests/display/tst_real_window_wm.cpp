#include "app/tform1.h"
#include "display/about_box.h"
#include "displaysupport.h"
#include "windowfixture.h"

#include <QAction>
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

} // namespace

/// The windows under a real window manager (openbox), with its frames.
class TestRealWindowManager : public QObject
{
    Q_OBJECT
private slots:
    void framedWindowsAreCentred();
    void aboutBoxAsksForATitleAlone();
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

QTEST_MAIN(TestRealWindowManager)
#include "tst_real_window_wm.moc"
