#include "app/tform1.h"
#include "display/about_box.h"
#include "display/icons.h"
#include "toolkit/label.h"
#include "windowfixture.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include <algorithm>

namespace {

/// Opens the about box from its menu item, as the learner does, and waits until it is active.
TForm2 &openAbout(WindowFixture &fixture)
{
    fixture.form().Aproposde1->trigger();
    TForm2 &about = fixture.about();
    if (!QTest::qWaitForWindowExposed(&about))
        qWarning("the about box was not exposed");
    if (!QTest::qWaitForWindowActive(&about))
        qWarning("the about box was not activated");
    return about;
}

QList<TForm2 *> aboutBoxes()
{
    QList<TForm2 *> found;
    for (QWidget *widget : QApplication::allWidgets())
        if (auto *box = qobject_cast<TForm2 *>(widget))
            found.append(box);
    return found;
}

QList<int> sides(const QIcon &icon)
{
    QList<int> found;
    for (const QSize &size : icon.availableSizes()) {
        if (size.width() != size.height())
            return {};
        found.append(size.width());
    }
    std::sort(found.begin(), found.end());
    return found;
}

const QList<int> iconSides = {16, 32, 48, 64, 128, 256};

} // namespace

class TestAboutBox : public QObject
{
    Q_OBJECT
private slots:
    void madeHiddenWhenFirstAskedFor();
    void opensOnceAndComesToTheFront();
    void isNotModal();
    void firstShowIsCentredOnTheDesktop();
    void showsAgainWhereItWasLeft();
    void dismissed_data();
    void dismissed();
    void iconifiedIsDismissed();
    void captionBarHasNoButtons();
    void components_data();
    void components();
    void onlyOkTakesTheFocus();
    void pictureIsDrawnUnscaledFromTheTopLeft();
    void programIconHasEverySize();
    void bothWindowsShowTheProgramIcon();
    void closingTheMainWindowEndsTheProgram();
};

void TestAboutBox::madeHiddenWhenFirstAskedFor()
{
    WindowFixture fixture;
    TForm1 &form = fixture.start();
    // Start-up shows nothing of it, so it costs nothing until it is asked for.
    QVERIFY(aboutBoxes().isEmpty());
    QCOMPARE(form.Aproposde1->text(), QStringLiteral("A &propos de..."));

    form.Aproposde1->trigger();
    QCOMPARE(aboutBoxes().size(), 1);
    TForm2 &about = fixture.about();
    QVERIFY(about.isVisible());
    QCOMPARE(about.parentWidget(), &form);
    QCOMPARE(about.Label1->caption(), QStringLiteral("Hanlexo"));

    // Hidden and asked for again: the same box.
    about.Button1->click();
    QVERIFY(!about.isVisible());
    form.Aproposde1->trigger();
    QCOMPARE(aboutBoxes(), QList<TForm2 *> {&about});
    QVERIFY(about.isVisible());
}

void TestAboutBox::opensOnceAndComesToTheFront()
{
    WindowFixture fixture;
    TForm1 &form = fixture.start();
    TForm2 &about = openAbout(fixture);
    QVERIFY(about.isVisible());
    about.move(50, 60);

    form.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    form.Aproposde1->trigger();

    QCOMPARE(aboutBoxes(), QList<TForm2 *> {&about});
    QVERIFY(about.isVisible());
    QCOMPARE(about.pos(), QPoint(50, 60));
    QVERIFY(QTest::qWaitForWindowActive(&about));
    QVERIFY(fixture.errors.isEmpty());
}

void TestAboutBox::isNotModal()
{
    WindowFixture fixture;
    TForm1 &form = fixture.start();
    TForm2 &about = openAbout(fixture);
    QVERIFY(!about.isModal());
    QCOMPARE(QApplication::activeModalWidget(), nullptr);
    QCOMPARE(QGuiApplication::modalWindow(), nullptr);

    // A click through the window system, which a modal box would block.
    const bool ticked = form.Alea->isChecked();
    const QPoint inWindow = form.Alea->mapTo(&form, QPoint(8, form.Alea->height() / 2));
    QTest::mouseClick(form.windowHandle(), Qt::LeftButton, {}, inWindow);
    QCOMPARE(form.Alea->isChecked(), !ticked);
    QVERIFY(about.isVisible());
}

