#pragma once

#include "core/question_draw.h"

#include <QString>
#include <QStringView>

#include <array>

class Random;
class WordList;

/// Why no question can be drawn now.
enum class QuizRefusal
{
    None,
    /// No entry at all: no lesson is ticked, or the ticked ones are empty.
    NoLesson,
    /// Fewer than six entries, or fewer than six Chinese texts that differ.
    TooFewChoices,
};

/// The texts of one drawn question, valid until the word lists change.
struct QuizQuestion
{
    QStringView question;
    std::array<QStringView, QuestionSlots::count> choices;
    /// The third field of the asked entry, neither asked nor answered.
    QStringView solution;
};

/// The test page's decisions without its widgets: whether a question can be drawn, the question
/// drawn from the word lists and the generator, the correct slot and the score.
class QuizSession
{
public:
    QuizSession(const WordList &ch, const WordList &pin, const WordList &fr, Random &random)
        : m_ch(ch), m_pin(pin), m_fr(fr), m_random(random)
    { }

    QuizRefusal refusal(Field asked, Field answered) const;
    /// Draws the next question and keeps its correct slot; needs refusal() to be None.
    QuizQuestion ask(Field asked, Field answered);

    bool isCorrect(int slot) const { return slot == m_correctSlot; }
    /// Counts one answer, right or wrong.
    void record(bool right);
    /// Back to no answer; the correct slot stays until the next question.
    void resetScore();

    int correctSlot() const { return m_correctSlot; }
    int rightCount() const { return m_right; }
    int answeredCount() const { return m_answered; }
    /// "12 / 20": 12 right answers out of 20.
    QString scoreText() const;

    /// The field neither asked nor answered, which the solution shows.
    static Field thirdField(Field asked, Field answered);

private:
    const WordList &listOf(Field field) const;

    const WordList &m_ch;
    const WordList &m_pin;
    const WordList &m_fr;
    Random &m_random;
    int m_correctSlot = 0;
    int m_right = 0;
    int m_answered = 0;
};
