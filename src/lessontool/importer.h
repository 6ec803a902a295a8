#pragma once

#include "lessontool/lesson_file.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

/// How word lists are read.
struct ImportOptions
{
    /// TAB, comma or semicolon; declared by the source ("#separator:") or detected when unset.
    std::optional<QChar> delimiter;
    /// The source columns of the Chinese, pinyin and French fields: 1-based numbers or header
    /// names; an empty text leaves that field empty. When empty, the fields the header names, the
    /// others by position.
    QStringList columns;
    /// The first line (after the comments) is a header; recognised from its names when unset.
    std::optional<bool> header;
    /// Keep pinyin as written, tone numbers included.
    bool rawPinyin = false;
    /// A line with fewer fields than the columns chosen is an entry whose other fields are empty
    /// (a dictionary fills them), not a line passed over.
    bool shortLinesKept = false;
};

/// A line passed over, or a remark on how a source was read.
struct ImportIssue
{
    QString file;
    qsizetype line = 0; ///< 0 when it concerns the whole file
    QString message;
};

/// What the words of one or more lists gave.
struct ImportResult
{
    QList<LessonEntry> entries;
    /// Where each entry comes from, in the same order: its file, and its line as the line field.
    QList<ImportIssue> origins;
    QList<ImportIssue> skipped; ///< lines passed over
    /// Rules applied where a source did not say what a column is; nothing was lost.
    QList<ImportIssue> notes;
    /// Set when a list could not be used at all (unreadable, not decodable, bad columns or
    /// directives): nothing is to be written then.
    std::optional<QString> fatal;
};

/// Adds the entries of one list's bytes (file is the name the messages give). A list is a
/// delimited list, or a dictionary in the CEDICT line format when its first line after the
/// comments is one (and no delimiter was given).
void importBytes(const QString &file, QByteArrayView bytes, const ImportOptions &options,
                 ImportResult &result);

/// Reads and adds every source in order; stops at the first that cannot be used.
ImportResult importFiles(const QStringList &sources, const ImportOptions &options);

/// The columns chosen by --colonnes ("1,2,3", "hanzi,pinyin,sens", "1,,2") as a list;
/// nullopt when it does not name one to three columns.
std::optional<QStringList> parseColumnChoice(const QString &choice);

/// Whether import takes a first line of these cells for a header: no Han character, and at least
/// one cell that names a field (Chinois, Pinyin, Français, English, Meaning...).
bool looksLikeHeader(const QStringList &cells);
