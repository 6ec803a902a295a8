#include "app/program.h"
#include "app/tform1.h"
#include "display/about_box.h"
#include "display/icons.h"
#include "displaysupport.h"
#include "windowfixture.h"

#include <QAbstractEventDispatcher>
#include <QAbstractNativeEventFilter>
#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QImage>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QWindow>

#include <xcb/xcb.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>

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

xcb_connection_t *xConnection()
{
    auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 ? x11->connection() : nullptr;
}

xcb_atom_t atom(const char *name)
{
    xcb_connection_t *connection = xConnection();
    std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> reply(
        xcb_intern_atom_reply(
            connection, xcb_intern_atom(connection, 0, uint16_t(std::strlen(name)), name), nullptr),
        &std::free);
    return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
}

/// The images of the window's _NET_WM_ICON, as the window manager reads them.
QList<QImage> iconImages(const QWidget &window)
{
    xcb_connection_t *connection = xConnection();
    const xcb_get_property_cookie_t cookie
        = xcb_get_property(connection, 0, xcb_window_t(window.winId()), atom("_NET_WM_ICON"),
                           XCB_ATOM_CARDINAL, 0, 1U << 24);
    std::unique_ptr<xcb_get_property_reply_t, decltype(&std::free)> reply(
        xcb_get_property_reply(connection, cookie, nullptr), &std::free);
    QList<QImage> images;
    if (!reply || reply->format != 32)
        return images;
    const auto *words = static_cast<const quint32 *>(xcb_get_property_value(reply.get()));
    const quint32 *const end = words + xcb_get_property_value_length(reply.get()) / 4;
    while (end - words >= 2) {
        const int width = int(words[0]);
        const int height = int(words[1]);
        words += 2;
        if (width <= 0 || height <= 0 || end - words < qint64(width) * height)
            return {};
        QImage image(width, height, QImage::Format_ARGB32);
        for (int y = 0; y < height; ++y, words += width)
            std::memcpy(image.scanLine(y), words, std::size_t(width) * 4);
        images.append(image);
    }
    return images;
}

/// Counts the changes of each window's _NET_WM_ICON that reach the program.
class IconChanges : public QAbstractNativeEventFilter
{
public:
    IconChanges() : m_icon(atom("_NET_WM_ICON"))
    {
        QAbstractEventDispatcher::instance()->installNativeEventFilter(this);
    }
    ~IconChanges() override { QAbstractEventDispatcher::instance()->removeNativeEventFilter(this); }
    IconChanges(const IconChanges &) = delete;
    IconChanges &operator=(const IconChanges &) = delete;

    bool nativeEventFilter(const QByteArray &type, void *message, qintptr *) override
    {
        const auto *event = static_cast<const xcb_generic_event_t *>(message);
        if (type == "xcb_generic_event_t" && (event->response_type & 0x7f) == XCB_PROPERTY_NOTIFY) {
            const auto *change = reinterpret_cast<const xcb_property_notify_event_t *>(event);
            if (change->atom == m_icon)
                ++m_changes[change->window];
        }
        return false;
    }

    int of(const QWidget &window) const
    {
        const auto found = m_changes.find(xcb_window_t(window.winId()));
        return found == m_changes.end() ? 0 : found->second;
    }

private:
    xcb_atom_t m_icon;
    std::map<xcb_window_t, int> m_changes;
};

/// Whether the window's _NET_WM_ICON holds the program icon, every size of it, pixel for pixel.
bool showsTheProgramIcon(const QWidget &window)
{
    const QList<QImage> images = iconImages(window);
    QList<int> sides;
    for (const QImage &image : images) {
        const QImage drawn
            = programIcon().pixmap(image.size()).toImage().convertToFormat(QImage::Format_ARGB32);
        if (image != drawn)
            return false;
        sides.append(image.width());
    }
    std::sort(sides.begin(), sides.end());
    return sides == QList<int>({16, 32, 48, 64, 128, 256});
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
    void eachWindowSendsTheProgramIconOnce();
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

void TestRealWindowManager::eachWindowSendsTheProgramIconOnce()
{
    // The icon of every size goes to the display once per window, and stays the application's for
    // the windows made later, such as the message boxes.
    program::setUpApplication();
    const IconChanges changes;
    WindowFixture fixture;
    TForm1 &form = fixture.start();
    QVERIFY(QTest::qWaitForWindowExposed(&form, displayWaitMs));
    QTRY_VERIFY_WITH_TIMEOUT(framed(form), displayWaitMs);
    QVERIFY(showsTheProgramIcon(form));

    form.Aproposde1->trigger();
    TForm2 &about = fixture.about();
    QVERIFY(QTest::qWaitForWindowExposed(&about, displayWaitMs));
    QTRY_VERIFY_WITH_TIMEOUT(framed(about), displayWaitMs);
    QVERIFY(showsTheProgramIcon(about));

    QCOMPARE(changes.of(form), 1);
    QCOMPARE(changes.of(about), 1);
    QCOMPARE(QApplication::windowIcon().cacheKey(), programIcon().cacheKey());
}

QTEST_MAIN(TestRealWindowManager)
#include "tst_real_window_wm.moc"
