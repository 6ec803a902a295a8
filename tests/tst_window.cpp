#include "app/tform1.h"
#include "display/about_box.h"
#include "toolkit/classic_timer.h"
#include "toolkit/fonts.h"
#include "toolkit/guard.h"
#include "toolkit/label.h"
#include "toolkit/message_boxes.h"
#include "toolkit/radio_group.h"
#include "toolkit/scroll_bar.h"
#include "windowfixture.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFontDatabase>
#include <QFrame>
#include <QGroupBox>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

namespace {

/// The window's widgets by their design name. Looked up through the members, since the about box
/// (a child of the window) reuses some names.
QWidget *component(TForm1 &form, const QString &name)
{
    const QHash<QString, QWidget *> widgets {
        {"Form1", &form},
        {"Button2", form.Button2},
        {"GroupBox1", form.GroupBox1},
        {"Button1", form.Button1},
        {"Button3", form.Button3},
        {"ListView1", form.ListView1},
        {"PageControl1", form.PageControl1},
        {"TabSheet1", form.TabSheet1},
        {"Caract_ch", form.Caract_ch},
        {"Caract_pin", form.Caract_pin},
        {"Caract_fr", form.Caract_fr},
        {"Panel1", form.Panel1},
        {"Label1", form.Label1},
        {"Label2", form.Label2},
        {"Label3", form.Label3},
        {"ScrollBar0", form.ScrollBar0},
        {"ScrollBar1", form.ScrollBar1},
        {"ScrollBar2", form.ScrollBar2},
        {"Alea", form.Alea},
        {"compteur", form.compteur},
        {"Selectionner", form.Selectionner},
        {"precedent", form.precedent},
        {"TabSheet2", form.TabSheet2},
        {"question", form.question},
        {"bonne_rep1", form.bonne_rep1},
        {"Solution", form.Solution},
        {"mauvaise_rep2", form.mauvaise_rep2},
        {"mauvaise_rep1", form.mauvaise_rep1},
        {"bonne_rep2", form.bonne_rep2},
        {"GroupBox2", form.GroupBox2},
        {"LQ1", form.LQ1},
        {"LQ2", form.LQ2},
        {"LQ3", form.LQ3},
        {"GroupBox3", form.GroupBox3},
        {"LR1", form.LR1},
        {"LR2", form.LR2},
        {"LR3", form.LR3},
        {"Button4", form.Button4},
        {"Group_note", form.Group_note},
        {"note", form.note},
        {"Reinitialiser", form.Reinitialiser},
        {"RadioGroup1", form.RadioGroup1},
    };
    QWidget *widget = widgets.value(name);
    if (!widget)
        qFatal("no component %s", qPrintable(name));
    return widget;
}

/// The designed parent: the window itself stands for its client area.
QWidget *designParent(TForm1 &form, const QString &name)
{
    return name == QLatin1String("Form1") ? form.centralWidget() : component(form, name);
}

QString captionOf(const QWidget *widget)
{
    if (const auto *button = qobject_cast<const QAbstractButton *>(widget))
        return button->text();
    if (const auto *box = qobject_cast<const QGroupBox *>(widget))
        return box->title();
    if (const auto *label = qobject_cast<const QLabel *>(widget))
        return label->text();
    return QString();
}

/// The menu tree, one line per item: indentation, object name, caption ("-" for a separator).
void describeMenu(const QList<QAction *> &actions, qsizetype depth, QStringList &lines)
{
    for (const QAction *action : actions) {
        const QMenu *submenu = action->menu();
        const QString name = submenu ? submenu->objectName() : action->objectName();
        const QString caption = action->isSeparator() ? QStringLiteral("-") : action->text();
        lines.append(QString(depth * 2, u' ') + name + u' ' + caption);
        if (submenu)
            describeMenu(submenu->actions(), depth + 1, lines);
    }
}

QList<QAction *> allActions(const QList<QAction *> &actions)
{
    QList<QAction *> all;
    for (QAction *action : actions) {
        all.append(action);
        if (const QMenu *submenu = action->menu())
            all += allActions(submenu->actions());
    }
    return all;
}

/// Runs the event loop, does action from inside it, and tells whether the loop then ended by itself
/// (as it ends the program) rather than by a time limit.
bool actionEndsTheEventLoop(const std::function<void()> &action)
{
    QTimer::singleShot(0, qApp, action);
    QTimer limit;
    limit.setSingleShot(true);
    QObject::connect(&limit, &QTimer::timeout, qApp, [] { QCoreApplication::exit(1); });
    limit.start(5000);
    return QApplication::exec() == 0;
}

} // namespace

