#pragma once

#include "lessontool/lesson_file.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace lessontool {

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

/// Where an import puts what it finds, as it goes: the entries, the lines passed over and the
/// remarks, in the order of the sources. A list of any length is never held whole as entries.
class ImportSink
{
public:
    virtual ~ImportSink() = default;
    ImportSink() = default;
    ImportSink(const ImportSink &) = default;
    ImportSink &operator=(const ImportSink &) = default;

    /// An entry, and where it comes from: its file, and its line as the issue's line.
    virtual void addEntry(const LessonEntry &entry, const ImportIssue &origin) = 0;
    /// A line passed over.
    virtual void passOver(const ImportIssue &issue) = 0;
    /// A rule applied where a source did not say what a column is; nothing was lost.
    virtual void remark(const ImportIssue &issue) = 0;

    /// Set when a list could not be used at all (unreadable, not decodable, bad columns or
    /// directives): nothing is to be written then.
    std::optional<QString> fatal;
};

/// What the words of one or more lists gave, kept whole.
struct ImportResult : ImportSink
{
    QList<LessonEntry> entries;
    /// Where each entry comes from, in the same order: its file, and its line as the line field.
    QList<ImportIssue> origins;
    QList<ImportIssue> skipped; ///< lines passed over
    QList<ImportIssue> notes; ///< remarks

    void addEntry(const LessonEntry &entry, const ImportIssue &origin) override
    {
        entries.append(entry);
        origins.append(origin);
    }
    void passOver(const ImportIssue &issue) override { skipped.append(issue); }
    void remark(const ImportIssue &issue) override { notes.append(issue); }
};

/// Adds the entries of one list's bytes (file is the name the messages give). A list is a
/// delimited list, or a dictionary in the CEDICT line format when its first line after the
/// comments is one (and no delimiter was given).
void importBytes(const QString &file, QByteArrayView bytes, const ImportOptions &options,
                 ImportSink &result);

/// Reads and adds every source in order, each read with a cap of maxBytes (the tool's 512 MB);
/// stops at the first that cannot be used. Only one source is held at a time, and its bytes only
/// until they are decoded.
void importFiles(const QStringList &sources, const ImportOptions &options, ImportSink &result,
                 qsizetype maxBytes = maxReadBytes);

/// importFiles() into an ImportResult.
ImportResult importFiles(const QStringList &sources, const ImportOptions &options);

/// The columns chosen by --colonnes ("1,2,3", "hanzi,pinyin,sens", "1,,2") as a list;
/// nullopt when it does not name one to three columns.
std::optional<QStringList> parseColumnChoice(const QString &choice);

/// Whether import takes a first line of these cells for a header: no Han character, and at least
/// one cell that names a field (Chinois, Pinyin, Français, English, Meaning...).
bool looksLikeHeader(const QStringList &cells);

} // namespace lessontool
