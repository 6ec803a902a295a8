#pragma once

#include <QtGlobal>

#include <array>

class Random;
class WordList;

/// A field of a word entry, in the order of the test page's radio buttons.
enum class Field
{
    Chinese,
    Pinyin,
    French,
};

/// One question: the asked entry and the six entries the choices show.
struct QuestionSlots
{
    static constexpr int count = 6;

    qsizetype question = 0;
    int correctSlot = 0;
    std::array<qsizetype, count> entries {};
};

/// Whether six entries with pairwise different Chinese texts can be drawn for this pair of fields,
/// so that drawing ends. Stops as soon as it has seen six such texts.
bool canDrawQuestion(const WordList &ch, const WordList &fr, Field asked, Field answered);

/// Draws a question: the asked entry (redrawn while French is involved and its French text is
/// empty), its slot, then the five other slots in order from the top, each a candidate drawn until
/// it is not the asked entry, its Chinese text differs from the asked entry's and from every slot
/// above it, and (French answered) its French text is not empty. Needs canDrawQuestion.
QuestionSlots drawQuestion(const WordList &ch, const WordList &fr, Field asked, Field answered,
                           Random &random);