void TestAboutBox::firstShowIsCentredOnTheDesktop()
{
    WindowFixture fixture;
    TForm1 &form = fixture.start();
    // Away from the centre, so that centring on the main window would show.
    form.move(0, 0);
    TForm2 &about = openAbout(fixture);
    QCOMPARE(about.frameGeometry().center(), about.screen()->availableGeometry().center());
}

void TestAboutBox::showsAgainWhereItWasLeft()
{
    WindowFixture fixture;
    TForm1 &form = fixture.start();
    TForm2 &about = openAbout(fixture);
    const QImage content = about.grab().toImage();
    about.move(30, 40);
    QTest::mouseClick(about.Button1, Qt::LeftButton);
    QVERIFY(!about.isVisible());
    form.move(5, 5);

    form.Aproposde1->trigger();

    QVERIFY(about.isVisible());
    QCOMPARE(about.pos(), QPoint(30, 40));
    QCOMPARE(about.grab().toImage(), content);
}

void TestAboutBox::dismissed_data()
{
    QTest::addColumn<int>("key"); // 0: a mouse click on "OK"
    QTest::newRow("OK clicked") << 0;
    QTest::newRow("Escape") << int(Qt::Key_Escape);
    QTest::newRow("Enter on OK") << int(Qt::Key_Return);
    QTest::newRow("Space on OK") << int(Qt::Key_Space);
}

void TestAboutBox::dismissed()
{
    QFETCH(int, key);
    WindowFixture fixture;
    TForm1 &form = fixture.start();
    TForm2 &about = openAbout(fixture);
    QCOMPARE(QApplication::focusWidget(), about.Button1);

    if (key == 0)
        QTest::mouseClick(about.Button1, Qt::LeftButton);
    else
        QTest::keyClick(about.Button1, Qt::Key(key));

    QVERIFY(!about.isVisible());
    // The main window's own Escape (which quits) is not pressed through the about box.
    QVERIFY(form.isVisible());
    QCOMPARE(aboutBoxes(), QList<TForm2 *> {&about});
    QVERIFY(fixture.errors.isEmpty());

    form.Aproposde1->trigger();
    QVERIFY(about.isVisible());
}

void TestAboutBox::iconifiedIsDismissed()
{
    WindowFixture fixture;
    TForm1 &form = fixture.start();
    TForm2 &about = openAbout(fixture);
    const QPoint at = about.pos();

    // A manager that iconifies the box anyway: it goes as "OK" sends it, never left iconified
    // where, with no task bar, the learner could not get it back.
    about.setWindowState(about.windowState() | Qt::WindowMinimized);
    QVERIFY(!about.isVisible());
    QVERIFY(!about.isMinimized());
    QVERIFY(form.isVisible());
    QVERIFY(!form.isMinimized());

    form.Aproposde1->trigger();
    QVERIFY(about.isVisible());
    QVERIFY(!about.isMinimized());
    QCOMPARE(about.pos(), at);
}

