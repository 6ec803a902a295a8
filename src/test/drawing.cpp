#include "app/tform1.h"

#include "toolkit/keyboard.h"
#include "toolkit/label.h"
#include "toolkit/message_boxes.h"
#include "toolkit/radio_group.h"

#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>

namespace {

Field checkedField(const QRadioButton *chinese, const QRadioButton *pinyin)
{
    return chinese->isChecked() ? Field::Chinese
        : pinyin->isChecked()   ? Field::Pinyin
                                : Field::French;
}

} // namespace

void TForm1::Button4Click(QObject * /*Sender*/)
{
    if (!questionRefused())
        askQuestion();
}

bool TForm1::questionRefused()
{
    switch (quiz.refusal(checkedField(LQ1, LQ2), checkedField(LR1, LR2))) {
    case QuizRefusal::None:
        return false;
    case QuizRefusal::NoLesson:
        toolkit::showPlainMessage(QStringLiteral("Vous devez sélectionner au moins un cours"));
        return true;
    case QuizRefusal::TooFewChoices:
        break;
    }
    toolkit::showPlainMessage(QStringLiteral("Le test doit comporter au moins 6 propositions"));
    return true;
}

void TForm1::askQuestion()
{
    const toolkit::FocusHandover handover({Button4, GroupBox2, GroupBox3});
    Button4->hide();
    GroupBox2->hide();
    GroupBox3->hide();
    Reinitialiser->show();
    Group_note->show();
    RadioGroup1->show();

    const QuizQuestion drawn = quiz.ask(checkedField(LQ1, LQ2), checkedField(LR1, LR2));
    question->setCaption(drawn.question);
    // A screen reader reaching the choices hears what they answer.
    RadioGroup1->setAccessibleName(QStringLiteral("Question : ") + question->spokenCaption());
    for (int k = 0; k < QuestionSlots::count; ++k)
        RadioGroup1->setChoiceCaption(k, drawn.choices[std::size_t(k)]);
    Solution->setCaption(drawn.solution);
    // A keyboard learner who started the test answers next.
    handover.giveTo(RadioGroup1->choice(0));
}