class TestWindow : public QObject
{
    Q_OBJECT
private slots:
    void windowShell();
    void fixedComponents_data();
    void fixedComponents();
    void autoSizeLabels_data();
    void autoSizeLabels();
    void fontsAndColours_data();
    void fontsAndColours();
    void menuTree();
    void tabOrder();
    void escapeCloses_data();
    void escapeCloses();
    void keysOnTheFocusedQuitButton_data();
    void keysOnTheFocusedQuitButton();
    void tabEntersAGroupAtItsTickedButton();
    void quitCommandsClose_data();
    void quitCommandsClose();
    void closingHidesTheAboutBox();
    void errorReportText_data();
    void errorReportText();
    void designFacesRenderWithDebianFonts_data();
    void designFacesRenderWithDebianFonts();
    void messageBoxes();
    void errorInAHandlerIsReportedAndTheLoopGoesOn();
    void refusedSettingsWriteIsReportedOncePerWrite();
};

void TestWindow::windowShell()
{
    WindowFixture fixture;
    TForm1 &form = fixture.start();

    QCOMPARE(form.objectName(), QStringLiteral("Form1"));
    QCOMPARE(form.windowTitle(), QStringLiteral("Hanlexo - vocab 1.3"));
    QVERIFY(!form.windowIcon().isNull());
    const int menuHeight = form.menuBar()->height();
    QVERIFY(menuHeight > 0);
    QCOMPARE(form.centralWidget()->geometry(), QRect(0, menuHeight, 743, 318));
    QCOMPARE(form.size(), QSize(743, 318 + menuHeight));

    // Not resizable, no maximize button.
    QCOMPARE(form.minimumSize(), form.maximumSize());
    form.resize(900, 600);
    QCOMPARE(form.size(), QSize(743, 318 + menuHeight));
    QVERIFY(!(form.windowFlags() & Qt::WindowMaximizeButtonHint));
    QVERIFY(form.windowFlags() & Qt::WindowMinimizeButtonHint);
    QVERIFY(form.windowFlags() & Qt::WindowCloseButtonHint);

    // Centred on the desktop, not at the designed (50, 50).
    const QPoint centre = form.screen()->availableGeometry().center();
    QVERIFY2((form.frameGeometry().center() - centre).manhattanLength() <= 2,
             qPrintable(QStringLiteral("centre %1,%2")
                            .arg(form.frameGeometry().center().x())
                            .arg(form.frameGeometry().center().y())));

    QCOMPARE(form.PageControl1->count(), 2);
    QCOMPARE(form.PageControl1->widget(0), form.TabSheet1);
    QCOMPARE(form.PageControl1->widget(1), form.TabSheet2);
    QCOMPARE(form.PageControl1->tabText(0), QStringLiteral("Apprentissage"));
    QCOMPARE(form.PageControl1->tabText(1), QStringLiteral("Test"));

    // Every design name is the object's name.
    for (const char *name : {"Button2", "ListView1", "Caract_ch", "ScrollBar0", "compteur",
                             "Selectionner", "question", "RadioGroup1", "Group_note", "note"})
        QCOMPARE(component(form, QString::fromLatin1(name))->objectName(),
                 QString::fromLatin1(name));
}

