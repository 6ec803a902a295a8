#include "platform/ini_file.h"

#include <QRandomGenerator>

#include <array>
#include <cerrno>
#include <climits>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform::ini {
namespace {

void (*stepHook)(WriteStep) = nullptr;
bool unnamedTemporaries = true;

void reach(WriteStep step)
{
    if (stepHook)
        stepHook(step);
}

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
int readFile(const QByteArray &path, QByteArray &bytes, int extraFlags = 0)
{
    const int fd = open(path.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | extraFlags);
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

/// The directory part of path, up to and including its last separator; "./" for a bare name.
QByteArray directoryOf(const QByteArray &path)
{
    const qsizetype slash = path.lastIndexOf('/');
    return slash < 0 ? QByteArray("./") : path.left(slash + 1);
}

/// The kernel's rule for links (fs.protected_symlinks), kept even where the kernel's own check is
/// off and whatever our privileges: a link in a sticky world-writable directory, such as /tmp, is
/// followed only when it is ours or its owner owns the directory. Another user's link there would
/// otherwise make us rewrite, or create, a file of their choosing.
bool mayFollow(const QByteArray &linkPath, const struct stat &link)
{
    if (link.st_uid == geteuid())
        return true;
    struct stat directory
    {
    };
    if (stat(directoryOf(linkPath).constData(), &directory) != 0)
        return false;
    const bool shared = (directory.st_mode & S_ISVTX) != 0 && (directory.st_mode & S_IWOTH) != 0;
    return !shared || directory.st_uid == link.st_uid;
}

/// Follows symbolic links to the file that path finally names, so that a write replaces the target
/// and the link stays a link. A missing final target is left to the caller.
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
        if (!mayFollow(path, status))
            return EACCES;
        QByteArray link(PATH_MAX, '\0');
        const ssize_t length = readlink(path.constData(), link.data(), size_t(link.size()));
        if (length < 0)
            return errno;
        if (length >= link.size())
            return ENAMETOOLONG;
        link.truncate(length);
        path = link.startsWith('/') ? link : directoryOf(path) + link;
    }
    return ELOOP;
}

