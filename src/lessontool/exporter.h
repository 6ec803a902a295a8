#pragma once

#include "lessontool/lesson_file.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

/// The entries of the lesson file at path, read by the program's own reader; an error, in French
/// and naming the file, when the program would not list it or could not read it completely.
std::optional<QString> readLessonEntries(const QString &path, QList<LessonEntry> &entries);

/// Entries as UTF-8 text, one line per entry, fields joined by TAB, lines ended by LF; a field
/// the program shows as " " (empty in the file) is written empty, and a field holding a double
/// quote is quoted, so that import reads every field back as it was. With header, a first line
/// names the columns.
QByteArray exportText(const QList<LessonEntry> &entries, bool header = false);
