#pragma once

#include "platform/file_error.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <limits>
#include <optional>

class WordList;

/// The three parallel word lists that lessons are read into.
struct WordListsRef
{
    WordList &ch;
    WordList &pin;
    WordList &fr;
};

/// Appends the entries of a lesson file's bytes: UTF-16 LE, a leading U+FEFF skipped, lines ended
/// by CR LF, LF or CR (a last line without an end counts too), fields split by TAB, fields after
/// the third ignored, empty fields stored as " ", lines whose three fields are empty skipped.
/// Returns false when the length is odd; the complete lines before the stray byte are appended.
bool parseLesson(QByteArrayView bytes, WordListsRef lists);

/// Reads the file name (relative to the working directory) a block at a time and parses it, as
/// parseLesson() would parse its whole content; the file is never held whole, only its longest
/// line. Out of memory, or more text than the lists can hold, is ENOMEM, the lists holding the
/// entries before it. A file longer than maxBytes is refused (EFBIG) before anything is read; no
/// more than the length it had then is ever read.
platform::FileResult<> readLessonFile(const QByteArray &name, WordListsRef lists,
                                      qsizetype maxBytes = std::numeric_limits<qsizetype>::max());

/// The size of readLessonFile()'s blocks, in units; 0 restores the usual one. Tests set a few units
/// to put block ends everywhere.
void setLessonBlockUnits(qsizetype units);

/// The line that names a lesson under a failure's message: « name.txt ».
QString lessonNameLine(const QByteArray &name);

/// What the listing makes of a "*.txt" entry.
enum class ProbeResult
{
    Lesson, ///< begins with the bytes FF FE
    NotLesson, ///< anything else: other text, fewer than two bytes, a directory
};

/// Looks at the first two bytes of the entry name; an error when it cannot be opened.
platform::FileResult<ProbeResult> probeLesson(const QByteArray &name);
