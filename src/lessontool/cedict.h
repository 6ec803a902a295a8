#pragma once

#include "lessontool/lesson_file.h"

#include <QByteArrayView>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <optional>
#include <utility>

namespace lessontool {

/// One line of a dictionary in the CEDICT format, as the free Chinese dictionaries ship it
/// (CC-CEDICT, CFDICT, HanDeDict): "傳統 传统 [chuan2 tong3] /tradition/traditional/".
struct CedictEntry
{
    QString traditional;
    QString simplified;
    QString pinyin; ///< as written, with tone numbers
    QStringList senses; ///< as written, blanks at their ends trimmed, empty ones left out
};

/// The entry of one line (without its line end): the traditional and simplified forms, the pinyin
/// in brackets, then at least one sense between slashes, separated by spaces; nullopt for a line
/// in any other form (a TAB in it included).
std::optional<CedictEntry> parseCedictLine(QStringView line);

/// The traditional and simplified forms of a line of UTF-8 bytes that has the form parseCedictLine
/// reads, without decoding it (whether the bytes are valid UTF-8 is not checked).
std::optional<std::pair<QByteArrayView, QByteArrayView>> cedictLineForms(QByteArrayView line);

/// An entry as a lesson holds it: the simplified form, the pinyin in tone marks (numberedToMarked;
/// as written with rawPinyin), the senses joined by " ; ".
LessonEntry cedictLessonEntry(const CedictEntry &entry, bool rawPinyin = false);

/// What a report says of a line that is not in the dictionary format.
QString cedictFormatText();

} // namespace lessontool
