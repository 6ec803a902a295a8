#pragma once

#include <QString>

#include <optional>

class Random;
class WordList;

/// One step of the learning page: the entry to show and the counter's text (empty in random mode).
struct CardStep
{
    qsizetype entry = 0;
    QString counter;
};

/// Card navigation: which entry "Suivant" and "Précédent" show, and where the learner stands. The
/// position is the Chinese list's tag (-1 for none), so that a rebuild of the lists forgets it.
class LearningCursor
{
public:
    LearningCursor(WordList &ch, Random &random) : m_ch(ch), m_random(random) { }

    /// A random entry (no position held after it) or the one after the position, round to the
    /// first; nothing when the lists are empty.
    std::optional<CardStep> next(bool randomMode);
    /// The entry before the position, round to the last (from no position: the last); nothing
    /// when the lists are empty.
    std::optional<CardStep> previous();
    /// Forgets the position, as a change of mode does.
    void forget();

    /// "3/ 25" for the third of 25 entries.
    static QString counterText(qsizetype entry, qsizetype count);

private:
    CardStep stepTo(qsizetype entry);

    WordList &m_ch;
    Random &m_random;
};
