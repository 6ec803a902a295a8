#include "platform/ini_file.h"

#include "platform/ascii.h"

#include "platform/file_replacement.h"
#include "platform/posix_file.h"
#include "platform/text_lines.h"

#include <cerrno>

namespace platform::ini {
namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

QByteArrayView trimmed(QByteArrayView text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isBlank(text[begin]))
        ++begin;
    while (end > begin && isBlank(text[end - 1]))
        --end;
    return text.sliced(begin, end - begin);
}

/// Names match regardless of ASCII case only: the file's 8-bit bytes are not UTF-8, nor any code
/// page known here, so "fran\xE7" "ais" and its UTF-8 spelling stay different names.
bool sameName(QByteArrayView a, QByteArrayView b)
{
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i) {
        if (asciiLower(a[i]) != asciiLower(b[i]))
            return false;
    }
    return true;
}

/// Where a key stands in the content. The section may be repeated: its occurrences read as one, the
/// first key line wins, and a missing key goes to the first occurrence, where it is then found
/// first.
struct Place
{
    std::optional<TextLine> keyLine;
    QByteArrayView value;
    std::optional<TextLine> lastOfSection; ///< the first occurrence's header, or its last key line
};

Place locate(QByteArrayView content, QByteArrayView section, QByteArrayView key)
{
    Place place;
    bool inSection = false;
    bool firstOccurrence = false;
    for (qsizetype at = 0; at < content.size();) {
        const TextLine line = lineAt(content, at);
        at = line.end;
        const QByteArrayView text = trimmed(content.sliced(line.begin, line.textEnd - line.begin));
        if (text.startsWith('[')) {
            // A header without its "]" still ends the section before it.
            const qsizetype closing = text.indexOf(']');
            const qsizetype nameEnd = closing < 0 ? text.size() : closing;
            const bool matches = sameName(trimmed(text.sliced(1, nameEnd - 1)), section);
            firstOccurrence = matches && !place.lastOfSection;
            if (firstOccurrence)
                place.lastOfSection = line;
            inSection = matches;
            continue;
        }
        const qsizetype equals = text.indexOf('=');
        if (!inSection || text.startsWith(';') || equals < 0)
            continue;
        if (sameName(trimmed(text.first(equals)), key)) {
            place.keyLine = line;
            place.value = trimmed(text.sliced(equals + 1));
            return place;
        }
        if (firstOccurrence)
            place.lastOfSection = line;
    }
    return place;
}

/// The content's own line end, taken from its first line; CR LF for a content without one, as
/// classic INI files have it and as editors on either system read it.
QByteArrayView lineEndOf(QByteArrayView content)
{
    const TextLine first = lineAt(content, 0);
    return first.end > first.textEnd ? content.sliced(first.textEnd, first.end - first.textEnd)
                                     : QByteArrayView("\r\n");
}

} // namespace

std::optional<QByteArray> valueIn(QByteArrayView content, QByteArrayView section,
                                  QByteArrayView key)
{
    const Place place = locate(content, section, key);
    if (!place.keyLine)
        return std::nullopt;
    return place.value.toByteArray();
}

QByteArray withValue(QByteArrayView content, QByteArrayView section, QByteArrayView key,
                     QByteArrayView value)
{
    const Place place = locate(content, section, key);
    const QByteArrayView lineEnd = lineEndOf(content);
    QByteArray result;
    result.reserve(content.size() + section.size() + key.size() + value.size() + 8);
    if (place.keyLine) {
        result.append(content.first(place.keyLine->begin)).append(key).append('=').append(value);
        result.append(content.sliced(place.keyLine->textEnd));
    } else if (place.lastOfSection) {
        const TextLine &anchor = *place.lastOfSection;
        result.append(content.first(anchor.end));
        if (anchor.end == anchor.textEnd)
            result.append(lineEnd);
        // A lone CR just before an LF would join it into one CR LF: the blank line that LF ends
        // would be lost.
        const bool beforeLf = anchor.end < content.size() && content[anchor.end] == '\n';
        result.append(key).append('=').append(value);
        result.append(beforeLf && lineEnd == "\r" ? QByteArrayView("\r\n") : lineEnd);
        result.append(content.sliced(anchor.end));
    } else {
        result.append(content);
        if (!content.isEmpty() && !content.endsWith('\n') && !content.endsWith('\r'))
            result.append(lineEnd);
        result.append('[').append(section).append(']').append(lineEnd);
        result.append(key).append('=').append(value).append(lineEnd);
    }
    return result;
}

bool isEightBitText(QByteArrayView content)
{
    return !content.startsWith("\xFF\xFE") && !content.startsWith("\xFE\xFF");
}

FileResult<std::optional<QByteArray>> readValue(const QByteArray &path, QByteArrayView section,
                                                QByteArrayView key)
{
    const FileResult<QByteArray> content = readRegularFile(path, 0, maxFileBytes);
    if (!content.ok())
        return content.error();
    if (!isEightBitText(content.value()))
        return FileError::fromErrno(EILSEQ);
    return valueIn(content.value(), section, key);
}

FileResult<> writeValue(const QByteArray &path, QByteArrayView section, QByteArrayView key,
                        QByteArrayView value)
{
    return editFile(
        path,
        [&](QByteArrayView content) -> std::optional<QByteArray> {
            if (!isEightBitText(content))
                return std::nullopt;
            return withValue(content, section, key, value);
        },
        maxFileBytes);
}

} // namespace platform::ini
