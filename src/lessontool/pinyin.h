#pragma once

#include <QString>
#include <QStringView>

/// Pinyin written with tone numbers, in tone marks: "ni3 hao3" gives "nǐ hǎo", "lv4", "lu:4" and
/// "lü4" give "lǜ", tone 5 or none gives no mark. The mark goes on a or e, on the o of "ou",
/// otherwise on the last vowel. Text that holds a tone mark already, or no syllable followed by a
/// tone number, is returned as it is.
QString numberedToMarked(QStringView text);

/// Whether text holds a vowel with a pinyin tone mark.
bool hasToneMark(QStringView text);