/// Rewrites the file where it stands, for a directory that takes no new file. Not atomic, but the
/// old bytes are overwritten rather than freed first, so a full disk can cut at most the grown
/// tail.
int rewriteInPlace(const QByteArray &path, QByteArrayView bytes)
{
    const int fd = open(path.constData(), O_WRONLY | O_CLOEXEC | O_NOFOLLOW);
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

/// Temporaries are hidden files beside the target: ".<name>.tmp." and six letters or digits.
QByteArray temporaryPrefix(const QByteArray &target)
{
    return directoryOf(target) + '.' + target.sliced(target.lastIndexOf('/') + 1) + ".tmp.";
}

bool isTemporaryName(QByteArrayView name, QByteArrayView prefix)
{
    if (name.size() != prefix.size() + 6 || !name.startsWith(prefix))
        return false;
    for (const char c : name.sliced(prefix.size())) {
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')))
            return false;
    }
    return true;
}

/// Removes the temporaries of writes that were killed before they were renamed into place: our
/// own files named like them whose writer no longer holds their lock (a running writer, in this or
/// another process, keeps its temporary locked until it is in place).
void removeStaleTemporaries(const QByteArray &target)
{
    const QByteArray prefixPath = temporaryPrefix(target);
    const QByteArray prefix = prefixPath.sliced(prefixPath.lastIndexOf('/') + 1);
    DIR *directory = opendir(directoryOf(target).constData());
    if (!directory)
        return;
    const int directoryFd = dirfd(directory);
    while (const dirent *entry = readdir(directory)) {
        if (!isTemporaryName(entry->d_name, prefix))
            continue;
        const int fd
            = openat(directoryFd, entry->d_name, O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
        if (fd < 0)
            continue;
        struct stat held
        {
        };
        struct stat named
        {
        };
        // The name must still be the file that was found unlocked.
        if (fstat(fd, &held) == 0 && S_ISREG(held.st_mode) && held.st_uid == geteuid()
            && flock(fd, LOCK_EX | LOCK_NB) == 0
            && fstatat(directoryFd, entry->d_name, &named, AT_SYMLINK_NOFOLLOW) == 0
            && named.st_dev == held.st_dev && named.st_ino == held.st_ino)
            unlinkat(directoryFd, entry->d_name, 0);
        close(fd);
    }
    closedir(directory);
}

/// A new file for the replacement, locked while it lives. Unnamed where the file system allows,
/// so that a write killed before it is complete leaves nothing behind; named otherwise.
struct Temporary
{
    int fd = -1;
    QByteArray name; ///< empty while unnamed
};

int createTemporary(const QByteArray &target, Temporary &temporary)
{
    if (unnamedTemporaries) {
        temporary.fd
            = open(directoryOf(target).constData(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
        // File systems without unnamed files say so in one of these ways.
        if (temporary.fd < 0 && errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL)
            return errno;
    }
    if (temporary.fd < 0) {
        temporary.name = temporaryPrefix(target) + "XXXXXX";
        temporary.fd = mkostemp(temporary.name.data(), O_CLOEXEC);
        if (temporary.fd < 0)
            return errno;
    }
    return flock(temporary.fd, LOCK_EX) == 0 ? 0 : errno;
}

/// Links the unnamed temporary under a free temporary name, the last step before the rename.
int nameTemporary(Temporary &temporary, const QByteArray &target)
{
    static constexpr char letters[]
        = "0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ";
    const QByteArray self = "/proc/self/fd/" + QByteArray::number(temporary.fd);
    for (int attempt = 0; attempt < 100; ++attempt) {
        QByteArray name = temporaryPrefix(target);
        for (int i = 0; i < 6; ++i)
            name.append(letters[QRandomGenerator::global()->bounded(int(sizeof letters) - 1)]);
        int error
            = linkat(AT_FDCWD, self.constData(), AT_FDCWD, name.constData(), AT_SYMLINK_FOLLOW) == 0
            ? 0
            : errno;
        // Without /proc, root can still link the descriptor itself.
        if (error == ENOENT)
            error = linkat(temporary.fd, "", AT_FDCWD, name.constData(), AT_EMPTY_PATH) == 0
                ? 0
                : errno;
        if (error != EEXIST) {
            if (error == 0)
                temporary.name = name;
            return error;
        }
    }
    return EEXIST;
}

/// Gives the replacement the old file's owner and group, so that root's write leaves a learner's
/// file theirs. EPERM where only root could.
int keepOwner(int fd, const struct stat &old)
{
    struct stat now
    {
    };
    if (fstat(fd, &now) != 0)
        return errno;
    if (now.st_uid == old.st_uid && now.st_gid == old.st_gid)
        return 0;
    return fchown(fd, old.st_uid, old.st_gid) == 0 ? 0 : errno;
}

/// Puts bytes in place of target (old: its status, null when it is new): written into a
/// temporary, then renamed over it, so that the file is always either the old or the new one.
int replaceFile(const QByteArray &target, const struct stat *old, QByteArrayView bytes)
{
    removeStaleTemporaries(target);
    Temporary temporary;
    int error = createTemporary(target, temporary);
    if (temporary.fd < 0) {
        const bool directoryRefuses = error == EACCES || error == EPERM || error == EROFS;
        return old && directoryRefuses ? rewriteInPlace(target, bytes) : error;
    }
    if (error == 0 && old)
        error = keepOwner(temporary.fd, *old);
    // Another user's file that we may write but not own: rewriting it in place keeps it theirs.
    if (error == EPERM && old) {
        if (!temporary.name.isEmpty())
            unlink(temporary.name.constData());
        close(temporary.fd);
        return rewriteInPlace(target, bytes);
    }
    if (error == 0 && fchmod(temporary.fd, old ? old->st_mode & 07777 : creationMode()) != 0)
        error = errno;
    if (error == 0)
        error = writeAll(temporary.fd, bytes);
    if (error == 0) {
        reach(WriteStep::Written);
        if (temporary.name.isEmpty())
            error = nameTemporary(temporary, target);
    }
    if (error == 0) {
        reach(WriteStep::Named);
        if (rename(temporary.name.constData(), target.constData()) != 0)
            error = errno;
    }
    if (error != 0 && !temporary.name.isEmpty())
        unlink(temporary.name.constData());
    // Closed only now: the lock tells other writers that the temporary is still in use.
    if (close(temporary.fd) != 0 && error == 0)
        error = errno;
    return error;
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
    const bool exists = lstat(target.constData(), &status) == 0;
    if (!exists && errno != ENOENT)
        return errno;
    // A link to nothing is never written through: a file would appear wherever it points.
    if (!exists && target != path)
        return ENOENT;
    // A read-only settings file is the learner's refusal, even where the directory would let a
    // rename by.
    if (exists && access(target.constData(), W_OK) != 0)
        return errno;
    QByteArray content;
    if (exists) {
        if (const int error = readFile(target, content, O_NOFOLLOW))
            return error;
    }
    return replaceFile(target, exists ? &status : nullptr, withValue(content, section, key, value));
}

void setWriteStepHook(void (*hook)(WriteStep))
{
    stepHook = hook;
}

void setUnnamedTemporaries(bool allowed)
{
    unnamedTemporaries = allowed;
}

} // namespace platform::ini