void TestWindow::fixedComponents_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("parent");
    QTest::addColumn<QRect>("geometry");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<bool>("shown"); // not hidden within its parent
    QTest::addColumn<bool>("enabled");

    auto row = [](const char *name, const char *parent, QRect geometry, const QString &caption,
                  bool shown = true, bool enabled = true) {
        QTest::newRow(name) << QString::fromLatin1(name) << QString::fromLatin1(parent) << geometry
                            << caption << shown << enabled;
    };
    row("Button2", "Form1", {8, 272, 137, 41}, QStringLiteral("Quitter"));
    row("GroupBox1", "Form1", {8, 8, 137, 257}, QStringLiteral("Sélection des cours"));
    row("PageControl1", "Form1", {152, 8, 585, 305}, QString());
    row("Button1", "GroupBox1", {8, 200, 121, 25}, QStringLiteral("Tout sélectionner"));
    row("Button3", "GroupBox1", {8, 224, 121, 25}, QStringLiteral("Tout désélectionner"));
    row("ListView1", "GroupBox1", {8, 16, 121, 177}, QString());
    row("Panel1", "TabSheet1", {13, 180, 551, 93}, QString());
    row("ScrollBar0", "Panel1", {120, 16, 129, 17}, QString());
    row("ScrollBar1", "Panel1", {120, 40, 129, 17}, QString());
    row("ScrollBar2", "Panel1", {120, 64, 129, 17}, QString());
    row("Alea", "Panel1", {280, 32, 73, 17}, QStringLiteral("Aléatoire"));
    row("compteur", "Panel1", {280, 56, 65, 13}, QString());
    row("Selectionner", "Panel1", {384, 23, 140, 50}, QStringLiteral("Suivant"));
    row("precedent", "Panel1", {384, 23, 70, 50}, QStringLiteral("Précédent"), false);
    row("bonne_rep1", "TabSheet2", {8, 80, 89, 25}, QStringLiteral("bonne"), false);
    row("mauvaise_rep2", "TabSheet2", {8, 104, 89, 25}, QStringLiteral("réponse"), false);
    row("mauvaise_rep1", "TabSheet2", {8, 80, 89, 25}, QStringLiteral("mauvaise"), false);
    row("bonne_rep2", "TabSheet2", {8, 104, 89, 25}, QStringLiteral("réponse"), false);
    row("GroupBox2", "TabSheet2", {8, 8, 89, 89}, QStringLiteral("Question"));
    row("GroupBox3", "TabSheet2", {8, 104, 89, 89}, QStringLiteral("Réponse"));
    row("LQ1", "GroupBox2", {16, 16, 65, 17}, QStringLiteral("chinois"));
    row("LQ2", "GroupBox2", {16, 40, 65, 17}, QStringLiteral("pinyin"));
    row("LQ3", "GroupBox2", {16, 64, 65, 17}, QStringLiteral("français"));
    row("LR1", "GroupBox3", {16, 16, 65, 17}, QStringLiteral("chinois"), true, false);
    row("LR2", "GroupBox3", {16, 40, 65, 17}, QStringLiteral("pinyin"));
    row("LR3", "GroupBox3", {16, 64, 65, 17}, QStringLiteral("français"));
    row("Button4", "TabSheet2", {8, 208, 89, 41}, QStringLiteral("Lancer le test"));
    row("Group_note", "TabSheet2", {8, 8, 89, 49}, QStringLiteral("Résultat"), false);
    row("note", "Group_note", {2, 20, 85, 24}, QStringLiteral("0 / 0"));
    row("Reinitialiser", "TabSheet2", {8, 208, 89, 41}, QStringLiteral("Reinitialiser"), false);
    // Start-up lays the choices out for a Chinese question: top 58, height 165.
    row("RadioGroup1", "TabSheet2", {112, 58, 457, 165}, QString(), false);
}

void TestWindow::fixedComponents()
{
    QFETCH(QString, name);
    QFETCH(QString, parent);
    QFETCH(QRect, geometry);
    QFETCH(QString, caption);
    QFETCH(bool, shown);
    QFETCH(bool, enabled);

    WindowFixture fixture;
    TForm1 &form = fixture.start();
    QWidget *widget = component(form, name);

    QCOMPARE(widget->parentWidget(), designParent(form, parent));
    QCOMPARE(widget->geometry(), geometry);
    QCOMPARE(captionOf(widget), caption);
    QCOMPARE(!widget->isHidden(), shown);
    QCOMPARE(widget->isEnabled(), enabled);
    // The labels of fixed size centre their text.
    if (const auto *label = qobject_cast<const toolkit::TLabel *>(widget))
        QCOMPARE(label->alignment(), Qt::AlignCenter);
}

