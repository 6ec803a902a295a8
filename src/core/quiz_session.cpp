#include "core/quiz_session.h"

#include "core/word_list.h"

QuizRefusal QuizSession::refusal(Field asked, Field answered) const
{
    if (m_ch.count() == 0)
        return QuizRefusal::NoLesson;
    // Six entries are not enough when fewer than six Chinese texts differ: drawing would not end.
    if (m_ch.count() < QuestionSlots::count || m_pin.count() < QuestionSlots::count
        || m_fr.count() < QuestionSlots::count || !canDrawQuestion(m_ch, m_fr, asked, answered))
        return QuizRefusal::TooFewChoices;
    return QuizRefusal::None;
}

QuizQuestion QuizSession::ask(Field asked, Field answered)
{
    const QuestionSlots drawn = drawQuestion(m_ch, m_fr, asked, answered, m_random);
    m_correctSlot = drawn.correctSlot;
    QuizQuestion shown;
    shown.question = listOf(asked).view(drawn.question);
    const WordList &choices = listOf(answered);
    for (std::size_t k = 0; k < drawn.entries.size(); ++k)
        shown.choices[k] = choices.view(drawn.entries[k]);
    shown.solution = listOf(thirdField(asked, answered)).view(drawn.question);
    return shown;
}

void QuizSession::record(bool right)
{
    ++m_answered;
    if (right)
        ++m_right;
}

void QuizSession::resetScore()
{
    m_right = 0;
    m_answered = 0;
}

QString QuizSession::scoreText() const
{
    return QStringLiteral("%1 / %2").arg(m_right).arg(m_answered);
}

Field QuizSession::thirdField(Field asked, Field answered)
{
    return asked != Field::Chinese && answered != Field::Chinese ? Field::Chinese
        : asked != Field::Pinyin && answered != Field::Pinyin    ? Field::Pinyin
                                                                 : Field::French;
}

const WordList &QuizSession::listOf(Field field) const
{
    return field == Field::Chinese ? m_ch : field == Field::Pinyin ? m_pin : m_fr;
}
