#pragma once

#include "platform/file_error.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

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

/// Reads a whole file given by path for the tool: refused when it is a directory, is not a regular
/// file or passes maxBytes. The error text, in French, names the file.
platform::FileResult<QByteArray> readWholeFile(const QString &path,
                                               qsizetype maxBytes = qsizetype(512) << 20);

/// The French text for a file that could not be read, naming it: why, from the system's error
/// number (EISDIR, EINVAL for a file that is not a regular one, EFBIG past maxBytes...).
QString readErrorText(const QString &path, int code, qsizetype maxBytes);

/// Writes bytes to the file at path by the platform's safe replacement (platform::writeFile): a
/// failure (full disk, no permission) leaves no partial file and the old one untouched; links are
/// followed by the kernel's rule; only a regular file is replaced, keeping its owner, group and
/// mode, and only when replace. The error text, in French, names the file.
platform::FileResult<> writeOutputFile(const QString &path, const QByteArray &bytes, bool replace);

/// The French text for a system error number when writing.
QString writeErrorText(int errorNumber);

/// "« name »" as messages quote a file.
QString quotedName(const QString &path);
