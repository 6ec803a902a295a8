#include "app/tform1.h"

#include "toolkit/classic_timer.h"
#include "toolkit/fonts.h"
#include "toolkit/label.h"
#include "toolkit/scroll_bar.h"

#include <QCheckBox>
#include <QFrame>
#include <QPushButton>

void TForm1::createLearningPage()
{
    auto label = [](const char *name, const QString &caption, QWidget *parent, int left, int top,
                    const QFont &font) {
        auto *created = new TLabel(caption, parent, true);
        created->setObjectName(QString::fromLatin1(name));
        created->setFont(font);
        created->move(left, top);
        return created;
    };
    Caract_ch = label("Caract_ch", QStringLiteral("老"), TabSheet1, 24, 8,
                      toolkit::designFont(QStringLiteral("SimSun"), 50));
    Caract_pin
        = label("Caract_pin", QStringLiteral("lǎo"), TabSheet1, 32, 88, toolkit::pinyinFont(22));
    Caract_pin->setFontColor(toolkit::colorFromBgr(0x000080));
    Caract_fr = label("Caract_fr", QStringLiteral("vieux"), TabSheet1, 32, 136,
                      toolkit::designFont(QStringLiteral("Arial"), 20));
    Caract_fr->setFontColor(toolkit::colorFromBgr(0x005300));

    Panel1 = new QFrame(TabSheet1);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setGeometry(13, 180, 551, 93);
    // Raised outer bevel, lowered inner one.
    Panel1->setFrameStyle(QFrame::Box | QFrame::Raised);

    const QFont windowFont = font();
    Label1 = label("Label1", QStringLiteral("vitesse chinois :"), Panel1, 24, 18, windowFont);
    Label2 = label("Label2", QStringLiteral("vitesse pinyin :"), Panel1, 24, 42, windowFont);
    Label3 = label("Label3", QStringLiteral("vitesse français :"), Panel1, 24, 66, windowFont);

    auto scrollBar = [this](const char *name, int top, int position) {
        auto *created = new TScrollBar(position, Panel1);
        created->setObjectName(QString::fromLatin1(name));
        created->setGeometry(120, top, 129, 17);
        return created;
    };
    ScrollBar0 = scrollBar("ScrollBar0", 16, 0);
    ScrollBar1 = scrollBar("ScrollBar1", 40, 5);
    ScrollBar2 = scrollBar("ScrollBar2", 64, 7);
    // A scroll bar has no caption of its own: screen readers announce the label beside it.
    ScrollBar0->setAccessibleName(Label1->caption());
    ScrollBar1->setAccessibleName(Label2->caption());
    ScrollBar2->setAccessibleName(Label3->caption());

    Alea = new QCheckBox(QStringLiteral("Aléatoire"), Panel1);
    Alea->setObjectName(QStringLiteral("Alea"));
    Alea->setGeometry(280, 32, 73, 17);
    Alea->setChecked(true);

    compteur = new TLabel(QStringLiteral("compteur"), Panel1, false);
    compteur->setObjectName(QStringLiteral("compteur"));
    compteur->setGeometry(280, 56, 65, 13);
    compteur->setAlignment(Qt::AlignCenter);
    compteur->setFont(toolkit::designFont(QStringLiteral("MS Sans Serif"), 8, true));

    Selectionner = new QPushButton(QStringLiteral("Suivant"), Panel1);
    Selectionner->setObjectName(QStringLiteral("Selectionner"));
    Selectionner->setGeometry(384, 23, 140, 50);
    Selectionner->setAutoDefault(true);

    precedent = new QPushButton(QStringLiteral("Précédent"), Panel1);
    precedent->setObjectName(QStringLiteral("precedent"));
    precedent->setGeometry(384, 23, 70, 50);
    precedent->setAutoDefault(true);
    precedent->hide();

    Timer0 = new ClassicTimer(1, this);
    Timer0->setObjectName(QStringLiteral("Timer0"));
    Timer1 = new ClassicTimer(2500, this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer2 = new ClassicTimer(3500, this);
    Timer2->setObjectName(QStringLiteral("Timer2"));
}

void TForm1::bindLearningEvents()
{
    bind(Selectionner, &QPushButton::clicked, &TForm1::SelectionnerClick);
    bind(precedent, &QPushButton::clicked, &TForm1::precedentClick);
    // Only the learner changes the tick (mouse, keyboard or a screen reader's toggle); the
    // handler runs after it has changed.
    bind(Alea, &QCheckBox::toggled, &TForm1::AleaClick);
    bind(Timer0, &ClassicTimer::timeout, &TForm1::Timer0Timer);
    bind(Timer1, &ClassicTimer::timeout, &TForm1::Timer1Timer);
    bind(Timer2, &ClassicTimer::timeout, &TForm1::Timer2Timer);
    bind(ScrollBar0, &QScrollBar::valueChanged, &TForm1::ScrollBar0Change);
    bind(ScrollBar1, &QScrollBar::valueChanged, &TForm1::ScrollBar1Change);
    bind(ScrollBar2, &QScrollBar::valueChanged, &TForm1::ScrollBar2Change);
}
