#include "platform/file_replacement.h"

#include "platform/posix_file.h"

#include <QByteArrayList>
#include <QRandomGenerator>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdio>
#include <dirent.h>
#include <fcntl.h>
#include <limits>
#include <new>
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace platform {
namespace {

/// Renames from onto to; 0 or errno. Without replace, fails with EEXIST when to exists; where the
/// file system cannot refuse atomically, the check comes just before the rename.
int moveIntoPlace(const QByteArray &from, const QByteArray &to, bool replace)
{
    if (replace)
        return ::rename(from.constData(), to.constData()) == 0 ? 0 : errno;
    if (::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS)
        return errno;
    struct stat status
    {
    };
    if (::lstat(to.constData(), &status) == 0)
        return EEXIST;
    return ::rename(from.constData(), to.constData()) == 0 ? 0 : errno;
}

/// The mode a new file gets: 0666 less the umask.
mode_t creationMode()
{
    // umask can only be read by setting it; it is put back at once.
    const mode_t mask = umask(0);
    umask(mask);
    return 0666 & ~mask;
}

void (*stepHook)(WriteStep) = nullptr;
bool unnamedTemporaries = true;

void reach(WriteStep step)
{
    if (stepHook)
        stepHook(step);
}

/// Calls source with sink; out of memory, while the content is made, abandons the replacement
/// like any other failure, so that its temporary is removed.
int produce(const ContentSource &source, const ContentSink &sink)
{
    try {
        return source(sink);
    } catch (const std::bad_alloc &) {
        return ENOMEM;
    }
}

/// The whole content of source, for the ways that need it at once.
int collect(const ContentSource &source, QByteArray &bytes)
{
    return produce(source, [&bytes](QByteArrayView piece) {
        bytes.append(piece);
        return 0;
    });
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
/// tail; the content is made whole before the file is touched.
int rewriteInPlace(const QByteArray &path, const ContentSource &source)
{
    QByteArray bytes;
    if (const int error = collect(source, bytes))
        return error;
    Descriptor file = openRetrying(path, O_WRONLY | O_CLOEXEC | O_NOFOLLOW);
    if (!file.isOpen())
        return errno;
    int error = writeFully(file.get(), bytes, 0);
    if (error == 0 && (ftruncate(file.get(), off_t(bytes.size())) != 0 || fsync(file.get()) != 0))
        error = errno;
    if (close(file.release()) != 0 && error == 0)
        return errno;
    return error;
}

/// Temporaries are hidden files beside the target: ".<name>.tmp." and six letters or digits.
QByteArray temporaryPrefix(const QByteArray &target)
{
    return directoryOf(target) + '.' + target.sliced(target.lastIndexOf('/') + 1) + ".tmp.";
}

/// Whether name is a temporary's: '.', a name, ".tmp." and six letters or digits.
bool isTemporaryName(QByteArrayView name)
{
    static constexpr QByteArrayView infix(".tmp.");
    const qsizetype infixAt = name.size() - 6 - infix.size();
    if (infixAt < 2 || !name.startsWith('.') || name.sliced(infixAt, infix.size()) != infix)
        return false;
    for (const char c : name.sliced(infixAt + infix.size())) {
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')))
            return false;
    }
    return true;
}

/// Removes the temporaries that writes killed before their rename left in the directory of
/// target, whatever file they were for: our own files named like them whose writer no longer holds
/// their lock (a running writer, in this or another process, keeps its temporary locked until it
/// is in place). Another user's files are never touched.
void removeStaleTemporaries(const QByteArray &target)
{
    DIR *directory = opendir(directoryOf(target).constData());
    if (!directory)
        return;
    const int directoryFd = dirfd(directory);
    while (const dirent *entry = readdir(directory)) {
        if (!isTemporaryName(entry->d_name))
            continue;
        const Descriptor file(
            openat(directoryFd, entry->d_name, O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK));
        if (!file.isOpen())
            continue;
        const int fd = file.get();
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
    }
    closedir(directory);
}

/// A new file for the replacement, locked while it lives. Unnamed where the file system allows,
/// so that a write killed before it is complete leaves nothing behind; named otherwise.
struct Temporary
{
    Descriptor fd;
    QByteArray name; ///< empty while unnamed
};

int createTemporary(const QByteArray &target, Temporary &temporary)
{
    if (unnamedTemporaries) {
        temporary.fd.reset(
            open(directoryOf(target).constData(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600));
        // File systems without unnamed files say so in one of these ways.
        if (!temporary.fd.isOpen() && errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL)
            return errno;
    }
    if (!temporary.fd.isOpen()) {
        temporary.name = temporaryPrefix(target) + "XXXXXX";
        temporary.fd.reset(mkostemp(temporary.name.data(), O_CLOEXEC));
        if (!temporary.fd.isOpen())
            return errno;
    }
    return flock(temporary.fd.get(), LOCK_EX) == 0 ? 0 : errno;
}

/// Links the unnamed temporary under a free temporary name, the last step before the rename.
int nameTemporary(Temporary &temporary, const QByteArray &target)
{
    static constexpr char letters[]
        = "0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ";
    const QByteArray self = "/proc/self/fd/" + QByteArray::number(temporary.fd.get());
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
            error = linkat(temporary.fd.get(), "", AT_FDCWD, name.constData(), AT_EMPTY_PATH) == 0
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

/// Gives fd the owner and group wanted, when it has others; EPERM where only root could.
int chownTo(int fd, uid_t owner, gid_t group)
{
    struct stat now
    {
    };
    if (fstat(fd, &now) != 0)
        return errno;
    if (now.st_uid == owner && now.st_gid == group)
        return 0;
    return fchown(fd, owner, group) == 0 ? 0 : errno;
}

/// What root makes in another user's directory becomes that user's, like the directory (fd: the
/// new file or directory, made by us in directory). Anyone else keeps what the system gives.
int adoptDirectoryOwner(int fd, const QByteArray &directory)
{
    if (geteuid() != 0)
        return 0;
    struct stat parent
    {
    };
    if (stat(directory.constData(), &parent) != 0)
        return errno;
    return chownTo(fd, parent.st_uid, parent.st_gid);
}

/// Writes the content of source at the start of the new file fd, then syncs; 0 or errno.
int writeNew(int fd, const ContentSource &source)
{
    if (const int error
        = produce(source, [fd](QByteArrayView piece) { return writeFully(fd, piece); }))
        return error;
    return fsync(fd) == 0 ? 0 : errno;
}

/// Puts the content of source in place of target (old: its status, null when it is new): written
/// into a temporary, then renamed over it, so that the file is always either the old or the new
/// one. A file that was absent is never renamed over: one that appeared meanwhile stays (EEXIST).
int replaceFile(const QByteArray &target, const struct stat *old, const ContentSource &source)
{
    removeStaleTemporaries(target);
    Temporary temporary;
    int error = createTemporary(target, temporary);
    if (!temporary.fd.isOpen()) {
        const bool directoryRefuses = error == EACCES || error == EPERM || error == EROFS;
        return old && directoryRefuses ? rewriteInPlace(target, source) : error;
    }
    if (error == 0)
        error = old ? chownTo(temporary.fd.get(), old->st_uid, old->st_gid)
                    : adoptDirectoryOwner(temporary.fd.get(), directoryOf(target));
    // Another user's file that we may write but not own: rewriting it in place keeps it theirs.
    if (error == EPERM && old) {
        if (!temporary.name.isEmpty())
            unlink(temporary.name.constData());
        temporary.fd.reset();
        return rewriteInPlace(target, source);
    }
    if (error == 0 && fchmod(temporary.fd.get(), old ? old->st_mode & 07777 : creationMode()) != 0)
        error = errno;
    if (error == 0)
        error = writeNew(temporary.fd.get(), source);
    if (error == 0) {
        reach(WriteStep::Written);
        if (temporary.name.isEmpty())
            error = nameTemporary(temporary, target);
    }
    if (error == 0) {
        reach(WriteStep::Named);
        error = moveIntoPlace(temporary.name, target, old != nullptr);
    }
    if (error != 0 && !temporary.name.isEmpty())
        unlink(temporary.name.constData());
    // Closed only now: the lock tells other writers that the temporary is still in use.
    if (close(temporary.fd.release()) != 0 && error == 0)
        error = errno;
    return error;
}

/// The file that a write to path replaces or creates: the end of its links, followed by the
/// kernel's rule, whether it exists, and its status then.
struct Target
{
    QByteArray path;
    bool exists = false;
    struct stat status
    {
    };
};

/// Finds the target of a write to path; 0 or errno. Only a regular file is ever replaced (EISDIR
/// for a directory, EINVAL for anything else), and a link to nothing is never written through: a
/// file would appear wherever it points (ENOENT).
int findTarget(const QByteArray &path, Target &target)
{
    target.path = path;
    if (const int error = resolveLinks(target.path))
        return error;
    target.exists = lstat(target.path.constData(), &target.status) == 0;
    if (!target.exists && errno == ENOENT && target.path != path) {
        // A link that only the kernel resolves, such as /dev/stdout to a pipe: what it reaches
        // is there, and is no regular file.
        struct stat reached
        {
        };
        if (stat(path.constData(), &reached) == 0 && !S_ISREG(reached.st_mode))
            return S_ISDIR(reached.st_mode) ? EISDIR : EINVAL;
        return ENOENT;
    }
    if (!target.exists)
        return errno == ENOENT && target.path == path ? 0 : errno;
    if (!S_ISREG(target.status.st_mode))
        return S_ISDIR(target.status.st_mode) ? EISDIR : EINVAL;
    return 0;
}

/// A read-only file is the learner's refusal, even where the directory would let a rename by.
/// Checked with the identity that writes (access() would take the real one).
int writable(const Target &target)
{
    return !target.exists || faccessat(AT_FDCWD, target.path.constData(), W_OK, AT_EACCESS) == 0
        ? 0
        : errno;
}

/// How long an edit waits for another program's lock on the directory before it gives up.
constexpr auto lockPatience = std::chrono::seconds(1);
constexpr auto lockRetryPause = std::chrono::milliseconds(10);

/// An advisory lock on a directory, held while it lives. On the directory rather than on the
/// file, which is replaced by every write, and without a lock file, so that nothing new appears
/// beside it.
class DirectoryLock
{
public:
    /// 0 once held, EWOULDBLOCK when another holder kept it for lockPatience, or errno. A
    /// directory that we may write in but not read cannot be locked: it is written unlocked.
    int acquire(const QByteArray &directory)
    {
        m_fd.reset(openRetrying(directory, O_RDONLY | O_DIRECTORY | O_CLOEXEC).release());
        if (!m_fd.isOpen())
            return errno == EACCES ? 0 : errno;
        const auto deadline = std::chrono::steady_clock::now() + lockPatience;
        while (flock(m_fd.get(), LOCK_EX | LOCK_NB) != 0) {
            if (errno != EWOULDBLOCK && errno != EINTR)
                return errno;
            if (std::chrono::steady_clock::now() >= deadline)
                return EWOULDBLOCK;
            std::this_thread::sleep_for(lockRetryPause);
        }
        return 0;
    }

private:
    // Closing the descriptor releases the lock.
    Descriptor m_fd;
};

/// editFile's work; 0 or errno.
int editContent(const QByteArray &path, const Edit &edit, qsizetype maxBytes)
{
    Target target;
    if (const int error = findTarget(path, target))
        return error;
    DirectoryLock lock;
    if (const int error = lock.acquire(directoryOf(target.path)))
        return error;
    // Looked at again under the lock: another program may have made the file meanwhile.
    if (const int error = findTarget(path, target))
        return error;
    if (const int error = writable(target))
        return error;
    QByteArray content;
    if (target.exists) {
        const FileResult<QByteArray> read = readRegularFile(target.path, O_NOFOLLOW, maxBytes);
        if (!read.ok())
            return read.error().code;
        content = read.value();
    }
    const std::optional<QByteArray> edited = edit(content);
    if (!edited)
        return EILSEQ;
    return replaceFile(target.path, target.exists ? &target.status : nullptr,
                       [&edited](const ContentSink &sink) { return sink(*edited); });
}

/// writeFile's work; 0 or errno.
int writeContent(const QByteArray &path, const ContentSource &source, bool replaceExisting)
{
    Target target;
    if (const int error = findTarget(path, target))
        return error;
    if (target.exists && !replaceExisting)
        return EEXIST;
    if (const int error = writable(target))
        return error;
    return replaceFile(target.path, target.exists ? &target.status : nullptr, source);
}

/// The missing directories on the way to directory, the outermost first.
QByteArrayList missingDirectories(QByteArray directory)
{
    QByteArrayList missing;
    while (directory.size() > 1 && directory.endsWith('/'))
        directory.chop(1);
    struct stat status
    {
    };
    while (!directory.isEmpty() && directory != "/" && lstat(directory.constData(), &status) != 0
           && errno == ENOENT) {
        missing.prepend(directory);
        const qsizetype slash = directory.lastIndexOf('/');
        directory = slash < 0 ? QByteArray() : directory.left(std::max<qsizetype>(slash, 1));
    }
    return missing;
}

/// Makes one directory, and gives it its parent's owner when root makes it (adoptDirectoryOwner).
/// The new directory is opened without following a link, so that a link put in its place
/// meanwhile never gives its target away.
int makeDirectory(const QByteArray &directory)
{
    if (mkdir(directory.constData(), 0700) != 0)
        return errno;
    if (geteuid() != 0)
        return 0;
    const Descriptor made
        = openRetrying(directory, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    struct stat status
    {
    };
    if (!made.isOpen() || fstat(made.get(), &status) != 0)
        return errno;
    if (status.st_uid != geteuid())
        return 0; // not the one we made: left as it is
    const qsizetype slash = directory.lastIndexOf('/');
    const QByteArray parent
        = slash < 0 ? QByteArray(".") : directory.left(std::max<qsizetype>(slash, 1));
    const int error = adoptDirectoryOwner(made.get(), parent);
    if (error != 0)
        rmdir(directory.constData());
    return error;
}

} // namespace

FileResult<> editFile(const QByteArray &path, const Edit &edit, qsizetype maxBytes)
{
    if (const int error = editContent(path, edit, maxBytes))
        return FileError::fromErrno(error);
    return {};
}

FileResult<> writeFile(const QByteArray &path, QByteArrayView bytes, bool replaceExisting)
{
    return writeFile(
        path, [bytes](const ContentSink &sink) { return sink(bytes); }, replaceExisting);
}

FileResult<> writeFile(const QByteArray &path, const ContentSource &content, bool replaceExisting)
{
    if (const int error = writeContent(path, content, replaceExisting))
        return FileError::fromErrno(error);
    return {};
}

FileResult<> makeDirectories(const QByteArray &directory)
{
    QByteArrayList made;
    for (const QByteArray &missing : missingDirectories(directory)) {
        const int error = makeDirectory(missing);
        if (error == 0)
            made.append(missing);
        if (error == 0 || error == EEXIST)
            continue;
        // Nothing half-made stays behind: the directories made so far go, innermost first.
        std::for_each(made.crbegin(), made.crend(),
                      [](const QByteArray &path) { rmdir(path.constData()); });
        return FileError::fromErrno(error);
    }
    return {};
}

void setWriteStepHook(void (*hook)(WriteStep))
{
    stepHook = hook;
}

void setUnnamedTemporaries(bool allowed)
{
    unnamedTemporaries = allowed;
}

} // namespace platform
