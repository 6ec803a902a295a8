#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

/// One record of a delimited list: its fields and the line it starts on.
struct Record
{
    QStringList fields;
    qsizetype line = 0; ///< 1-based
    bool unterminatedQuote = false; ///< a quoted field ran to the end of the text
};

/// Splits text into records as RFC 4180 does, with any delimiter: a field that begins with a
/// double quote runs to the next lone quote, holding delimiters and line breaks, with "" standing
/// for one quote; text after the closing quote is kept. Records end with CR LF, LF or CR. Blank
/// lines give no record.
QList<Record> parseDelimited(QStringView text, QChar delimiter);

/// The delimiter of a list from its first lines (those beginning with '#' left out): TAB when every
/// sampled line holds one outside quotes, otherwise semicolon, otherwise comma, otherwise the one
/// most often seen; TAB when none is.
QChar detectDelimiter(QStringView text);

/// The number of leading lines that begin with '#' (comments of flashcard exports).
qsizetype leadingCommentLines(QStringView text);

/// The value of a "#key:value" line among the leading comment lines, empty when absent.
QString leadingDirective(QStringView text, QStringView key);