void TestWindow::autoSizeLabels_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("parent");
    QTest::addColumn<QPoint>("topLeft");
    QTest::addColumn<QString>("caption"); // after start-up

    QTest::newRow("Caract_ch") << "Caract_ch"
                               << "TabSheet1" << QPoint(24, 8) << QString();
    QTest::newRow("Caract_pin") << "Caract_pin"
                                << "TabSheet1" << QPoint(32, 88) << QString();
    QTest::newRow("Caract_fr") << "Caract_fr"
                               << "TabSheet1" << QPoint(32, 136) << QString();
    QTest::newRow("Label1") << "Label1"
                            << "Panel1" << QPoint(24, 18) << QStringLiteral("vitesse chinois :");
    QTest::newRow("Label2") << "Label2"
                            << "Panel1" << QPoint(24, 42) << QStringLiteral("vitesse pinyin :");
    QTest::newRow("Label3") << "Label3"
                            << "Panel1" << QPoint(24, 66) << QStringLiteral("vitesse français :");
    QTest::newRow("question") << "question"
                              << "TabSheet2" << QPoint(120, 6) << QString();
    // Hidden by start-up, its design caption waits for the first question.
    QTest::newRow("Solution") << "Solution"
                              << "TabSheet2" << QPoint(128, 230) << QStringLiteral("老 Solution");
}

void TestWindow::autoSizeLabels()
{
    QFETCH(QString, name);
    QFETCH(QString, parent);
    QFETCH(QPoint, topLeft);
    QFETCH(QString, caption);

    WindowFixture fixture;
    TForm1 &form = fixture.start();
    auto *label = qobject_cast<toolkit::TLabel *>(component(form, name));
    QVERIFY(label);
    // A page's labels are laid out when the learner first opens it.
    if (parent == QStringLiteral("TabSheet2")) {
        QTabBar *tabs = form.PageControl1->tabBar();
        QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(1).center());
        QCOMPARE(form.PageControl1->currentIndex(), 1);
    }

    QCOMPARE(label->parentWidget(), component(form, parent));
    QCOMPARE(label->pos(), topLeft);
    QCOMPARE(label->caption(), caption);
    QCOMPARE(label->textFormat(), Qt::PlainText);
    // An empty field takes no width, and is measured once it has a text.
    if (caption.isEmpty())
        QCOMPARE(label->width(), 0);
    else
        QCOMPARE(label->size(), label->sizeHint());

    // The label follows its text and its font, from the same top-left corner.
    label->setCaption(QStringLiteral("老 <b>"));
    QCOMPARE(label->size(), label->sizeHint());
    const int width = label->width();
    label->setFontSize(label->fontSize() * 2);
    QCOMPARE(label->size(), label->sizeHint());
    QVERIFY(label->width() > width);
    QCOMPARE(label->pos(), topLeft);
}

void TestWindow::fontsAndColours_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("family");
    QTest::addColumn<int>("points");
    QTest::addColumn<int>("pixels"); // character height at 96 dpi
    QTest::addColumn<bool>("bold");
    QTest::addColumn<QColor>("colour"); // invalid: the window text colour

    const QColor windowText;
    const QColor maroon(128, 0, 0);
    const QColor green(0, 128, 0);
    const QColor red(224, 31, 31);
    QTest::newRow("window font") << "Form1"
                                 << "Tahoma" << 8 << 11 << false << windowText;
    for (const char *name : {"Button2", "GroupBox1", "Button1", "Button3", "ListView1",
                             "PageControl1", "Label1", "Label2", "Label3", "Alea", "Selectionner",
                             "precedent", "Button4", "Reinitialiser", "RadioGroup1"})
        QTest::newRow(name) << name << "Tahoma" << 8 << 11 << false << windowText;
    QTest::newRow("Caract_ch") << "Caract_ch"
                               << "SimSun" << 50 << 67 << false << windowText;
    // Pinyin in the face that has every pinyin letter, with Arial's metrics.
    QTest::newRow("Caract_pin") << "Caract_pin"
                                << "Arimo" << 22 << 29 << false << maroon;
    QTest::newRow("Caract_fr") << "Caract_fr"
                               << "Arial" << 20 << 27 << false << QColor(0, 83, 0);
    QTest::newRow("compteur") << "compteur"
                              << "MS Sans Serif" << 8 << 11 << true << windowText;
    QTest::newRow("question") << "question"
                              << "SimSun" << 40 << 53 << false << maroon;
    QTest::newRow("bonne_rep1") << "bonne_rep1"
                                << "MS Sans Serif" << 12 << 16 << true << green;
    QTest::newRow("bonne_rep2") << "bonne_rep2"
                                << "MS Sans Serif" << 12 << 16 << true << green;
    QTest::newRow("mauvaise_rep1") << "mauvaise_rep1"
                                   << "MS Sans Serif" << 12 << 16 << true << red;
    QTest::newRow("mauvaise_rep2") << "mauvaise_rep2"
                                   << "MS Sans Serif" << 12 << 16 << true << red;
    // At start-up it shows the pinyin (Chinese asked, French answered).
    QTest::newRow("Solution") << "Solution"
                              << "Arimo" << 13 << 17 << true << windowText;
    for (const char *name : {"GroupBox2", "GroupBox3", "Group_note"})
        QTest::newRow(name) << name << "MS Sans Serif" << 8 << 11 << true << windowText;
    for (const char *name : {"LQ1", "LQ2", "LQ3", "LR1", "LR2", "LR3"})
        QTest::newRow(name) << name << "MS Sans Serif" << 8 << 11 << false << windowText;
    QTest::newRow("note") << "note"
                          << "Arial" << 16 << 21 << false << windowText;
}

