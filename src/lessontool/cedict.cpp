#include "lessontool/cedict.h"

#include "lessontool/pinyin.h"

namespace {

// The position of the first character after the spaces at pos, or -1 when there is none.
qsizetype afterSpaces(QStringView line, qsizetype pos)
{
    if (pos >= line.size() || line[pos] != u' ')
        return -1;
    while (pos < line.size() && line[pos] == u' ')
        ++pos;
    return pos < line.size() ? pos : -1;
}

// The word (no spaces, no brackets, no slashes) at pos; empty when there is none.
QStringView wordAt(QStringView line, qsizetype pos)
{
    qsizetype end = pos;
    while (end < line.size() && line[end] != u' ' && line[end] != u'[' && line[end] != u'/')
        ++end;
    return line.sliced(pos, end - pos);
}

} // namespace

std::optional<CedictEntry> parseCedictLine(QStringView line)
{
    line = line.trimmed();
    if (line.contains(u'\t'))
        return std::nullopt;
    const QStringView traditional = wordAt(line, 0);
    qsizetype pos = afterSpaces(line, traditional.size());
    if (traditional.isEmpty() || pos < 0)
        return std::nullopt;
    const QStringView simplified = wordAt(line, pos);
    pos = afterSpaces(line, pos + simplified.size());
    if (simplified.isEmpty() || pos < 0 || line[pos] != u'[')
        return std::nullopt;
    const qsizetype close = line.indexOf(u']', pos);
    if (close < 0)
        return std::nullopt;
    const QStringView pinyin = line.sliced(pos + 1, close - pos - 1);
    pos = afterSpaces(line, close + 1);
    // The senses: from the first slash to the last, which ends the line.
    if (pos < 0 || line[pos] != u'/' || line.size() - pos < 2 || !line.endsWith(u'/'))
        return std::nullopt;
    CedictEntry entry {traditional.toString(), simplified.toString(), pinyin.toString(), {}};
    for (QStringView sense : line.sliced(pos + 1, line.size() - pos - 2).split(u'/')) {
        sense = sense.trimmed();
        if (!sense.isEmpty())
            entry.senses.append(sense.toString());
    }
    if (entry.senses.isEmpty())
        return std::nullopt;
    return entry;
}

LessonEntry cedictLessonEntry(const CedictEntry &entry, bool rawPinyin)
{
    return {entry.simplified, rawPinyin ? entry.pinyin : numberedToMarked(entry.pinyin),
            entry.senses.join(QStringLiteral(" ; "))};
}
