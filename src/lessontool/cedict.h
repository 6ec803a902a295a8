#pragma once

#include "lessontool/lesson_file.h"

#include <QString>
#include <QStringList>
#include <QStringView>

#include <optional>

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

/// An entry as a lesson holds it: the simplified form, the pinyin in tone marks (numberedToMarked;
/// as written with rawPinyin), the senses joined by " ; ".
LessonEntry cedictLessonEntry(const CedictEntry &entry, bool rawPinyin = false);
