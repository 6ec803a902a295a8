#pragma once

#include <QString>
#include <QStringView>

namespace lessontool {

/// Pinyin written with tone numbers, in tone marks: "ni3 hao3" gives "nǐ hǎo"; "lv4", "lu:4" and
/// "lü4" give "lǜ" (v and u: stand for ü only in a syllable with a tone number); tone 5 gives no
/// mark and loses its number ("r5" gives "r", "hm5" "hm"). The mark goes on a or e, on the o of
/// "ou", otherwise on the last vowel; the syllabic nasals m, n, ng (also in hm, hng) take it on
/// the m or n ("m2" gives "ḿ", "ng2" "ńg"). A numbered syllable that opens with a, o or e,
/// written straight after another, is set off by an apostrophe ("Xi1an1" gives "Xī'ān"). Letters
/// without a vowel and tones 1 to 4 ("r3") keep their number. Text that holds a tone mark
/// already, or no syllable followed by a tone number, is returned as it is. Used for every
/// source and dictionary the tool reads.
QString numberedToMarked(QStringView text);

/// Whether text holds a pinyin tone mark: on a vowel, on m or n, or a combining one.
bool hasToneMark(QStringView text);

} // namespace lessontool