void TestWindow::fontsAndColours()
{
    QFETCH(QString, name);
    QFETCH(QString, family);
    QFETCH(int, points);
    QFETCH(int, pixels);
    QFETCH(bool, bold);
    QFETCH(QColor, colour);

    WindowFixture fixture;
    TForm1 &form = fixture.start();
    const QWidget *widget = component(form, name);

    QCOMPARE(widget->font().family(), family);
    QCOMPARE(widget->font().pointSize(), points);
    QCOMPARE(QFontInfo(widget->font()).pixelSize(), pixels);
    QCOMPARE(widget->font().bold(), bold);
    QCOMPARE(widget->font().italic(), false);
    const QColor expected
        = colour.isValid() ? colour : form.palette().color(QPalette::Active, QPalette::WindowText);
    // The colour of the role the widget really draws its text with.
    QCOMPARE(widget->palette().color(QPalette::Active, widget->foregroundRole()), expected);
}

void TestWindow::menuTree()
{
    WindowFixture fixture;
    TForm1 &form = fixture.start();

    QStringList lines;
    describeMenu(form.menuBar()->actions(), 0, lines);
    const QStringList expected {
        "N1 &Fichier",
        "  outslectionner1 Tout &sélectionner",
        "  outdslectionner1 Tout &désélectionner",
        "  N3 -",
        "  Excuter1 &Apprentissage",
        "  Test1 &Test",
        "  N4 -",
        "  Quitter1 &Quitter",
        "Affichage1 &Affichage",
        "  Champschinois1 Champs &chinois",
        "    N201 22",
        "    N251 25",
        "    N301 30",
        "    N401 40",
        "    N671 50",
        "    N601 60",
        "  Champschinois2 Champs &pinyin",
        "    N162 16",
        "    N181 18",
        "    N203 20",
        "    N221 22",
        "    N302 26",
        "    N321 32",
        "  Champschinois3 Champs &français",
        "    N163 16",
        "    N182 18",
        "    N202 20",
        "    N223 22",
        "    N261 26",
        "    N303 32",
        "N2 &?",
        "  Aproposde1 A &propos de...",
    };
    QCOMPARE(lines, expected);
    QCOMPARE(form.MainMenu1, form.menuBar());

    const QList<QAction *> sizeItems = allActions(form.Affichage1->actions());
    QStringList checkable;
    for (const QAction *action : allActions(form.menuBar()->actions())) {
        QVERIFY2(action->shortcuts().isEmpty(), qPrintable(action->objectName()));
        QVERIFY(!action->actionGroup());
        if (action->isCheckable())
            checkable.append(action->objectName());
    }
    QCOMPARE(
        checkable,
        (QStringList {"N201", "N251", "N301", "N401", "N671", "N601", "N162", "N181", "N203",
                      "N221", "N302", "N321", "N163", "N182", "N202", "N223", "N261", "N303"}));
    // Start-up ticks the designed sizes, one per submenu, and nothing else.
    QStringList ticked;
    for (const QAction *action : sizeItems)
        if (action->isChecked())
            ticked.append(action->objectName());
    QCOMPARE(ticked, (QStringList {"N671", "N221", "N202"}));
}

