#include "core/learning_cursor.h"

#include "core/random.h"
#include "core/word_list.h"

std::optional<CardStep> LearningCursor::next(bool randomMode)
{
    const qsizetype count = m_ch.count();
    if (count == 0)
        return std::nullopt;
    if (randomMode) {
        const auto entry = qsizetype(m_random.draw(quint32(count)));
        m_ch.tag = -1;
        return CardStep {entry, QString()};
    }
    qsizetype entry = m_ch.tag + 1;
    if (entry >= count)
        entry = 0;
    return stepTo(entry);
}

std::optional<CardStep> LearningCursor::previous()
{
    const qsizetype count = m_ch.count();
    if (count == 0)
        return std::nullopt;
    qsizetype entry = m_ch.tag - 1;
    if (entry < 0)
        entry = count - 1;
    return stepTo(entry);
}

void LearningCursor::forget()
{
    m_ch.tag = -1;
}

CardStep LearningCursor::stepTo(qsizetype entry)
{
    m_ch.tag = int(entry);
    return {entry, counterText(entry, m_ch.count())};
}

QString LearningCursor::counterText(qsizetype entry, qsizetype count)
{
    return QStringLiteral("%1/ %2").arg(entry + 1).arg(count);
}
