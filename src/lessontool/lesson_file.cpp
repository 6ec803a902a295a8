#include "lessontool/lesson_file.h"

#include "platform/file_error.h"
#include "platform/posix_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

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

platform::FileError failedWrite(const QString &path, int errorNumber)
{
    return {errorNumber,
            QStringLiteral("%1 : écriture impossible (%2)")
                .arg(quotedName(path), writeErrorText(errorNumber))};
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

platform::FileResult<QByteArray> readWholeFile(const QString &path, qsizetype maxBytes)
{
    platform::FileResult<QByteArray> read
        = platform::readRegularFile(QFile::encodeName(path), 0, maxBytes);
    if (read.ok())
        return read;
    const int code = read.error().code;
    const QString why = code == EISDIR ? QStringLiteral("c'est un dossier")
        : code == EINVAL               ? QStringLiteral("ce n'est pas un fichier ordinaire")
        : code == EFBIG                ? QStringLiteral("plus de %1 Mo").arg(maxBytes >> 20)
                                       : platform::fileErrorText(code);
    return platform::FileError {
        code, QStringLiteral("%1 : lecture impossible (%2)").arg(quotedName(path), why)};
}

platform::FileResult<> writeFileAtomically(const QString &path, const QByteArray &bytes,
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
    platform::Descriptor file(::mkostemp(temporary.data(), O_CLOEXEC));
    if (!file.isOpen())
        return failedWrite(path, errno);

    // A new file gets the usual permissions; a replaced one keeps its own.
    const mode_t mode = exists ? existing.st_mode & 07777 : platform::creationMode();
    int error = ::fchmod(file.get(), mode) == 0 ? 0 : errno;
    if (error == 0)
        error = platform::writeFully(file.get(), bytes);
    if (error == 0 && ::fsync(file.get()) != 0)
        error = errno;
    if (error == 0 && ::close(file.release()) != 0)
        error = errno;
    if (error == 0)
        error = platform::moveIntoPlace(temporary, target, replace);
    if (error != 0) {
        ::unlink(temporary.constData());
        return failedWrite(path, error);
    }
    return {};
}
