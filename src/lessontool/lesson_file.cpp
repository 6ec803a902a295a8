#include "lessontool/lesson_file.h"

#include "platform/file_error.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace {

// Closes a descriptor on every way out.
class Descriptor
{
public:
    explicit Descriptor(int fd) : m_fd(fd) { }
    ~Descriptor()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Descriptor(const Descriptor &) = delete;
    Descriptor &operator=(const Descriptor &) = delete;
    int get() const { return m_fd; }
    int release() { return std::exchange(m_fd, -1); }

private:
    int m_fd;
};

void appendUtf16le(QByteArray &out, const QString &text)
{
    const qsizetype at = out.size();
    out.resize(at + text.size() * 2);
    char *data = out.data() + at;
    for (QChar c : text) {
        *data++ = char(c.unicode() & 0xFF);
        *data++ = char(c.unicode() >> 8);
    }
}

bool writeAll(int fd, const char *data, qsizetype size)
{
    while (size > 0) {
        const ssize_t done = ::write(fd, data, std::size_t(size));
        if (done < 0 && errno == EINTR)
            continue;
        if (done < 0)
            return false;
        data += done;
        size -= done;
    }
    return true;
}

QString failedWrite(const QString &path, int errorNumber)
{
    return QStringLiteral("%1 : écriture impossible (%2)")
        .arg(quotedName(path), writeErrorText(errorNumber));
}

// Moves from onto to, failing with EEXIST when to exists and replace is off. Where the file system
// cannot refuse atomically, the check comes just before the rename.
bool moveIntoPlace(const QByteArray &from, const QByteArray &to, bool replace)
{
    if (replace)
        return ::rename(from.constData(), to.constData()) == 0;
    if (::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE) == 0)
        return true;
    if (errno != EINVAL && errno != ENOSYS)
        return false;
    struct stat status;
    if (::lstat(to.constData(), &status) == 0) {
        errno = EEXIST;
        return false;
    }
    return ::rename(from.constData(), to.constData()) == 0;
}

} // namespace

QString quotedName(const QString &path)
{
    return QStringLiteral("« %1 »").arg(path);
}

QString writeErrorText(int errorNumber)
{
    switch (errorNumber) {
    case ENOSPC:
    case EDQUOT:
        return QStringLiteral("disque plein");
    case EFBIG:
        return QStringLiteral("fichier trop grand pour le système");
    case EROFS:
        return QStringLiteral("système de fichiers en lecture seule");
    case EEXIST:
        return QStringLiteral("le fichier existe déjà ; --remplacer pour le remplacer");
    case EISDIR:
        return QStringLiteral("c'est un dossier");
    case ENOTDIR:
    case ENOENT:
        return QStringLiteral("dossier introuvable");
    default:
        return platform::fileErrorText(errorNumber);
    }
}

QByteArray lessonFileBytes(const QList<LessonEntry> &entries)
{
    QByteArray out("\xFF\xFE", 2);
    qsizetype units = 0;
    for (const LessonEntry &entry : entries)
        units += entry.chinese.size() + entry.pinyin.size() + entry.french.size() + 4;
    out.reserve(2 + units * 2);
    static const QString tab(u'\t');
    static const QString lineEnd(QStringLiteral("\r\n"));
    for (const LessonEntry &entry : entries) {
        appendUtf16le(out, entry.chinese);
        appendUtf16le(out, tab);
        appendUtf16le(out, entry.pinyin);
        appendUtf16le(out, tab);
        appendUtf16le(out, entry.french);
        appendUtf16le(out, lineEnd);
    }
    return out;
}

std::optional<QString> readWholeFile(const QString &path, QByteArray &bytes, qsizetype maxBytes)
{
    const QByteArray name = QFile::encodeName(path);
    const auto failed = [&](const QString &why) {
        return QStringLiteral("%1 : lecture impossible (%2)").arg(quotedName(path), why);
    };
    int fd;
    do
        fd = ::open(name.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    while (fd < 0 && errno == EINTR);
    if (fd < 0)
        return failed(platform::fileErrorText(errno));
    const Descriptor file(fd);
    struct stat status;
    if (::fstat(fd, &status) != 0)
        return failed(platform::fileErrorText(errno));
    if (S_ISDIR(status.st_mode))
        return failed(QStringLiteral("c'est un dossier"));
    if (!S_ISREG(status.st_mode))
        return failed(QStringLiteral("ce n'est pas un fichier ordinaire"));
    if (status.st_size > maxBytes)
        return failed(QStringLiteral("plus de %1 Mo").arg(maxBytes >> 20));
    bytes.resize(qsizetype(status.st_size));
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t got = ::read(fd, bytes.data() + done, std::size_t(bytes.size() - done));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return failed(platform::fileErrorText(errno));
        if (got == 0)
            break;
        done += got;
    }
    bytes.truncate(done);
    return std::nullopt;
}

std::optional<QString> writeFileAtomically(const QString &path, const QByteArray &bytes,
                                           bool replace)
{
    const QByteArray target = QFile::encodeName(path);
    struct stat existing;
    const bool exists = ::stat(target.constData(), &existing) == 0;
    if (exists && S_ISDIR(existing.st_mode))
        return failedWrite(path, EISDIR);
    if (exists && !replace)
        return failedWrite(path, EEXIST);

    // The temporary file sits beside the target, so that the rename stays on one file system.
    const QFileInfo info(path);
    QByteArray temporary
        = QFile::encodeName(info.dir().filePath(QStringLiteral(".%1.XXXXXX").arg(info.fileName())));
    Descriptor file(::mkostemp(temporary.data(), O_CLOEXEC));
    if (file.get() < 0)
        return failedWrite(path, errno);

    // A new file gets the usual permissions; a replaced one keeps its own.
    mode_t mode = 0666;
    if (exists) {
        mode = existing.st_mode & 07777;
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode &= ~mask;
    }
    bool ok = ::fchmod(file.get(), mode) == 0
        && writeAll(file.get(), bytes.constData(), bytes.size()) && ::fsync(file.get()) == 0;
    int error = errno;
    if (ok) {
        ok = ::close(file.release()) == 0;
        error = errno;
    }
    if (ok && !moveIntoPlace(temporary, target, replace)) {
        ok = false;
        error = errno;
    }
    if (!ok) {
        ::unlink(temporary.constData());
        return failedWrite(path, error);
    }
    return std::nullopt;
}
