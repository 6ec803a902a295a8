#include "app/tform1.h"

#include "toolkit/classic_timer.h"
#include "toolkit/keyboard.h"
#include "toolkit/label.h"
#include "toolkit/radio_group.h"

#include <QGroupBox>
#include <QPushButton>

void TForm1::RadioGroup1Click(QObject * /*Sender*/)
{
    // While the verdict shows, clicks move the tick but count for nothing.
    if (Timer3->enabled())
        return;
    reponse(RadioGroup1->itemIndex() == questionTag ? 1 : 0);
}

void TForm1::reponse(int juste)
{
    Timer3->setEnabled(true);
    ++groupNoteTag;
    Solution->show();
    if (juste == 1) {
        bonne_rep1->show();
        bonne_rep2->show();
        ++noteTag;
    } else {
        mauvaise_rep1->show();
        mauvaise_rep2->show();
        RadioGroup1->setChoiceHighlighted(questionTag, true);
    }
    note->setCaption(QStringLiteral("%1 / %2").arg(noteTag).arg(groupNoteTag));
}

void TForm1::Timer3Timer(QObject * /*Sender*/)
{
    endFeedback();
    // On the other page the button cannot take the focus; the next question comes all the same.
    if (Reinitialiser->isVisibleTo(this) && Reinitialiser->isEnabled()) {
        Reinitialiser->setFocus();
        if (!isActiveWindow())
            activateWindow();
    }
    askNextQuestion();
}

void TForm1::endFeedback()
{
    Timer3->setEnabled(false);
    hideFeedback();
    resetChoices();
}

void TForm1::askNextQuestion()
{
    if (!questionRefused()) {
        askQuestion();
        return;
    }
    // The answered question must not stay answerable: it would be scored a second time. The test
    // stops as if idle; the score stays until the next test goes on with it or a reset clears it.
    question->setCaption(QString());
    showIdleLayout();
}

void TForm1::ReinitialiserClick(QObject * /*Sender*/)
{
    Timer3->setEnabled(false);
    Caract_ch->setCaption(QString());
    Caract_pin->setCaption(QString());
    Caract_fr->setCaption(QString());
    question->setCaption(QString());
    note->setCaption(QStringLiteral("0 / 0"));
    noteTag = 0;
    groupNoteTag = 0;
    showIdleLayout();
    hideFeedback();
    resetChoices();
}

void TForm1::showIdleLayout()
{
    Button4->show();
    GroupBox2->show();
    GroupBox3->show();
    platform::hideLeavingNoFocus(Reinitialiser);
    platform::hideLeavingNoFocus(Group_note);
    platform::hideLeavingNoFocus(RadioGroup1);
}

void TForm1::hideFeedback()
{
    bonne_rep1->hide();
    bonne_rep2->hide();
    mauvaise_rep1->hide();
    mauvaise_rep2->hide();
    Solution->hide();
}

void TForm1::resetChoices()
{
    for (int k = 0; k < TRadioGroup::choiceCount; ++k)
        RadioGroup1->setChoiceHighlighted(k, false);
    RadioGroup1->uncheckAll();
}
