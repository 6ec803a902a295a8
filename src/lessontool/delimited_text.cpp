#include "lessontool/delimited_text.h"

#include <array>

namespace {

bool isLineEnd(QChar c)
{
    return c == u'\n' || c == u'\r';
}

// The position after the line end at pos (CR LF counting as one).
qsizetype skipLineEnd(QStringView text, qsizetype pos)
{
    if (text[pos] == u'\r' && pos + 1 < text.size() && text[pos + 1] == u'\n')
        return pos + 2;
    return pos + 1;
}

// Lines (without their ends) from the start of text, up to count of them.
QList<QStringView> firstLines(QStringView text, qsizetype count)
{
    QList<QStringView> lines;
    qsizetype start = 0;
    while (start < text.size() && lines.size() < count) {
        qsizetype end = start;
        while (end < text.size() && !isLineEnd(text[end]))
            ++end;
        lines.append(text.sliced(start, end - start));
        start = end < text.size() ? skipLineEnd(text, end) : end;
    }
    return lines;
}

} // namespace

QList<Record> parseDelimited(QStringView text, QChar delimiter)
{
    QList<Record> records;
    Record record;
    QString field;
    qsizetype line = 1;
    qsizetype pos = 0;
    const qsizetype size = text.size();
    bool lineHasContent = false; // something other than the line end was seen in this record

    const auto endField = [&] {
        record.fields.append(field);
        field.clear();
    };
    const auto endRecord = [&] {
        endField();
        if (lineHasContent)
            records.append(std::move(record));
        record = Record();
        lineHasContent = false;
    };

    while (pos < size) {
        if (!lineHasContent)
            record.line = line;
        const QChar c = text[pos];
        if (c == u'"' && field.trimmed().isEmpty()) {
            // A quoted field, blanks before its quote dropped: up to the lone closing quote.
            field.clear();
            lineHasContent = true;
            ++pos;
            bool closed = false;
            while (pos < size) {
                const QChar q = text[pos];
                if (q == u'"') {
                    if (pos + 1 < size && text[pos + 1] == u'"') {
                        field.append(u'"');
                        pos += 2;
                        continue;
                    }
                    ++pos;
                    closed = true;
                    break;
                }
                if (isLineEnd(q)) {
                    const qsizetype next = skipLineEnd(text, pos);
                    field.append(text.sliced(pos, next - pos));
                    pos = next;
                    ++line;
                    continue;
                }
                field.append(q);
                ++pos;
            }
            if (!closed)
                record.unterminatedQuote = true;
            continue;
        }
        if (c == delimiter) {
            lineHasContent = true;
            endField();
            ++pos;
            continue;
        }
        if (isLineEnd(c)) {
            pos = skipLineEnd(text, pos);
            endRecord();
            ++line;
            continue;
        }
        lineHasContent = true;
        // Plain text up to the next delimiter, quote or line end, appended in one piece; a quote
        // inside an unquoted field is plain text too, taken as the first character of a piece.
        qsizetype end = pos + 1;
        while (end < size && text[end] != delimiter && text[end] != u'"' && !isLineEnd(text[end]))
            ++end;
        field.append(text.sliced(pos, end - pos));
        pos = end;
    }
    if (lineHasContent || !field.isEmpty())
        endRecord();
    return records;
}

qsizetype leadingCommentLines(QStringView text)
{
    qsizetype count = 0;
    qsizetype start = 0;
    while (start < text.size() && text[start] == u'#') {
        qsizetype end = start;
        while (end < text.size() && !isLineEnd(text[end]))
            ++end;
        ++count;
        start = end < text.size() ? skipLineEnd(text, end) : end;
    }
    return count;
}

QString leadingDirective(QStringView text, QStringView key)
{
    const QList<QStringView> lines = firstLines(text, leadingCommentLines(text));
    for (QStringView line : lines) {
        const QStringView body = line.sliced(1);
        if (body.startsWith(key, Qt::CaseInsensitive) && body.size() > key.size()
            && body[key.size()] == u':')
            return body.sliced(key.size() + 1).trimmed().toString();
    }
    return {};
}

QChar detectDelimiter(QStringView text)
{
    static constexpr std::array<char16_t, 3> candidates = {u'\t', u';', u','};
    const qsizetype comments = leadingCommentLines(text);
    const QList<QStringView> lines = firstLines(text, comments + 20).mid(comments);

    std::array<qsizetype, 3> linesWith {};
    std::array<qsizetype, 3> total {};
    qsizetype sampled = 0;
    bool quoted = false; // a quoted field may run over several lines
    for (QStringView line : lines) {
        if (line.trimmed().isEmpty() && !quoted)
            continue;
        ++sampled;
        std::array<qsizetype, 3> seen {};
        for (QChar c : line) {
            if (c == u'"')
                quoted = !quoted;
            else if (!quoted)
                for (std::size_t k = 0; k < candidates.size(); ++k)
                    seen[k] += c == candidates[k];
        }
        for (std::size_t k = 0; k < candidates.size(); ++k) {
            linesWith[k] += seen[k] > 0;
            total[k] += seen[k];
        }
    }
    if (sampled == 0)
        return u'\t';
    for (std::size_t k = 0; k < candidates.size(); ++k) {
        if (linesWith[k] == sampled)
            return candidates[k];
    }
    std::size_t best = 0;
    for (std::size_t k = 1; k < candidates.size(); ++k) {
        if (total[k] > total[best])
            best = k;
    }
    return candidates[best];
}
