#include "app/tform1.h"

#include "app/title.h"
#include "core/lesson_read_ahead.h"
#include "display/about_box.h"
#include "display/icons.h"
#include "settings/settings.h"
#include "toolkit/classic_timer.h"
#include "toolkit/fonts.h"
#include "toolkit/keyboard.h"
#include "toolkit/radio_group.h"
#include "toolkit/scroll_bar.h"
#include "toolkit/window_placement.h"
#include "version.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QGroupBox>
#include <QLayout>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>
#include <QTabWidget>

namespace {

/// Names for screen readers where Qt finds no caption of the widget's own.
void nameUncaptionedWidgets(TForm1 &form)
{
    for (int page = 0; page < form.PageControl1->count(); ++page)
        form.PageControl1->widget(page)->setAccessibleName(form.PageControl1->tabText(page));
    form.ListView1->setAccessibleName(form.GroupBox1->title());
    for (QMenu *menu : form.MainMenu1->findChildren<QMenu *>())
        menu->setAccessibleName(toolkit::withoutAccessKeys(menu->title()));
}

} // namespace

TForm1::TForm1(QWidget *parent) : TForm1(std::unique_ptr<LessonReadAhead>(), parent) { }

TForm1::TForm1(std::unique_ptr<LessonReadAhead> lessonsReadAhead, QWidget *parent)
    : QMainWindow(parent), readAhead(std::move(lessonsReadAhead))
{
    createShell();
    createLessonArea();
    createLearningPage();
    createTestPage();
    createMenus();
    createSizeMenus();
    nameUncaptionedWidgets(*this);
    setTabOrders();
    toolkit::pressButtonsOnPlainEnterOnly(this);
    toolkit::tabEntersAtTickedButton({LQ1, LQ2, LQ3});
    toolkit::tabEntersAtTickedButton({LR1, LR2, LR3});
    bindEvents();
    FormCreate();
}

TForm1::~TForm1() = default;

void TForm1::createShell()
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(applicationTitle() + QStringLiteral(" " HANLEXO_VERSION));
    // Single fixed border: Close and Minimize, no Maximize.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                   | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint
                   | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setFont(toolkit::designFont(QStringLiteral("Tahoma"), 8));
    setWindowIcon(programIcon());

    // The client area below the menu bar is the designed 743 x 318; the window adopts it.
    m_client = new QWidget(this);
    m_client->setObjectName(QStringLiteral("client"));
    m_client->setFixedSize(743, 318);
    m_client->setBackgroundRole(QPalette::Button);
    m_client->setAutoFillBackground(true);
    setCentralWidget(m_client);
    layout()->setSizeConstraint(QLayout::SetFixedSize);

    Button2 = new QPushButton(QStringLiteral("Quitter"), m_client);
    Button2->setObjectName(QStringLiteral("Button2"));
    Button2->setGeometry(8, 272, 137, 41);
    Button2->setAutoDefault(true);

    GroupBox1 = new QGroupBox(QStringLiteral("Sélection des cours"), m_client);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    GroupBox1->setGeometry(8, 8, 137, 257);

    PageControl1 = new QTabWidget(m_client);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    PageControl1->setGeometry(152, 8, 585, 305);
    TabSheet1 = new QWidget;
    TabSheet1->setObjectName(QStringLiteral("TabSheet1"));
    TabSheet2 = new QWidget;
    TabSheet2->setObjectName(QStringLiteral("TabSheet2"));
    for (QWidget *page : {TabSheet1, TabSheet2}) {
        page->setBackgroundRole(QPalette::Button);
        page->setAutoFillBackground(true);
    }
    PageControl1->addTab(TabSheet1, QStringLiteral("Apprentissage"));
    PageControl1->addTab(TabSheet2, QStringLiteral("Test"));
    PageControl1->setCurrentIndex(0);
}

