#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

namespace lessontool {

/// One record of a delimited list: its fields and the line it starts on.
struct Record
{
    QStringList fields;
    qsizetype line = 0; ///< 1-based
    bool unterminatedQuote = false; ///< a quoted field ran to the end of the text
};

/// Splits text into records. With a comma, a semicolon or any delimiter but TAB, quoting follows
/// RFC 4180: a field that begins with a double quote (blanks before it dropped) runs to the next
/// lone quote, holding delimiters and line breaks, with "" standing for one quote; text after the
/// closing quote is kept. With TAB, a field is quoted only when it begins with a quote and its
/// first lone quote after that is followed by a TAB, a line end or the end of the text (it may
/// span lines, "" standing for a quote); any other quote is text. Records end with CR LF, LF or
/// CR. Blank lines give no record.
QList<Record> parseDelimited(QStringView text, QChar delimiter);

/// The records of parseDelimited() one at a time, so that a long list is never held whole as
/// records. The text must outlive the reader.
class RecordReader
{
public:
    RecordReader(QStringView text, QChar delimiter);
    /// The next record into record; false at the end of the text.
    bool next(Record &record);

private:
    QStringView m_text;
    QChar m_delimiter;
    qsizetype m_pos = 0;
    qsizetype m_line = 1;
};

/// The delimiter of a list from its first 20 lines after the leading '#' lines, each read with
/// the delimiter's own quoting rule: TAB when every record has more than one field, otherwise
/// semicolon, otherwise comma on the same test; otherwise the one that splits most; TAB when none
/// splits anything.
QChar detectDelimiter(QStringView text);

/// The number of leading lines that begin with '#' (comments of flashcard exports).
qsizetype leadingCommentLines(QStringView text);

/// A "#key:value" line among the leading comment lines, as flashcard programs write them
/// ("#separator:tab", "#html:true", "#columns:...", "#tags column:6").
struct Directive
{
    QString key; ///< in lower case, blanks at the ends trimmed
    QString value; ///< blanks at the ends trimmed
    qsizetype line = 0; ///< 1-based
};

/// The directives among the leading comment lines, in order.
QList<Directive> leadingDirectives(QStringView text);

} // namespace lessontool
