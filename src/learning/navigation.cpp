#include "app/tform1.h"

#include "core/learning_cursor.h"
#include "core/random.h"
#include "toolkit/classic_timer.h"
#include "toolkit/keyboard.h"
#include "toolkit/label.h"

#include <QCheckBox>
#include <QPushButton>

void TForm1::SelectionnerClick(QObject * /*Sender*/)
{
    showStep(LearningCursor(Liste_ch, programRandom()).next(Alea->isChecked()));
}

void TForm1::precedentClick(QObject * /*Sender*/)
{
    showStep(LearningCursor(Liste_ch, programRandom()).previous());
}

void TForm1::AleaClick(QObject * /*Sender*/)
{
    LearningCursor(Liste_ch, programRandom()).forget();
    compteur->setCaption(QString());
    const bool random = Alea->isChecked();
    if (random) {
        const toolkit::FocusHandover handover({precedent});
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

void TForm1::showStep(const std::optional<CardStep> &step)
{
    if (!step)
        return;
    stopReveal();
    compteur->setCaption(step->counter);
    const qsizetype i = step->entry;
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
