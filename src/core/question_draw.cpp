#include "core/question_draw.h"

#include "core/random.h"
#include "core/word_list.h"

bool canDrawQuestion(const WordList &ch, const WordList &fr, Field asked, Field answered)
{
    const bool frenchAsked = asked == Field::French || answered == Field::French;
    const bool frenchShown = answered == Field::French;
    bool questionFound = false;
    std::array<QStringView, QuestionSlots::count> distinct;
    int distinctCount = 0;
    for (qsizetype i = 0; i < ch.count(); ++i) {
        const bool hasFrench = !fr.view(i).isEmpty();
        questionFound = questionFound || !frenchAsked || hasFrench;
        if (frenchShown && !hasFrench)
            continue;
        const QStringView text = ch.view(i);
        const auto seenEnd = distinct.begin() + distinctCount;
        if (distinctCount < QuestionSlots::count
            && std::find(distinct.begin(), seenEnd, text) == seenEnd)
            distinct[std::size_t(distinctCount++)] = text;
        if (questionFound && distinctCount == QuestionSlots::count)
            return true;
    }
    return false;
}

QuestionSlots drawQuestion(const WordList &ch, const WordList &fr, Field asked, Field answered,
                           Random &random)
{
    const auto count = quint32(ch.count());
    const bool frenchAsked = asked == Field::French || answered == Field::French;
    const bool frenchShown = answered == Field::French;

    QuestionSlots drawn;
    do
        drawn.question = qsizetype(random.draw(count));
    while (frenchAsked && fr.view(drawn.question).isEmpty());

    drawn.correctSlot = int(random.draw(QuestionSlots::count));
    drawn.entries[std::size_t(drawn.correctSlot)] = drawn.question;

    const QStringView questionText = ch.view(drawn.question);
    for (int k = 0; k < QuestionSlots::count; ++k) {
        if (k == drawn.correctSlot)
            continue;
        qsizetype candidate = 0;
        for (;;) {
            candidate = qsizetype(random.draw(count));
            if (candidate == drawn.question)
                continue;
            const QStringView text = ch.view(candidate);
            if (text == questionText)
                continue;
            if (frenchShown && fr.view(candidate).isEmpty())
                continue;
            bool takenAbove = false;
            for (int j = 0; j < k && !takenAbove; ++j)
                takenAbove = ch.view(drawn.entries[std::size_t(j)]) == text;
            if (!takenAbove)
                break;
        }
        drawn.entries[std::size_t(k)] = candidate;
    }
    return drawn;
}