void TForm1::createMenus()
{
    MainMenu1 = menuBar();
    MainMenu1->setObjectName(QStringLiteral("MainMenu1"));
    auto action = [this](QMenu *menu, const char *name, const QString &caption) {
        QAction *created = menu->addAction(caption);
        created->setObjectName(QString::fromLatin1(name));
        return created;
    };
    auto separator = [](QMenu *menu, const char *name) {
        QAction *created = menu->addSeparator();
        created->setObjectName(QString::fromLatin1(name));
        return created;
    };

    N1 = MainMenu1->addMenu(QStringLiteral("&Fichier"));
    N1->setObjectName(QStringLiteral("N1"));
    outslectionner1 = action(N1, "outslectionner1", QStringLiteral("Tout &sélectionner"));
    outdslectionner1 = action(N1, "outdslectionner1", QStringLiteral("Tout &désélectionner"));
    N3 = separator(N1, "N3");
    Excuter1 = action(N1, "Excuter1", QStringLiteral("&Apprentissage"));
    Test1 = action(N1, "Test1", QStringLiteral("&Test"));
    N4 = separator(N1, "N4");
    Quitter1 = action(N1, "Quitter1", QStringLiteral("&Quitter"));

    Affichage1 = MainMenu1->addMenu(QStringLiteral("&Affichage"));
    Affichage1->setObjectName(QStringLiteral("Affichage1"));

    N2 = new QMenu(QStringLiteral("&?"), MainMenu1);
    N2->setObjectName(QStringLiteral("N2"));
    Aproposde1 = action(N2, "Aproposde1", QStringLiteral("A &propos de..."));
    // The size submenus are filled into Affichage1 by createSizeMenus; "&?" comes after it.
    MainMenu1->addMenu(N2);
}

void TForm1::setTabOrders()
{
    // Depth first, each parent's controls in their designed order.
    const QList<QWidget *> chain = {
        Button2,
        Button1,
        Button3,
        ListView1,
        PageControl1,
        ScrollBar1,
        ScrollBar2,
        Selectionner,
        precedent,
        Alea,
        ScrollBar0,
        LQ1,
        LQ2,
        LQ3,
        LR1,
        LR2,
        LR3,
        Button4,
        Reinitialiser,
        RadioGroup1->choice(0),
        RadioGroup1->choice(1),
        RadioGroup1->choice(2),
        RadioGroup1->choice(3),
        RadioGroup1->choice(4),
        RadioGroup1->choice(5),
    };
    for (qsizetype i = 1; i < chain.size(); ++i)
        setTabOrder(chain.at(i - 1), chain.at(i));
}

void TForm1::bindEvents()
{
    bind(Button2, &QPushButton::clicked, &TForm1::Button2Click);
    bind(Quitter1, &QAction::triggered, &TForm1::Quitter1Click);
    bind(Excuter1, &QAction::triggered, &TForm1::Excuter1Click);
    bind(Test1, &QAction::triggered, &TForm1::Test1Click);
    bind(Aproposde1, &QAction::triggered, &TForm1::Aproposde1Click);
    bind(Button1, &QPushButton::clicked, &TForm1::Button1Click);
    bind(outslectionner1, &QAction::triggered, &TForm1::Button1Click);
    bind(Button3, &QPushButton::clicked, &TForm1::Button3Click);
    bind(outdslectionner1, &QAction::triggered, &TForm1::Button3Click);
    // A tick, an untick, or a change of the selected lesson all rebuild the word lists.
    bind(ListView1, &QListWidget::itemChanged, &TForm1::ListView1Change);
    bind(ListView1, &QListWidget::itemSelectionChanged, &TForm1::ListView1Change);

    // Esc presses the cancel button wherever the focus is, unless a menu has it.
    auto *escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    escape->setObjectName(QStringLiteral("cancelShortcut"));
    connect(escape, &QShortcut::activated, Button2, &QPushButton::click);

    bindLearningEvents();
    bindTestEvents();
    bindSizeMenus();
}

void TForm1::showCentred()
{
    // The first control in tab order that can take the focus gets it.
    Button2->setFocus();
    toolkit::createSendingIconOnce(this);
    show();
    toolkit::centreFramedWindow(this);
    activateWindow();
}

void TForm1::closeEvent(QCloseEvent *event)
{
    // The about box must not keep the program alive once the main window is closed.
    if (Form2)
        Form2->hide();
    event->accept();
}
