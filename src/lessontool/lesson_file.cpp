#include "lessontool/lesson_file.h"

#include "lessontool/file_names.h"
#include "platform/file_error.h"
#include "platform/posix_file.h"

#include <cerrno>
#include <sys/stat.h>

namespace lessontool {

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

platform::FileError failedWrite(const QString &path, int errorNumber, const QString &why)
{
    return {errorNumber,
            QStringLiteral("%1 : écriture impossible (%2)").arg(quotedName(path), why)};
}

} // namespace

QString quotedName(const QString &path)
{
    return QStringLiteral("« %1 »").arg(file_names::visible(path));
}

QString tooLargeText(qsizetype maxBytes)
{
    return QStringLiteral("plus de %1 Mo").arg(maxBytes >> 20);
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
    case EINVAL:
        return QStringLiteral("ce n'est pas un fichier ordinaire");
    case EACCES:
        return QStringLiteral("accès refusé : fichier en lecture seule ou dossier protégé");
    case ELOOP:
        return QStringLiteral("trop de liens symboliques");
    case ENOTDIR:
    case ENOENT:
        return QStringLiteral("dossier introuvable");
    case ENOMEM:
        return QStringLiteral("mémoire insuffisante");
    default:
        return platform::fileErrorText(errorNumber);
    }
}

QByteArray lessonFileBytes(const QList<LessonEntry> &entries)
{
    QByteArray out;
    LessonWriter writer([&out](QByteArrayView piece) {
        out.append(piece);
        return 0;
    });
    for (const LessonEntry &entry : entries)
        writer.add(entry);
    writer.finish();
    return out;
}

namespace {

/// What a lesson writer gathers before it hands it on.
constexpr qsizetype pendingBytes = qsizetype(1) << 20;

} // namespace

LessonWriter::LessonWriter(const platform::ContentSink &sink) : m_sink(sink)
{
    m_pending.reserve(pendingBytes + 4096);
    m_pending.append("\xFF\xFE", 2);
}

int LessonWriter::add(const LessonEntry &entry)
{
    if (m_error != 0)
        return m_error;
    static const QString tab(u'\t');
    static const QString lineEnd(QStringLiteral("\r\n"));
    appendUtf16le(m_pending, entry.chinese);
    appendUtf16le(m_pending, tab);
    appendUtf16le(m_pending, entry.pinyin);
    appendUtf16le(m_pending, tab);
    appendUtf16le(m_pending, entry.french);
    appendUtf16le(m_pending, lineEnd);
    return flushIfFull();
}

int LessonWriter::flushIfFull()
{
    if (m_pending.size() < pendingBytes)
        return 0;
    m_error = m_sink(m_pending);
    m_pending.resize(0);
    return m_error;
}

int LessonWriter::finish()
{
    if (m_error == 0 && !m_pending.isEmpty())
        m_error = m_sink(m_pending);
    m_pending.resize(0);
    return m_error;
}

platform::FileResult<QByteArray> readWholeFile(const QString &path, qsizetype maxBytes)
{
    platform::FileResult<QByteArray> read
        = platform::readRegularFile(file_names::bytesOf(path), 0, maxBytes);
    if (read.ok())
        return read;
    const int code = read.error().code;
    return platform::FileError {code, readErrorText(path, code, maxBytes)};
}

QString readErrorText(const QString &path, int code, qsizetype maxBytes)
{
    const QString why = code == EISDIR ? QStringLiteral("c'est un dossier")
        : code == EINVAL               ? QStringLiteral("ce n'est pas un fichier ordinaire")
        : code == EFBIG                ? tooLargeText(maxBytes)
        : code == ENOMEM               ? writeErrorText(code)
                                       : platform::fileErrorText(code);
    return QStringLiteral("%1 : lecture impossible (%2)").arg(quotedName(path), why);
}

platform::FileResult<> writeOutputFile(const QString &path, const QByteArray &bytes, bool replace)
{
    return writeOutputFile(
        path, [&bytes](const platform::ContentSink &sink) { return sink(bytes); }, replace);
}

platform::FileResult<> writeOutputFile(const QString &path, const platform::ContentSource &content,
                                       bool replace)
{
    const QByteArray name = file_names::bytesOf(path);
    const platform::FileResult<> written = platform::writeFile(name, content, replace);
    if (written.ok())
        return {};
    const int code = written.error().code;
    // The two refusals that come from a symbolic link say so; a plain ENOENT is a missing folder.
    struct stat link
    {
    };
    const bool isLink = ::lstat(name.constData(), &link) == 0 && S_ISLNK(link.st_mode);
    const QString why = isLink && code == ENOENT
        ? QStringLiteral("lien symbolique vers un fichier absent")
        : isLink && code == EACCES
        ? QStringLiteral("lien symbolique d'un autre utilisateur dans un dossier partagé, ou "
                         "fichier en lecture seule")
        : writeErrorText(code);
    return failedWrite(path, code, why);
}

} // namespace lessontool