void TestAboutBox::captionBarHasNoButtons()
{
    TForm2 about;
    QCOMPARE(about.windowTitle(), QStringLiteral("A propos de Hanlexo - vocab"));
    // A window of its own: iconified by a manager, it takes no other window along.
    QCOMPARE(about.windowFlags(), Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    QCOMPARE(about.windowType(), Qt::Window);
    QCOMPARE(about.minimumSize(), QSize(244, 279));
    QCOMPARE(about.maximumSize(), QSize(244, 279));
    about.show();
    QVERIFY(QTest::qWaitForWindowExposed(&about));
    QCOMPARE(about.size(), QSize(244, 279));
    QCOMPARE(about.backgroundRole(), QPalette::Button);
    QVERIFY(about.autoFillBackground());
    QCOMPARE(about.font().family(), QStringLiteral("Tahoma"));
    QCOMPARE(about.font().pointSize(), 8);
    QVERIFY(!about.font().bold());
}

void TestAboutBox::components_data()
{
    // The row's tag is the component's name.
    QTest::addColumn<QString>("parent");
    QTest::addColumn<QRect>("designed"); // width and height -1: the size of its text
    QTest::addColumn<QString>("text"); // null: the product's own one-line text
    QTest::addColumn<int>("points");
    QTest::addColumn<bool>("bold");

    const QString own;
    // clang-format off
    QTest::newRow("Label1")    << "Form2"     << QRect(112, 16, -1, -1)   << "Hanlexo"           << 12 << true;
    QTest::newRow("Label5")    << "Form2"     << QRect(104, 48, -1, -1)   << "Vocab version 1.3" << 12 << false;
    QTest::newRow("Label7")    << "Form2"     << QRect(24, 80, -1, -1)    << own                 << 8  << true;
    QTest::newRow("GroupBox1") << "Form2"     << QRect(8, 98, 225, 73)    << "Licence"           << 8  << false;
    QTest::newRow("Label2")    << "GroupBox1" << QRect(16, 24, -1, -1)    << ""                  << 8  << true;
    QTest::newRow("Label3")    << "GroupBox1" << QRect(16, 44, -1, -1)    << ""                  << 8  << false;
    QTest::newRow("GroupBox2") << "Form2"     << QRect(8, 176, 129, 97)   << own                 << 8  << false;
    QTest::newRow("Label4")    << "GroupBox2" << QRect(14, 24, -1, -1)    << own                 << 8  << false;
    QTest::newRow("Label8")    << "GroupBox2" << QRect(14, 40, -1, -1)    << own                 << 8  << false;
    QTest::newRow("Label6")    << "GroupBox2" << QRect(14, 56, -1, -1)    << own                 << 8  << false;
    QTest::newRow("Label9")    << "GroupBox2" << QRect(14, 72, -1, -1)    << own                 << 8  << false;
    QTest::newRow("Button1")   << "Form2"     << QRect(152, 184, 81, 89)  << "OK"                << 8  << false;
    // clang-format on
}

void TestAboutBox::components()
{
    const QString name = QString::fromLatin1(QTest::currentDataTag());
    QFETCH(QString, parent);
    QFETCH(QRect, designed);
    QFETCH(QString, text);
    QFETCH(int, points);
    QFETCH(bool, bold);

    WindowFixture fixture;
    fixture.start();
    TForm2 &about = openAbout(fixture);
    auto *widget = about.findChild<QWidget *>(name);
    QVERIFY(widget);
    QVERIFY(widget->isVisible());
    QCOMPARE(widget->parentWidget()->objectName(), parent);
    QCOMPARE(widget->pos(), designed.topLeft());
    if (designed.width() >= 0)
        QCOMPARE(widget->size(), designed.size());
    else if (!text.isNull() && text.isEmpty())
        QCOMPARE(widget->width(), 0); // an empty label takes no width, and measures nothing
    else
        QCOMPARE(widget->size(), widget->sizeHint());
    // Nothing spills out of its parent, nor over a group box's frame.
    QVERIFY2(widget->parentWidget()->contentsRect().contains(widget->pos())
                 && widget->parentWidget()->contentsRect().contains(
                     widget->geometry().bottomRight(), false)
                 && (widget->size().isEmpty()
                     || widget->parentWidget()->contentsRect().contains(widget->geometry())),
             qPrintable(QStringLiteral("%1 at %2,%3 %4x%5")
                            .arg(name)
                            .arg(widget->x())
                            .arg(widget->y())
                            .arg(widget->width())
                            .arg(widget->height())));

    QString shown;
    if (auto *label = qobject_cast<QLabel *>(widget)) {
        QCOMPARE(label->textFormat(), Qt::PlainText);
        shown = label->text();
    } else if (auto *box = qobject_cast<QGroupBox *>(widget)) {
        shown = box->title();
    } else if (auto *button = qobject_cast<QPushButton *>(widget)) {
        shown = button->text();
    }
    if (text.isNull()) {
        QVERIFY(!shown.trimmed().isEmpty());
        QVERIFY(!shown.contains(u'\n'));
        // One line, in the label's own face (no taller fallback font).
        if (qobject_cast<QLabel *>(widget)) {
            QLabel line(QStringLiteral("Hg"));
            line.setFont(widget->font());
            QCOMPARE(widget->height(), line.sizeHint().height());
        }
    } else {
        QCOMPARE(shown, text);
    }
    QCOMPARE(widget->font().family(), QStringLiteral("Tahoma"));
    QCOMPARE(widget->font().pointSize(), points);
    QCOMPARE(widget->font().bold(), bold);
    QCOMPARE(widget->palette().color(QPalette::WindowText),
             QApplication::palette().color(QPalette::WindowText));
}

void TestAboutBox::onlyOkTakesTheFocus()
{
    WindowFixture fixture;
    fixture.start();
    TForm2 &about = openAbout(fixture);
    for (const QWidget *widget : about.findChildren<QWidget *>()) {
        if (widget == about.Button1)
            QVERIFY(widget->focusPolicy() & Qt::TabFocus);
        else
            QVERIFY2(widget->focusPolicy() == Qt::NoFocus, qPrintable(widget->objectName()));
    }
    QCOMPARE(about.focusWidget(), about.Button1);
    QTest::keyClick(about.Button1, Qt::Key_Tab);
    QCOMPARE(about.focusWidget(), about.Button1);
}

void TestAboutBox::pictureIsDrawnUnscaledFromTheTopLeft()
{
    WindowFixture fixture;
    fixture.start();
    TForm2 &about = openAbout(fixture);
    QLabel *image = about.Image1;
    QCOMPARE(image->geometry(), QRect(18, 6, 71, 71));
    const QImage picture = image->pixmap().toImage();
    QCOMPARE(picture.size(), QSize(65, 65));
    QVERIFY(!picture.hasAlphaChannel());
    QCOMPARE(picture.format(), QImage::Format_RGB32);

    const QImage drawn = image->grab().toImage().convertToFormat(QImage::Format_RGB32);
    QCOMPARE(drawn.size(), QSize(71, 71));
    QCOMPARE(drawn.copy(0, 0, 65, 65), picture);
    QCOMPARE(drawn.pixelColor(68, 68), about.palette().color(QPalette::Button));
}

void TestAboutBox::programIconHasEverySize()
{
    const QIcon icon = programIcon();
    QCOMPARE(sides(icon), iconSides);
    for (const int side : iconSides) {
        const QImage image = icon.pixmap(side).toImage();
        QCOMPARE(image.size(), QSize(side, side));
        QVERIFY(image.hasAlphaChannel());
        // Transparent round corners, an opaque tile.
        QCOMPARE(image.pixelColor(0, 0).alpha(), 0);
        QCOMPARE(image.pixelColor(side / 2, side - side / 8).alpha(), 255);
    }
    // The 256-colour variants beside them.
    for (const int side : {16, 32}) {
        const QImage indexed(QStringLiteral(":/icons/hanlexo-vocab-%1-indexed.png").arg(side));
        QCOMPARE(indexed.size(), QSize(side, side));
        QCOMPARE(indexed.format(), QImage::Format_Indexed8);
        QVERIFY(indexed.colorCount() <= 256);
        QCOMPARE(indexed.pixelColor(0, 0).alpha(), 0);
    }
    QFile svg(QStringLiteral(":/icons/hanlexo-vocab.svg"));
    QVERIFY(svg.open(QIODevice::ReadOnly));
    const QByteArray content = svg.readAll();
    QVERIFY(content.contains("<svg"));
    QVERIFY(content.contains("viewBox=\"0 0 256 256\""));
}

void TestAboutBox::bothWindowsShowTheProgramIcon()
{
    WindowFixture fixture;
    TForm1 &form = fixture.start();
    form.Aproposde1->trigger();
    QCOMPARE(sides(fixture.about().windowIcon()), iconSides);
    QCOMPARE(sides(form.windowIcon()), iconSides);
    // One icon, whose images are decoded once for the application and both windows.
    QCOMPARE(form.windowIcon().cacheKey(), programIcon().cacheKey());
    QCOMPARE(fixture.about().windowIcon().cacheKey(), programIcon().cacheKey());
}

void TestAboutBox::closingTheMainWindowEndsTheProgram()
{
    WindowFixture fixture;
    TForm1 &form = fixture.start();
    bool aboutWasShown = false;
    QTimer::singleShot(0, &form, [&] {
        form.Aproposde1->trigger();
        aboutWasShown = fixture.about().isVisible();
        form.Quitter1->trigger();
    });
    QTimer stuck;
    stuck.setSingleShot(true);
    connect(&stuck, &QTimer::timeout, [] { QCoreApplication::exit(1); });
    stuck.start(10000);

    QCOMPARE(QApplication::exec(), 0);
    QVERIFY(aboutWasShown);
    QVERIFY(!form.isVisible());
    QVERIFY(!fixture.about().isVisible());
}

QTEST_MAIN(TestAboutBox)
#include "tst_about_box.moc"
