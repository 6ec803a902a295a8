#pragma once

#include "platform/file_error.h"
#include "platform/file_replacement.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

namespace lessontool {

/// One word entry as the tool handles it: the Chinese, pinyin and French texts.
struct LessonEntry
{
    QString chinese;
    QString pinyin;
    QString french;

    friend bool operator==(const LessonEntry &, const LessonEntry &) = default;
};

/// The bytes of a lesson file: FF FE, then one line per entry, the three fields joined by TAB and
/// ended by CR LF, in UTF-16 LE. Fields must hold no TAB, CR or LF (see lessonField).
QByteArray lessonFileBytes(const QList<LessonEntry> &entries);

/// The most the tool reads of one file, as a list to import, a lesson to check or to export: far
/// above any real list, and within what the import of one needs in memory (about three times its
/// size).
inline constexpr qsizetype maxReadBytes = qsizetype(512) << 20;

/// Reads a whole file given by path for the tool: refused when it is a directory, is not a regular
/// file or passes maxBytes, also while it is read. The error text, in French, names the file.
platform::FileResult<QByteArray> readWholeFile(const QString &path,
                                               qsizetype maxBytes = maxReadBytes);

/// "« name »" as messages quote a file, its odd bytes and control characters made visible.
QString quotedName(const QString &path);

/// Why the tool read no more of a file of more than maxBytes.
QString tooLargeText(qsizetype maxBytes);

/// The French text for a file that could not be read, naming it: why, from the system's error
/// number (EISDIR, EINVAL for a file that is not a regular one, EFBIG past maxBytes...).
QString readErrorText(const QString &path, int code, qsizetype maxBytes);

/// Writes bytes to the file at path by the platform's safe replacement (platform::writeFile): a
/// failure (full disk, no permission) leaves no partial file and the old one untouched; links are
/// followed by the kernel's rule; only a regular file is replaced, keeping its owner, group and
/// mode, and only when replace. The error text, in French, names the file.
platform::FileResult<> writeOutputFile(const QString &path, const QByteArray &bytes, bool replace);

/// writeOutputFile() with the content given piece by piece (platform::ContentSource). An error
/// the source gives back is passed on as it is, with the French text of the refusal.
platform::FileResult<> writeOutputFile(const QString &path, const platform::ContentSource &content,
                                       bool replace);

/// The French text for a system error number when writing.
QString writeErrorText(int errorNumber);

/// Writes a lesson file's bytes (lessonFileBytes) piece by piece into a sink, an entry at a time,
/// so that the lesson is never held whole.
class LessonWriter
{
public:
    explicit LessonWriter(const platform::ContentSink &sink);
    /// Adds an entry; 0 or the sink's error, after which nothing more is written.
    int add(const LessonEntry &entry);
    /// Writes what is left; 0 or the sink's error.
    int finish();

private:
    int flushIfFull();

    platform::ContentSink m_sink;
    QByteArray m_pending;
    int m_error = 0;
};

} // namespace lessontool
