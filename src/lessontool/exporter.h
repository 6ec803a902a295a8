#pragma once

#include "lessontool/lesson_file.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

namespace lessontool {

/// The entries of the lesson file at path, read by the program's own reader; an error, in French
/// and naming the file, when the program would not list it, could not read it completely, or it
/// is longer than maxBytes. Out of memory throws std::bad_alloc.
std::optional<QString> readLessonEntries(const QString &path, QList<LessonEntry> &entries,
                                         qsizetype maxBytes = maxReadBytes);

/// Entries as UTF-8 text, one line per entry, fields joined by TAB, lines ended by LF, which
/// import reads back to the same entries: a field the program shows as " " (empty in the file) is
/// written empty; one that holds a quote or begins with '#' is quoted; a first line "#html:false"
/// when a field holds '<' or '&'; the header line chinois, pinyin, français with header, or when
/// the first entry would be taken for a header.
QByteArray exportText(const QList<LessonEntry> &entries, bool header = false);

} // namespace lessontool
