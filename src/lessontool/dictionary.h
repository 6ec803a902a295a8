#pragma once

#include "lessontool/cedict.h"
#include "lessontool/importer.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QSet>
#include <QString>

#include <optional>

namespace lessontool {

/// The entries a dictionary holds for the words looked up, in the file's order.
struct DictionaryWords
{
    QHash<QString, QList<CedictEntry>> bySimplified;
    QHash<QString, QList<CedictEntry>> byTraditional;
};

/// What reading a dictionary file gave.
struct DictionaryRead
{
    DictionaryWords words;
    qsizetype entries = 0; ///< lines in the format, of every word
    /// Lines passed over (not in the format, not UTF-8), the first ones with their line, then how
    /// many more (line 0).
    QList<ImportIssue> remarks;
    /// Set when the file cannot be used: unreadable, damaged, too large, or without one entry.
    std::optional<QString> fatal;
};

/// Reads a dictionary in the CEDICT line format (UTF-8, '#' comment lines at the top), plain or
/// compressed with gzip (recognised from its content), a piece at a time, keeping only the
/// entries whose simplified or traditional form is one of the wanted words (in UTF-8): memory
/// holds those entries and one line, whatever the size of the file. More than maxBytes of text
/// is refused.
DictionaryRead readDictionary(const QString &path, const QSet<QByteArray> &wanted,
                              qsizetype maxBytes = qsizetype(512) << 20);

/// How the entries were filled from the dictionaries.
struct DictionaryFill
{
    qsizetype filled = 0; ///< with the one reading the dictionary gives, or the learner's
    qsizetype ambiguous = 0; ///< with every reading, to sort out
    qsizetype unknown = 0; ///< no dictionary knows the word
    qsizetype unmatched = 0; ///< the learner's pinyin is none of the dictionary's readings
    /// The dictionaries' lines passed over, then the entries to look at, in order.
    QList<ImportIssue> remarks;
};

/// Fills the empty pinyin and French fields of the entries (origins: their files and lines) from
/// the dictionaries, the first that knows a word winning; a word is looked up as simplified, then
/// as traditional. With the learner's pinyin, only the entries of that reading count (compared
/// with marks or numbers, spaces and case aside). Entries of one reading are joined, their senses
/// once each; several readings are all kept ("háng | xíng", "háng : ... | xíng : ..."). The
/// dictionary's pinyin takes marks unless rawPinyin.
DictionaryFill fillEntries(QList<LessonEntry> &entries, const QList<ImportIssue> &origins,
                           const QList<DictionaryWords> &dictionaries, bool rawPinyin);

/// Reads the dictionary files for the words of the result's entries that have a field to fill,
/// and fills them (fillEntries); result.fatal is set when a dictionary cannot be used.
DictionaryFill fillFromDictionaries(ImportResult &result, const QStringList &paths, bool rawPinyin);

} // namespace lessontool
