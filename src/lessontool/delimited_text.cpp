#include "lessontool/delimited_text.h"

#include "platform/text_lines.h"

#include <array>

namespace lessontool {

namespace {

using platform::isLineEnd;
using platform::lineAt;

// The position after the line end at pos (CR LF counting as one).
qsizetype skipLineEnd(QStringView text, qsizetype pos)
{
    return lineAt(text, pos).end;
}

// The offset count lines after pos (or the end of text).
qsizetype skipLines(QStringView text, qsizetype pos, qsizetype count)
{
    for (; count > 0 && pos < text.size(); --count)
        pos = lineAt(text, pos).end;
    return pos;
}

// Lines (without their ends) from the start of text, up to count of them.
QList<QStringView> firstLines(QStringView text, qsizetype count)
{
    QList<QStringView> lines;
    for (qsizetype start = 0; start < text.size() && lines.size() < count;) {
        const platform::TextLine line = lineAt(text, start);
        lines.append(text.sliced(start, line.textEnd - start));
        start = line.end;
    }
    return lines;
}

// Where the first lone quote after the quote at pos stands (a doubled one stands for a quote);
// -1 when there is none.
qsizetype closingQuoteAfter(QStringView text, qsizetype pos)
{
    for (qsizetype at = pos + 1; at < text.size(); ++at) {
        if (text[at] != u'"')
            continue;
        if (at + 1 < text.size() && text[at + 1] == u'"') {
            ++at;
            continue;
        }
        return at;
    }
    return -1;
}

// In a TAB-separated list, whether the quote at pos opens a quoted field: its closing quote is
// followed by a TAB, a line end or the end.
bool opensTabQuotedField(QStringView text, qsizetype pos)
{
    const qsizetype at = closingQuoteAfter(text, pos);
    return at >= 0 && (at + 1 == text.size() || text[at + 1] == u'\t' || isLineEnd(text[at + 1]));
}

} // namespace

RecordReader::RecordReader(QStringView text, QChar delimiter) : m_text(text), m_delimiter(delimiter)
{ }

// Records are not split into lines first: a quoted field may hold line ends. Its line ends follow
// the lines' own rule all the same (platform/text_lines.h).
bool RecordReader::next(Record &out)
{
    const QStringView text = m_text;
    const qsizetype size = text.size();
    const bool tabRule = m_delimiter == u'\t';
    Record record;
    QString field;
    bool lineHasContent = false; // something other than the line end was seen in this record

    const auto endField = [&] {
        record.fields.append(field);
        field.clear();
    };

    while (m_pos < size) {
        qsizetype &pos = m_pos;
        if (!lineHasContent)
            record.line = m_line;
        const QChar c = text[pos];
        const bool quoted = c == u'"'
            && (tabRule ? field.isEmpty() && opensTabQuotedField(text, pos)
                        : field.trimmed().isEmpty());
        if (quoted) {
            // A quoted field, blanks before its quote dropped: up to the lone closing quote.
            field.clear();
            lineHasContent = true;
            if (closingQuoteAfter(text, pos) < 0) {
                // It would swallow the rest of the text, which the record is refused for: the
                // text is not copied.
                record.unterminatedQuote = true;
                pos = size;
                continue;
            }
            ++pos;
            while (pos < size) {
                const QChar q = text[pos];
                if (q == u'"') {
                    if (pos + 1 < size && text[pos + 1] == u'"') {
                        field.append(u'"');
                        pos += 2;
                        continue;
                    }
                    ++pos;
                    break;
                }
                if (isLineEnd(q)) {
                    const qsizetype next = skipLineEnd(text, pos);
                    field.append(text.sliced(pos, next - pos));
                    pos = next;
                    ++m_line;
                    continue;
                }
                field.append(q);
                ++pos;
            }
            continue;
        }
        if (c == m_delimiter) {
            lineHasContent = true;
            endField();
            ++pos;
            continue;
        }
        if (isLineEnd(c)) {
            pos = skipLineEnd(text, pos);
            ++m_line;
            if (lineHasContent) {
                endField();
                out = std::move(record);
                return true;
            }
            field.clear();
            continue;
        }
        lineHasContent = true;
        // Plain text up to the next delimiter, quote or line end, appended in one piece; a quote
        // inside an unquoted field is plain text too, taken as the first character of a piece.
        qsizetype end = pos + 1;
        while (end < size && text[end] != m_delimiter && text[end] != u'"' && !isLineEnd(text[end]))
            ++end;
        field.append(text.sliced(pos, end - pos));
        pos = end;
    }
    if (!lineHasContent)
        return false;
    endField();
    out = std::move(record);
    return true;
}

QList<Record> parseDelimited(QStringView text, QChar delimiter)
{
    QList<Record> records;
    RecordReader reader(text, delimiter);
    for (Record record; reader.next(record);)
        records.append(std::move(record));
    return records;
}

qsizetype leadingCommentLines(QStringView text)
{
    qsizetype count = 0;
    for (qsizetype start = 0; start < text.size() && text[start] == u'#'; ++count)
        start = lineAt(text, start).end;
    return count;
}

QList<Directive> leadingDirectives(QStringView text)
{
    QList<Directive> directives;
    const QList<QStringView> lines = firstLines(text, leadingCommentLines(text));
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QStringView body = lines[i].sliced(1);
        const qsizetype colon = body.indexOf(u':');
        if (colon > 0)
            directives.append({body.first(colon).trimmed().toString().toLower(),
                               body.sliced(colon + 1).trimmed().toString(), i + 1});
    }
    return directives;
}

QChar detectDelimiter(QStringView text)
{
    static constexpr std::array<char16_t, 3> candidates = {u'\t', u';', u','};
    // The first lines after the comments, read with each candidate and its own quoting rule.
    const qsizetype from = skipLines(text, 0, leadingCommentLines(text));
    const qsizetype to = skipLines(text, from, 20);
    const QStringView sample = text.sliced(from, to - from);

    std::array<qsizetype, 3> fields {};
    for (std::size_t k = 0; k < candidates.size(); ++k) {
        QList<Record> records = parseDelimited(sample, candidates[k]);
        // The last record of a cut sample may be a quoted field cut short.
        if (to < text.size() && records.size() > 1)
            records.removeLast();
        bool everyRecordSplit = !records.isEmpty();
        for (const Record &record : records) {
            everyRecordSplit = everyRecordSplit && record.fields.size() > 1;
            fields[k] += record.fields.size() - 1;
        }
        if (everyRecordSplit)
            return candidates[k];
    }
    std::size_t best = 0;
    for (std::size_t k = 1; k < candidates.size(); ++k) {
        if (fields[k] > fields[best])
            best = k;
    }
    return candidates[best];
}

} // namespace lessontool
