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
    reponse(quiz.isCorrect(RadioGroup1->itemIndex()) ? 1 : 0);
}

void TForm1::reponse(int juste)
{
    Timer3->setEnabled(true);
    quiz.record(juste == 1);
    Solution->show();
    if (juste == 1) {
        bonne_rep1->show();
        bonne_rep2->show();
    } else {
        mauvaise_rep1->show();
        mauvaise_rep2->show();
        RadioGroup1->setChoiceHighlighted(quiz.correctSlot(), true);
    }
    note->setCaption(quiz.scoreText());
    announceVerdict(juste == 1);
}

void TForm1::announceVerdict(bool right)
{
    // The verdict and the solution are labels, which a screen reader does not read out by itself:
    // they are told on the choice the learner has just ticked.
    QString verdict = right ? QStringLiteral("bonne réponse") : QStringLiteral("mauvaise réponse");
    if (!right) {
        verdict += QStringLiteral(" ; bonne réponse : ")
            + RadioGroup1->spokenChoiceCaption(quiz.correctSlot());
    }
    verdict += QStringLiteral(" ; solution : ") + Solution->spokenCaption();
    const int ticked = RadioGroup1->itemIndex();
    if (ticked >= 0)
        RadioGroup1->describeChoice(ticked, verdict);
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
    quiz.resetScore();
    note->setCaption(quiz.scoreText());
    showIdleLayout();
    hideFeedback();
    resetChoices();
}

void TForm1::showIdleLayout()
{
    const toolkit::FocusHandover handover({Reinitialiser, Group_note, RadioGroup1});
    Button4->show();
    GroupBox2->show();
    GroupBox3->show();
    Reinitialiser->hide();
    Group_note->hide();
    RadioGroup1->hide();
    RadioGroup1->setAccessibleName(QString());
    // The next test starts from here.
    handover.giveTo(Button4);
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
