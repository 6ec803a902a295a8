#pragma once

#include "lessontool/lesson_file.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

/// How word lists are read.
struct ImportOptions
{
    /// TAB, comma or semicolon; detected from the first lines when unset.
    std::optional<QChar> delimiter;
    /// The source columns of the Chinese, pinyin and French fields: 1-based numbers or header
    /// names; an empty text leaves that field empty. Chinese, pinyin, French (or the header's
    /// names for them) when empty.
    QStringList columns;
    /// The first line (after the comments) is a header; recognised from its names when unset.
    std::optional<bool> header;
    /// Keep pinyin as written, tone numbers included.
    bool rawPinyin = false;
};

/// A line passed over, or another remark on a source.
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
    QList<ImportIssue> skipped; ///< lines passed over
    /// Set when a list could not be used at all (unreadable, not decodable, bad columns): nothing
    /// is to be written then.
    std::optional<QString> fatal;
};

/// Adds the entries of one list's bytes (file is the name the messages give).
void importBytes(const QString &file, QByteArrayView bytes, const ImportOptions &options,
                 ImportResult &result);

/// Reads and adds every source in order; stops at the first that cannot be used.
ImportResult importFiles(const QStringList &sources, const ImportOptions &options);

/// The columns chosen by --colonnes ("1,2,3", "hanzi,pinyin,sens", "1,,2") as a list;
/// nullopt when it does not name one to three columns.
std::optional<QStringList> parseColumnChoice(const QString &choice);