void TestWindow::tabOrder()
{
    WindowFixture fixture;
    TForm1 &form = fixture.start();
    QVERIFY(QTest::qWaitForWindowActive(&form));

    // Depth first: the page control comes between the lesson list and the controls of its pages.
    QList<QWidget *> designed {
        form.Button2,    form.Button1,    form.Button3,      form.ListView1,    form.PageControl1,
        form.ScrollBar1, form.ScrollBar2, form.Selectionner, form.precedent,    form.Alea,
        form.ScrollBar0, form.LQ1,        form.LQ2,          form.LQ3,          form.LR1,
        form.LR2,        form.LR3,        form.Button4,      form.Reinitialiser};
    for (int k = 0; k < toolkit::TRadioGroup::choiceCount; ++k)
        designed.append(form.RadioGroup1->choice(k));

    QList<QWidget *> walked;
    QWidget *widget = form.Button2;
    do {
        if (designed.contains(widget))
            walked.append(widget);
        widget = widget->nextInFocusChain();
    } while (widget != form.Button2);
    QCOMPARE(walked, designed);

    // The learner's Tab walks the same way, over every control the first page shows, and round.
    QList<QWidget *> shown;
    for (QWidget *each : designed) {
        if (each->isVisible())
            shown.append(each);
    }
    QVERIFY(shown.size() > 8);
    QCOMPARE(QApplication::focusWidget(), form.Button2);
    for (QWidget *expected : shown.mid(1) + QList<QWidget *> {form.Button2}) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QWidget *focused = QApplication::focusWidget();
        QVERIFY2(focused == expected || focused == expected->focusProxy()
                     || expected->isAncestorOf(focused),
                 qPrintable(expected->objectName()));
    }
}

void TestWindow::escapeCloses_data()
{
    QTest::addColumn<QString>("focus");
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
    QTest::addColumn<bool>("closes");

    QTest::newRow("focus on Quitter") << "Button2" << Qt::KeyboardModifiers() << true;
    QTest::newRow("focus on the lesson list") << "ListView1" << Qt::KeyboardModifiers() << true;
    QTest::newRow("focus on a scroll bar") << "ScrollBar1" << Qt::KeyboardModifiers() << true;
    QTest::newRow("focus on Aléatoire") << "Alea" << Qt::KeyboardModifiers() << true;
    QTest::newRow("with Shift") << "Button2" << Qt::KeyboardModifiers(Qt::ShiftModifier) << false;
    QTest::newRow("with Ctrl") << "Button2" << Qt::KeyboardModifiers(Qt::ControlModifier) << false;
}

void TestWindow::escapeCloses()
{
    QFETCH(QString, focus);
    QFETCH(Qt::KeyboardModifiers, modifiers);
    QFETCH(bool, closes);

    WindowFixture fixture;
    fixture.addLesson(QStringLiteral("a.txt"), numberedLines(2));
    TForm1 &form = fixture.start();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    QWidget *target = component(form, focus);
    target->setFocus();
    QCOMPARE(QApplication::focusWidget(), target);

    QTest::keyClick(target, Qt::Key_Escape, modifiers);

    QCOMPARE(form.isVisible(), !closes);
    QCOMPARE(fixture.errors, QStringList());
}

void TestWindow::keysOnTheFocusedQuitButton_data()
{
    QTest::addColumn<Qt::Key>("key");
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
    QTest::addColumn<bool>("closes");
    const Qt::KeyboardModifiers none;
    QTest::newRow("Return") << Qt::Key_Return << none << true;
    QTest::newRow("Enter") << Qt::Key_Enter << none << true;
    QTest::newRow("Enter of the keypad")
        << Qt::Key_Enter << Qt::KeyboardModifiers(Qt::KeypadModifier) << true;
    QTest::newRow("Space") << Qt::Key_Space << none << true;
    QTest::newRow("Shift+Return") << Qt::Key_Return << Qt::KeyboardModifiers(Qt::ShiftModifier)
                                  << false;
    QTest::newRow("Ctrl+Enter") << Qt::Key_Enter << Qt::KeyboardModifiers(Qt::ControlModifier)
                                << false;
    QTest::newRow("Alt+Return") << Qt::Key_Return << Qt::KeyboardModifiers(Qt::AltModifier)
                                << false;
}

