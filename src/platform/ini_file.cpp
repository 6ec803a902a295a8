#include "platform/ini_file.h"

#include <array>
#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace ini {
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

char asciiLower(char c)
{
    return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
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

/// One line of the content: its text, and the offset just past its line end (LF, CR LF or a lone
/// CR).
struct Line
{
    qsizetype begin = 0;
    qsizetype textEnd = 0;
    qsizetype end = 0;
};

Line lineAt(QByteArrayView content, qsizetype begin)
{
    Line line {begin, begin, begin};
    while (line.textEnd < content.size() && content[line.textEnd] != '\n'
           && content[line.textEnd] != '\r')
        ++line.textEnd;
    line.end = line.textEnd;
    if (line.end < content.size() && content[line.end++] == '\r' && line.end < content.size()
        && content[line.end] == '\n')
        ++line.end;
    return line;
}

/// Where a key stands in the content. The section may be repeated: its occurrences read as one, the
/// first key line wins, and a missing key goes to the first occurrence, where it is then found
/// first.
struct Place
{
    std::optional<Line> keyLine;
    QByteArrayView value;
    std::optional<Line> lastOfSection; ///< the first occurrence's header, or its last key line
};

Place locate(QByteArrayView content, QByteArrayView section, QByteArrayView key)
{
    Place place;
    bool inSection = false;
    bool firstOccurrence = false;
    for (qsizetype at = 0; at < content.size();) {
        const Line line = lineAt(content, at);
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
    const Line first = lineAt(content, 0);
    return first.end > first.textEnd ? content.sliced(first.textEnd, first.end - first.textEnd)
                                     : QByteArrayView("\r\n");
}

/// The whole file, or the errno of the failed call. Only regular files: a device or a pipe in the
/// settings' place could block or never end.
int readFile(const QByteArray &path, QByteArray &bytes)
{
    const int fd = open(path.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return errno;
    struct stat status
    {
    };
    if (fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        const int error = S_ISDIR(status.st_mode) ? EISDIR : EINVAL;
        close(fd);
        return error;
    }
    bytes.clear();
    bytes.reserve(qsizetype(status.st_size));
    std::array<char, 65536> buffer {};
    for (;;) {
        const ssize_t count = read(fd, buffer.data(), buffer.size());
        if (count == 0)
            break;
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0) {
            const int error = errno;
            close(fd);
            return error;
        }
        bytes.append(buffer.data(), count);
    }
    close(fd);
    return 0;
}

/// Writes all of bytes at the start of fd, then fixes the length; 0 or errno.
int writeAll(int fd, QByteArrayView bytes)
{
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t count
            = pwrite(fd, bytes.data() + done, size_t(bytes.size() - done), off_t(done));
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0)
            return errno;
        done += count;
    }
    return ftruncate(fd, off_t(bytes.size())) == 0 && fsync(fd) == 0 ? 0 : errno;
}

/// Follows symbolic links to the file that path finally names, so that a write replaces the target
/// and the link stays a link. A missing final target is fine: it is created.
int resolveLinks(QByteArray &path)
{
    for (int hops = 0; hops < 40; ++hops) {
        struct stat status
        {
        };
        if (lstat(path.constData(), &status) != 0)
            return errno == ENOENT ? 0 : errno;
        if (!S_ISLNK(status.st_mode))
            return 0;
        QByteArray link(PATH_MAX, '\0');
        const ssize_t length = readlink(path.constData(), link.data(), size_t(link.size()));
        if (length < 0)
            return errno;
        if (length >= link.size())
            return ENAMETOOLONG;
        link.truncate(length);
        path = link.startsWith('/') ? link : path.left(path.lastIndexOf('/') + 1) + link;
    }
    return ELOOP;
}

/// Rewrites the file where it stands, for a directory that takes no new file. Not atomic, but the
/// old bytes are overwritten rather than freed first, so a full disk can cut at most the grown
/// tail.
int rewriteInPlace(const QByteArray &path, QByteArrayView bytes)
{
    const int fd = open(path.constData(), O_WRONLY | O_CLOEXEC);
    if (fd < 0)
        return errno;
    const int error = writeAll(fd, bytes);
    if (close(fd) != 0 && error == 0)
        return errno;
    return error;
}

mode_t creationMode()
{
    // umask can only be read by setting it; it is put back at once.
    const mode_t mask = umask(0);
    umask(mask);
    return 0666 & ~mask;
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
        const Line &anchor = *place.lastOfSection;
        result.append(content.first(anchor.end));
        if (anchor.end == anchor.textEnd)
            result.append(lineEnd);
        result.append(key).append('=').append(value).append(lineEnd);
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

std::optional<QByteArray> readValue(const QByteArray &path, QByteArrayView section,
                                    QByteArrayView key)
{
    QByteArray content;
    if (readFile(path, content) != 0)
        return std::nullopt;
    return valueIn(content, section, key);
}

int writeValue(const QByteArray &path, QByteArrayView section, QByteArrayView key,
               QByteArrayView value)
{
    QByteArray target = path;
    if (const int error = resolveLinks(target))
        return error;
    struct stat status
    {
    };
    const bool exists = stat(target.constData(), &status) == 0;
    if (!exists && errno != ENOENT)
        return errno;
    // A read-only settings file is the learner's refusal, even where the directory would let a
    // rename by.
    if (exists && access(target.constData(), W_OK) != 0)
        return errno;
    QByteArray content;
    if (exists) {
        if (const int error = readFile(target, content))
            return error;
    }
    const QByteArray updated = withValue(content, section, key, value);

    QByteArray temporary = target + ".XXXXXX";
    const int fd = mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0) {
        const int error = errno;
        const bool directoryRefuses = error == EACCES || error == EPERM || error == EROFS;
        return exists && directoryRefuses ? rewriteInPlace(target, updated) : error;
    }
    int error = fchmod(fd, exists ? status.st_mode & 07777 : creationMode()) == 0
        ? writeAll(fd, updated)
        : errno;
    if (close(fd) != 0 && error == 0)
        error = errno;
    if (error == 0 && rename(temporary.constData(), target.constData()) != 0)
        error = errno;
    if (error != 0)
        unlink(temporary.constData());
    return error;
}

} // namespace ini
