#include "display/about_box.h"

#include "app/title.h"
#include "display/icons.h"
#include "toolkit/fonts.h"
#include "toolkit/guard.h"
#include "toolkit/keyboard.h"
#include "toolkit/label.h"
#include "toolkit/window_placement.h"
#include "version.h"

#include <QGroupBox>
#include <QHideEvent>
#include <QLabel>
#include <QPushButton>

namespace {

toolkit::TLabel *label(QWidget *parent, const char *name, const QString &caption, int left, int top,
                       const QFont &font)
{
    auto *created = new toolkit::TLabel(caption, parent, true);
    created->setObjectName(QString::fromLatin1(name));
    created->setFont(font);
    created->move(left, top);
    return created;
}

QGroupBox *groupBox(QWidget *parent, const char *name, const QString &caption, const QRect &place)
{
    auto *created = new QGroupBox(caption, parent);
    created->setObjectName(QString::fromLatin1(name));
    created->setGeometry(place);
    return created;
}

} // namespace

TForm2::TForm2(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral("A propos de Hanlexo - vocab"));
    // A caption bar with the title only: no system menu, no close, minimise or maximise button.
    // A window of its own, not a dialog of the main window: a manager that iconifies a dialog
    // iconifies the window it belongs to with it, and with no task bar the learner could get
    // neither back.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setWindowIcon(programIcon());
    setFont(toolkit::designFont(QStringLiteral("Tahoma"), 8));
    setBackgroundRole(QPalette::Button);
    setAutoFillBackground(true);
    setFixedSize(244, 279);

    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(18, 6, 71, 71);
    Image1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Image1->setPixmap(aboutPicture());
    Image1->setAccessibleName(applicationTitle());

    const QFont windowFont = font();
    const QFont bold = toolkit::designFont(QStringLiteral("Tahoma"), 8, true);
    Label1 = label(this, "Label1", QStringLiteral("Hanlexo"), 112, 16,
                   toolkit::designFont(QStringLiteral("Tahoma"), 12, true));
    Label5 = label(this, "Label5", QStringLiteral("Vocab version " HANLEXO_VERSION), 104, 48,
                   toolkit::designFont(QStringLiteral("Tahoma"), 12));
    Label7 = label(this, "Label7", QStringLiteral("www.hanlexo.example.org"), 24, 80, bold);

    GroupBox1 = groupBox(this, "GroupBox1", QStringLiteral("Licence"), QRect(8, 98, 225, 73));
    Label2 = label(GroupBox1, "Label2", QString(), 16, 24, bold);
    Label3 = label(GroupBox1, "Label3", QString(), 16, 44, windowFont);

    GroupBox2
        = groupBox(this, "GroupBox2", QStringLiteral("Mot de l'auteur"), QRect(8, 176, 129, 97));
    Label4 = label(GroupBox2, "Label4", QStringLiteral("Un mot chaque jour,"), 14, 24, windowFont);
    Label8
        = label(GroupBox2, "Label8", QStringLiteral("un caractère de plus :"), 14, 40, windowFont);
    Label6 = label(GroupBox2, "Label6", QStringLiteral("la route est longue,"), 14, 56, windowFont);
    Label9 = label(GroupBox2, "Label9", QStringLiteral("bon courage !"), 14, 72, windowFont);

    Button1 = new QPushButton(QStringLiteral("OK"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setGeometry(152, 184, 81, 89);
    // The only control that takes the focus, so Enter and Space press it as well.
    Button1->setFocus();
    toolkit::connectGuarded(Button1, &QPushButton::clicked, this,
                            [this] { Button1Click(Button1); });
    toolkit::pressButtonsOnPlainEnterOnly(this);
}

void TForm2::showAbout()
{
    // When already shown it stays where the learner has put it and only comes to the front.
    if (!isVisible()) {
        toolkit::createSendingIconOnce(this);
        // A manager reads the hints each time the box maps again.
        toolkit::offerNoCaptionButtons(this);
        if (m_placed) {
            move(m_lastPosition);
            show();
        } else {
            // Placed before it maps, so the toolkit does not centre it over the main window
            // first; placed again once it is shown, and once the frame is known.
            toolkit::centreOnScreen(this);
            show();
            toolkit::centreFramedWindow(this);
            m_placed = true;
        }
    }
    raise();
    activateWindow();
}

void TForm2::changeEvent(QEvent *event)
{
    QDialog::changeEvent(event);
    // A manager that still iconifies the box must not leave the learner without a way back: with
    // no task bar, an iconified box could not be shown again. It is closed as "OK" closes it, and
    // "A propos de..." brings it back.
    if (event->type() == QEvent::WindowStateChange && (windowState() & Qt::WindowMinimized)) {
        setWindowState(windowState() & ~Qt::WindowMinimized);
        Button1->click();
    }
}

void TForm2::Button1Click(QObject * /*Sender*/)
{
    hide();
}

void TForm2::reject()
{
    Button1->click();
}

void TForm2::hideEvent(QHideEvent *event)
{
    QDialog::hideEvent(event);
    if (m_placed)
        m_lastPosition = pos();
}
