#include "app/tform1.h"

#include "core/question_draw.h"
#include "core/random.h"
#include "toolkit/error_report.h"
#include "toolkit/keyboard.h"
#include "toolkit/label.h"
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

const WordList &listOf(Field field, const WordList &ch, const WordList &pin, const WordList &fr)
{
    return field == Field::Chinese ? ch : field == Field::Pinyin ? pin : fr;
}

} // namespace

void TForm1::Button4Click(QObject * /*Sender*/)
{
    if (!questionRefused())
        askQuestion();
}

bool TForm1::questionRefused()
{
    if (Liste_ch.count() == 0) {
        platform::showPlainMessage(QStringLiteral("Vous devez sélectionner au moins un cours"));
        return true;
    }
    // Six entries are not enough when fewer than six Chinese texts differ: drawing would not end.
    if (Liste_ch.count() < 6 || Liste_pin.count() < 6 || Liste_fr.count() < 6
        || !canDrawQuestion(Liste_ch, Liste_fr, checkedField(LQ1, LQ2), checkedField(LR1, LR2))) {
        platform::showPlainMessage(
            QStringLiteral("Le test doit comporter au moins 6 propositions"));
        return true;
    }
    return false;
}

void TForm1::askQuestion()
{
    const Field asked = checkedField(LQ1, LQ2);
    const Field answered = checkedField(LR1, LR2);
    const platform::FocusHandover handover({Button4, GroupBox2, GroupBox3});
    Button4->hide();
    GroupBox2->hide();
    GroupBox3->hide();
    Reinitialiser->show();
    Group_note->show();
    RadioGroup1->show();

    const QuestionSlots drawn = drawQuestion(Liste_ch, Liste_fr, asked, answered, programRandom());
    question->setCaption(listOf(asked, Liste_ch, Liste_pin, Liste_fr).view(drawn.question));
    // A screen reader reaching the choices hears what they answer.
    RadioGroup1->setAccessibleName(QStringLiteral("Question : ") + question->spokenCaption());
    questionTag = drawn.correctSlot;
    const WordList &shown = listOf(answered, Liste_ch, Liste_pin, Liste_fr);
    for (int k = 0; k < QuestionSlots::count; ++k)
        RadioGroup1->setChoiceCaption(k, shown.view(drawn.entries[std::size_t(k)]));

    const Field third = asked != Field::Chinese && answered != Field::Chinese ? Field::Chinese
        : asked != Field::Pinyin && answered != Field::Pinyin                 ? Field::Pinyin
                                                                              : Field::French;
    Solution->setCaption(listOf(third, Liste_ch, Liste_pin, Liste_fr).view(drawn.question));
    // A keyboard learner who started the test answers next.
    handover.giveTo(RadioGroup1->choice(0));
}