void TestWindow::keysOnTheFocusedQuitButton()
{
    QFETCH(Qt::Key, key);
    QFETCH(Qt::KeyboardModifiers, modifiers);
    QFETCH(bool, closes);

    WindowFixture fixture;
    TForm1 &form = fixture.start();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    QCOMPARE(QApplication::focusWidget(), form.Button2);

    QTest::keyClick(QApplication::focusWidget(), key, modifiers);

    QCOMPARE(form.isVisible(), !closes);
}

void TestWindow::tabEntersAGroupAtItsTickedButton()
{
    WindowFixture fixture;
    fixture.addLesson(QStringLiteral("a.txt"), numberedLines(8));
    TForm1 &form = fixture.start();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    form.PageControl1->setCurrentIndex(1);
    form.LQ2->click();
    QVERIFY(form.LR3->isChecked());

    // From the page's tab, one Tab enters "Question" at "pinyin", the next "Réponse" at
    // "français", the next reaches "Lancer le test".
    form.PageControl1->setFocus();
    QTest::keyClick(form.PageControl1, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), form.LQ2);
    QTest::keyClick(form.LQ2, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), form.LR3);
    QTest::keyClick(form.LR3, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), form.Button4);
    QTest::keyClick(form.Button4, Qt::Key_Tab, Qt::ShiftModifier);
    QCOMPARE(QApplication::focusWidget(), form.LR3);

    // The arrow keys still move the tick within the group; Tab then enters at the new one.
    QTest::keyClick(form.LR3, Qt::Key_Up);
    QVERIFY(form.LR1->isChecked());
    QCOMPARE(QApplication::focusWidget(), form.LR1);
    form.PageControl1->setFocus();
    QTest::keyClick(form.PageControl1, Qt::Key_Tab);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), form.LR1);
}

void TestWindow::quitCommandsClose_data()
{
    QTest::addColumn<QString>("command");
    QTest::newRow("Quitter button") << "button";
    QTest::newRow("&Quitter menu item") << "menu";
    QTest::newRow("title-bar Close") << "close";
}

void TestWindow::quitCommandsClose()
{
    QFETCH(QString, command);

    WindowFixture fixture;
    TForm1 &form = fixture.start();

    QVERIFY(actionEndsTheEventLoop([&] {
        if (command == QLatin1String("button"))
            QTest::mouseClick(form.Button2, Qt::LeftButton);
        else if (command == QLatin1String("menu"))
            form.Quitter1->trigger();
        else
            form.close();
    }));
    QVERIFY(!form.isVisible());
}

void TestWindow::closingHidesTheAboutBox()
{
    WindowFixture fixture;
    TForm1 &form = fixture.start();
    form.Aproposde1->trigger();
    QVERIFY(fixture.about().isVisible());
    QVERIFY(!fixture.about().isModal());

    // The open about box does not keep the program running.
    QVERIFY(actionEndsTheEventLoop([&] { form.Quitter1->trigger(); }));
    QVERIFY(!form.isVisible());
    QVERIFY(!fixture.about().isVisible());
}

void TestWindow::errorReportText_data()
{
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("shown");

    QTest::newRow("letter") << "abc"
                            << "abc.";
    QTest::newRow("full stop") << "abc."
                               << "abc.";
    QTest::newRow("exclamation mark sorts below") << "abc!"
                                                  << "abc!";
    QTest::newRow("hyphen sorts below") << "abc-"
                                        << "abc-";
    QTest::newRow("space sorts below") << "abc "
                                       << "abc ";
    QTest::newRow("slash sorts above") << "abc/"
                                       << "abc/.";
    QTest::newRow("digit") << "Erreur E/S 5"
                           << "Erreur E/S 5.";
    QTest::newRow("beyond ASCII") << QStringLiteral("老") << QStringLiteral("老.");
    QTest::newRow("empty") << ""
                           << "";
}

void TestWindow::errorReportText()
{
    QFETCH(QString, message);
    QFETCH(QString, shown);
    QCOMPARE(toolkit::errorReportText(message), shown);

    QStringList reported;
    toolkit::setErrorSink([&reported](const QString &text) { reported.append(text); });
    toolkit::reportError(message);
    toolkit::setErrorSink({});
    QCOMPARE(reported, QStringList {shown});
}

void TestWindow::designFacesRenderWithDebianFonts_data()
{
    QTest::addColumn<QString>("design");
    QTest::addColumn<QString>("rendered");
    QTest::newRow("SimSun") << "SimSun"
                            << "Noto Serif CJK SC";
    QTest::newRow("Tahoma") << "Tahoma"
                            << "Liberation Sans";
    QTest::newRow("MS Sans Serif") << "MS Sans Serif"
                                   << "Liberation Sans";
    QTest::newRow("Arial") << "Arial"
                           << "Liberation Sans";
}

