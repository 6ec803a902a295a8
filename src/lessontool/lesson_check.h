#pragma once

#include "lessontool/lesson_file.h"

#include <QList>
#include <QString>

namespace lessontool {

/// What the program makes of one lesson file, and what a learner may want to mend in it.
struct LessonCheck
{
    QString path;
    bool listed = false;
    QString notListedReason; ///< why the program does not list it
    QString readError; ///< the program's message when reading stops (empty: read completely)
    QString tooLarge; ///< why the tool did not read it at all (empty: it did)
    qsizetype entries = 0;

    struct MissingField
    {
        qsizetype entry = 0; ///< 1-based
        QString chinese;
        QStringList fields; ///< "pinyin", "français" or "chinois"
    };
    QList<MissingField> missing; ///< entries with a field shown as " "

    struct ExtraFields
    {
        qsizetype line = 0; ///< 1-based
        qsizetype fields = 0;
    };
    QList<ExtraFields> extra; ///< lines with more than three fields

    struct Duplicate
    {
        QString chinese;
        QList<qsizetype> entries; ///< 1-based, in order
    };
    QList<Duplicate> duplicates; ///< Chinese texts held by more than one entry

    qsizetype distinctChinese = 0;
    bool testAlone = false; ///< test mode can draw questions from this lesson alone

    /// Listed and read to its end: the state that verifier accepts.
    bool ok() const { return listed && readError.isEmpty() && tooLarge.isEmpty(); }
};

/// Checks the file at path with the program's own listing test and reader, reading no more than
/// maxBytes of it (tooLarge says so). Out of memory throws std::bad_alloc.
LessonCheck checkLesson(const QString &path, qsizetype maxBytes = maxReadBytes);

/// The report of a check, in French, one line for the verdict and indented details (at most
/// maxDetails of each kind).
QString checkReport(const LessonCheck &check, int maxDetails = 10);

} // namespace lessontool
