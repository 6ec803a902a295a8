#include "app/tform1.h"

#include "core/random.h"
#include "toolkit/classic_timer.h"
#include "toolkit/keyboard.h"
#include "toolkit/label.h"

#include <QCheckBox>
#include <QPushButton>

void TForm1::SelectionnerClick(QObject * /*Sender*/)
{
    const qsizetype count = Liste_ch.count();
    if (count == 0)
        return;
    stopReveal();
    qsizetype i = 0;
    if (Alea->isChecked()) {
        i = qsizetype(programRandom().draw(quint32(count)));
        Liste_ch.tag = -1;
        compteur->setCaption(QString());
    } else {
        i = Liste_ch.tag + 1;
        if (i >= count)
            i = 0;
        Liste_ch.tag = int(i);
        compteur->setCaption(counterText(i));
    }
    showEntry(i);
}

void TForm1::precedentClick(QObject * /*Sender*/)
{
    const qsizetype count = Liste_ch.count();
    if (count == 0)
        return;
    stopReveal();
    qsizetype i = Liste_ch.tag - 1;
    if (i < 0)
        i = count - 1;
    Liste_ch.tag = int(i);
    compteur->setCaption(counterText(i));
    showEntry(i);
}

void TForm1::AleaClick(QObject * /*Sender*/)
{
    Liste_ch.tag = -1;
    compteur->setCaption(QString());
    const bool random = Alea->isChecked();
    if (random) {
        const platform::FocusHandover handover({precedent});
        precedent->hide();
        compteur->hide();
        handover.giveTo(Selectionner);
    } else {
        precedent->show();
        compteur->show();
    }
    const int left = random ? precedent->x() : precedent->x() + 70;
    const int width = random ? 140 : 70;
    Selectionner->setGeometry(left, Selectionner->y(), width, Selectionner->height());
}

void TForm1::stopReveal()
{
    Timer0->setEnabled(false);
    Timer1->setEnabled(false);
    Timer2->setEnabled(false);
}

void TForm1::showEntry(qsizetype i)
{
    // Hidden before the texts change, so no field shows before its delay.
    Caract_ch->hide();
    Caract_pin->hide();
    Caract_fr->hide();
    Caract_ch->setCaption(Liste_ch.view(i));
    Caract_pin->setCaption(Liste_pin.view(i));
    Caract_fr->setCaption(Liste_fr.view(i));
    Timer0->setEnabled(true);
    Timer1->setEnabled(true);
    Timer2->setEnabled(true);
}

QString TForm1::counterText(qsizetype i) const
{
    return QStringLiteral("%1/ %2").arg(i + 1).arg(Liste_ch.count());
}