void TestWindow::designFacesRenderWithDebianFonts()
{
    QFETCH(QString, design);
    QFETCH(QString, rendered);
    if (!QFontDatabase::families().contains(rendered))
        SKIP_OR_FAIL_IN_CI("the Debian font is not installed here");
    toolkit::installFontSubstitutions();
    QCOMPARE(QFontInfo(toolkit::designFont(design, 12)).family(), rendered);
    QCOMPARE(QFontInfo(toolkit::designFont(design, 12, true)).bold(), true);
}

void TestWindow::messageBoxes()
{
    struct Seen
    {
        QString title;
        QString text;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        QMessageBox::StandardButtons buttons;
    };
    // Reads the box that is open, then presses its OK.
    auto readAndClose = [](Seen &seen) {
        QTimer::singleShot(0, qApp, [&seen] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            if (!box)
                return;
            seen = {box->windowTitle(), box->text(), box->icon(), box->standardButtons()};
            box->button(QMessageBox::Ok)->click();
        });
    };

    Seen error;
    readAndClose(error);
    toolkit::reportError(QStringLiteral("Fichier introuvable"));
    QCOMPARE(error.title, QStringLiteral("Hanlexo - vocab"));
    QCOMPARE(error.text, QStringLiteral("Fichier introuvable."));
    QCOMPARE(error.icon, QMessageBox::Critical);
    QCOMPARE(error.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));

    Seen plain;
    readAndClose(plain);
    toolkit::showPlainMessage(QStringLiteral("Vous devez sélectionner au moins un cours"));
    QCOMPARE(plain.title, QStringLiteral("Erreur"));
    QCOMPARE(plain.text, QStringLiteral("Vous devez sélectionner au moins un cours"));
    QCOMPARE(plain.icon, QMessageBox::NoIcon);
    QCOMPARE(plain.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
}

void TestWindow::errorInAHandlerIsReportedAndTheLoopGoesOn()
{
    QStringList reported;
    toolkit::setErrorSink([&reported](const QString &text) { reported.append(text); });
    bool stopped = true;
    bool laterEventRan = false;
    QTimer::singleShot(0, qApp, [&] {
        toolkit::guarded([&] {
            throw platform::AppError(QStringLiteral("Accès au fichier refusé"));
            stopped = false; // never reached: the handler stops at the error
        });
    });
    QTimer::singleShot(0, qApp, [&] { laterEventRan = true; });
    QTRY_VERIFY(laterEventRan);
    toolkit::setErrorSink({});

    QCOMPARE(reported, QStringList {QStringLiteral("Accès au fichier refusé.")});
    QVERIFY(stopped);
}

void TestWindow::refusedSettingsWriteIsReportedOncePerWrite()
{
    WindowFixture fixture;
    fixture.addLesson(QStringLiteral("a.txt"), numberedLines(2));
    // A directory where the settings file should be: reads find nothing, writes are refused.
    QVERIFY(QDir(fixture.exeDir.path()).mkdir(QStringLiteral("dadorir_iruze.ini")));
    TForm1 &form = fixture.start();
    QCOMPARE(fixture.errors, QStringList());
    const QString refused
        = QStringLiteral("Impossible d'écrire dans ") + fixture.settingsPath() + u'.';

    QTest::keyClick(form.ScrollBar1, Qt::Key_Right);
    QCOMPARE(fixture.errors, QStringList {refused});
    // The change took effect for the run.
    QCOMPARE(form.ScrollBar1->value(), 6);
    QCOMPARE(form.Timer1->interval(), 3000);

    form.N203->trigger();
    QCOMPARE(fixture.errors, QStringList(2, refused));
    QCOMPARE(form.Caract_pin->fontSize(), 20);
    QVERIFY(form.N203->isChecked());

    // The window goes on serving the learner.
    QTest::mouseClick(form.Button3, Qt::LeftButton);
    QCOMPARE(form.Liste_ch.count(), 0);
    QCOMPARE(fixture.errors.size(), 2);
}

QTEST_MAIN(TestWindow)
#include "tst_window.moc"
