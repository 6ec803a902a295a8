#include "app/tform1.h"

#include "toolkit/classic_timer.h"
#include "toolkit/fonts.h"
#include "toolkit/label.h"
#include "toolkit/radio_group.h"

#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>

namespace {

/// A fixed label with centred text, hidden until a verdict shows it.
toolkit::TLabel *verdictLabel(const char *name, const QString &caption, QWidget *parent, int top,
                              quint32 colour)
{
    auto *created = new toolkit::TLabel(caption, parent, false);
    created->setObjectName(QString::fromLatin1(name));
    created->setGeometry(8, top, 89, 25);
    created->setAlignment(Qt::AlignCenter);
    created->setFont(toolkit::designFont(QStringLiteral("MS Sans Serif"), 12, true));
    created->setFontColor(toolkit::colorFromBgr(colour));
    created->hide();
    return created;
}

QGroupBox *fieldBox(const char *name, const QString &caption, QWidget *parent, int top)
{
    auto *created = new QGroupBox(caption, parent);
    created->setObjectName(QString::fromLatin1(name));
    created->setGeometry(8, top, 89, 89);
    created->setFont(toolkit::designFont(QStringLiteral("MS Sans Serif"), 8, true));
    return created;
}

QRadioButton *fieldButton(const char *name, const QString &caption, QGroupBox *parent, int top)
{
    auto *created = new QRadioButton(caption, parent);
    created->setObjectName(QString::fromLatin1(name));
    created->setGeometry(16, top, 65, 17);
    created->setFont(toolkit::designFont(QStringLiteral("MS Sans Serif"), 8));
    return created;
}

QPushButton *pageButton(const char *name, const QString &caption, QWidget *parent)
{
    auto *created = new QPushButton(caption, parent);
    created->setObjectName(QString::fromLatin1(name));
    created->setGeometry(8, 208, 89, 41);
    created->setAutoDefault(true);
    return created;
}

} // namespace

void TForm1::createTestPage()
{
    constexpr quint32 green = 0x008000;
    constexpr quint32 red = 0x1F1FE0;

    question = new TLabel(QStringLiteral("老"), TabSheet2, true);
    question->setObjectName(QStringLiteral("question"));
    question->setFont(toolkit::designFont(QStringLiteral("SimSun"), 40));
    question->setFontColor(toolkit::colorFromBgr(0x000080));
    // Opaque in the page's own button face.
    question->setBackgroundRole(QPalette::Button);
    question->setAutoFillBackground(true);
    question->move(120, 6);

    bonne_rep1 = verdictLabel("bonne_rep1", QStringLiteral("bonne"), TabSheet2, 80, green);
    bonne_rep1->setBackgroundRole(QPalette::Button);
    bonne_rep1->setAutoFillBackground(true);

    Solution = new TLabel(QStringLiteral("老 Solution"), TabSheet2, true);
    Solution->setObjectName(QStringLiteral("Solution"));
    Solution->setFont(toolkit::designFont(QStringLiteral("Arial"), 13, true));
    Solution->move(128, 226);

    mauvaise_rep2 = verdictLabel("mauvaise_rep2", QStringLiteral("réponse"), TabSheet2, 104, red);
    mauvaise_rep2->setBackgroundRole(QPalette::Button);
    mauvaise_rep2->setAutoFillBackground(true);
    mauvaise_rep1 = verdictLabel("mauvaise_rep1", QStringLiteral("mauvaise"), TabSheet2, 80, red);
    bonne_rep2 = verdictLabel("bonne_rep2", QStringLiteral("réponse"), TabSheet2, 104, green);

    GroupBox2 = fieldBox("GroupBox2", QStringLiteral("Question"), TabSheet2, 8);
    LQ1 = fieldButton("LQ1", QStringLiteral("chinois"), GroupBox2, 16);
    LQ2 = fieldButton("LQ2", QStringLiteral("pinyin"), GroupBox2, 40);
    LQ3 = fieldButton("LQ3", QStringLiteral("français"), GroupBox2, 64);
    LQ1->setChecked(true);

    GroupBox3 = fieldBox("GroupBox3", QStringLiteral("Réponse"), TabSheet2, 104);
    LR1 = fieldButton("LR1", QStringLiteral("chinois"), GroupBox3, 16);
    LR2 = fieldButton("LR2", QStringLiteral("pinyin"), GroupBox3, 40);
    LR3 = fieldButton("LR3", QStringLiteral("français"), GroupBox3, 64);
    LR1->setEnabled(false);
    LR3->setChecked(true);

    Button4 = pageButton("Button4", QStringLiteral("Lancer le test"), TabSheet2);

    Group_note = new QGroupBox(QStringLiteral("Résultat"), TabSheet2);
    Group_note->setObjectName(QStringLiteral("Group_note"));
    Group_note->setGeometry(8, 8, 89, 49);
    Group_note->setFont(toolkit::designFont(QStringLiteral("MS Sans Serif"), 8, true));
    Group_note->hide();
    note = new TLabel(QStringLiteral("12 / 20"), Group_note, false);
    note->setObjectName(QStringLiteral("note"));
    note->setGeometry(2, 20, 85, 24);
    note->setAlignment(Qt::AlignCenter);
    note->setFont(toolkit::designFont(QStringLiteral("Arial"), 16));

    Reinitialiser = pageButton("Reinitialiser", QStringLiteral("Reinitialiser"), TabSheet2);
    Reinitialiser->hide();

    RadioGroup1 = new TRadioGroup(TabSheet2);
    RadioGroup1->setObjectName(QStringLiteral("RadioGroup1"));
    RadioGroup1->setGeometry(112, 40, 457, 183);
    RadioGroup1->setBackgroundRole(QPalette::Button);
    RadioGroup1->setAutoFillBackground(true);

    Timer3 = new ClassicTimer(3000, this);
    Timer3->setObjectName(QStringLiteral("Timer3"));
}

void TForm1::bindTestEvents()
{
    // A radio button's click handler runs when it becomes ticked, by the learner or the program.
    auto onTicked = [this](QRadioButton *button, void (TForm1::*handler)(QObject *)) {
        toolkit::connectGuarded(button, &QRadioButton::toggled, this,
                                [this, button, handler](bool checked) {
                                    if (checked)
                                        (this->*handler)(button);
                                });
    };
    onTicked(LQ1, &TForm1::LQ1Click);
    onTicked(LQ2, &TForm1::LQ2Click);
    onTicked(LQ3, &TForm1::LQ3Click);
    onTicked(LR1, &TForm1::LR1Click);
    onTicked(LR2, &TForm1::LR2Click);
    onTicked(LR3, &TForm1::LR3Click);
    bind(Button4, &QPushButton::clicked, &TForm1::Button4Click);
    bind(RadioGroup1, &TRadioGroup::choiceClicked, &TForm1::RadioGroup1Click);
    bind(Reinitialiser, &QPushButton::clicked, &TForm1::ReinitialiserClick);
    bind(Timer3, &ClassicTimer::timeout, &TForm1::Timer3Timer);
}
