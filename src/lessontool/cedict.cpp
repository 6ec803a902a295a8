#include "lessontool/cedict.h"

#include "lessontool/pinyin.h"

namespace lessontool {

namespace {

// The marks of the line format are ASCII, so one reading of it serves decoded text and UTF-8 bytes
// alike: no byte of a multi-byte UTF-8 sequence equals an ASCII character.
template<typename View> struct LineParts
{
    View traditional;
    View simplified;
    View pinyin;
    View senses; ///< between the first slash and the last, which ends the line
};

bool isBlank(QChar c)
{
    return c.isSpace();
}

bool isBlank(char c)
{
    return c == ' ' || (c >= '\t' && c <= '\r');
}

// The position of the first character after the spaces at pos, or -1 when there is none.
template<typename View> qsizetype afterSpaces(View line, qsizetype pos)
{
    if (pos >= line.size() || line[pos] != u' ')
        return -1;
    while (pos < line.size() && line[pos] == u' ')
        ++pos;
    return pos < line.size() ? pos : -1;
}

// The word (no spaces, no brackets, no slashes) at pos; empty when there is none.
template<typename View> View wordAt(View line, qsizetype pos)
{
    qsizetype end = pos;
    while (end < line.size() && line[end] != u' ' && line[end] != u'[' && line[end] != u'/')
        ++end;
    return line.sliced(pos, end - pos);
}

template<typename View> std::optional<LineParts<View>> splitLine(View line)
{
    line = line.trimmed();
    const View traditional = wordAt(line, 0);
    qsizetype pos = afterSpaces(line, traditional.size());
    if (traditional.isEmpty() || pos < 0)
        return std::nullopt;
    const View simplified = wordAt(line, pos);
    pos = afterSpaces(line, pos + simplified.size());
    if (simplified.isEmpty() || pos < 0 || line[pos] != u'[')
        return std::nullopt;
    const qsizetype open = pos;
    while (pos < line.size() && line[pos] != u']')
        ++pos;
    if (pos == line.size())
        return std::nullopt;
    const View pinyin = line.sliced(open + 1, pos - open - 1);
    pos = afterSpaces(line, pos + 1);
    if (pos < 0 || line[pos] != u'/' || line.size() - pos < 2 || line.back() != u'/')
        return std::nullopt;
    const View senses = line.sliced(pos + 1, line.size() - pos - 2);
    // At least one sense that is not blank; and no TAB anywhere, which tells a delimited list.
    bool sense = false;
    for (qsizetype i = 0; i < line.size(); ++i) {
        if (line[i] == u'\t')
            return std::nullopt;
        sense = sense || (i > pos && i < line.size() - 1 && line[i] != u'/' && !isBlank(line[i]));
    }
    if (!sense)
        return std::nullopt;
    return LineParts<View> {traditional, simplified, pinyin, senses};
}

} // namespace

std::optional<CedictEntry> parseCedictLine(QStringView line)
{
    const std::optional<LineParts<QStringView>> parts = splitLine(line);
    if (!parts)
        return std::nullopt;
    CedictEntry entry {
        parts->traditional.toString(), parts->simplified.toString(), parts->pinyin.toString(), {}};
    for (QStringView sense : parts->senses.split(u'/')) {
        sense = sense.trimmed();
        if (!sense.isEmpty())
            entry.senses.append(sense.toString());
    }
    return entry;
}

std::optional<std::pair<QByteArrayView, QByteArrayView>> cedictLineForms(QByteArrayView line)
{
    const std::optional<LineParts<QByteArrayView>> parts = splitLine(line);
    if (!parts)
        return std::nullopt;
    return std::pair {parts->traditional, parts->simplified};
}

LessonEntry cedictLessonEntry(const CedictEntry &entry, bool rawPinyin)
{
    return {entry.simplified, rawPinyin ? entry.pinyin : numberedToMarked(entry.pinyin),
            entry.senses.join(QStringLiteral(" ; "))};
}

QString cedictFormatText()
{
    return QStringLiteral("pas au format du dictionnaire (TRAD SIMP [pin1 yin1] /sens/)");
}

} // namespace lessontool
