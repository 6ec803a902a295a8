#include "lessontool/pinyin.h"

#include <array>

namespace {

// The vowels in the order of the marks table, lower case then upper case, and each with its four
// marked forms.
constexpr std::u16string_view vowels = u"aeiouüAEIOUÜ";
constexpr std::array<std::u16string_view, 12> marked = {
    u"āáǎà", u"ēéěè", u"īíǐì", u"ōóǒò", u"ūúǔù", u"ǖǘǚǜ",
    u"ĀÁǍÀ", u"ĒÉĚÈ", u"ĪÍǏÌ", u"ŌÓǑÒ", u"ŪÚǓÙ", u"ǕǗǙǛ",
};

bool isAsciiLetter(QChar c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

bool isSyllableLetter(QChar c)
{
    return isAsciiLetter(c) || c == u'ü' || c == u'Ü';
}

char16_t lower(char16_t c)
{
    return c >= u'A' && c <= u'Z' ? char16_t(c - u'A' + u'a') : c == u'Ü' ? u'ü' : c;
}

// The syllable with v, u: and U: written as ü.
QString withUmlaut(QStringView letters)
{
    QString result;
    result.reserve(letters.size());
    for (qsizetype i = 0; i < letters.size(); ++i) {
        const QChar c = letters[i];
        if (c == u'v')
            result.append(u'ü');
        else if (c == u'V')
            result.append(u'Ü');
        else if ((c == u'u' || c == u'U') && i + 1 < letters.size() && letters[i + 1] == u':') {
            result.append(c == u'u' ? u'ü' : u'Ü');
            ++i;
        } else {
            result.append(c);
        }
    }
    return result;
}

// The index of the vowel that carries the mark: a or e, the o of "ou", otherwise the last vowel;
// -1 when there is none.
qsizetype markPosition(QStringView syllable)
{
    qsizetype last = -1;
    for (qsizetype i = 0; i < syllable.size(); ++i) {
        const char16_t c = lower(syllable[i].unicode());
        if (c == u'a' || c == u'e')
            return i;
        if (c == u'o' && i + 1 < syllable.size() && lower(syllable[i + 1].unicode()) == u'u')
            return i;
        if (vowels.substr(0, 6).find(c) != std::u16string_view::npos)
            last = i;
    }
    return last;
}

// Appends the syllable with its mark; one without a vowel ("m2", "hng5") keeps its number.
void appendMarked(QString &out, QStringView letters, int tone)
{
    QString syllable = withUmlaut(letters);
    const qsizetype at = markPosition(syllable);
    if (at < 0 && tone != 0) {
        out.append(letters);
        out.append(QChar(u'0' + tone));
        return;
    }
    if (tone >= 1 && tone <= 4) {
        const std::size_t vowel = vowels.find(syllable[at].unicode());
        syllable[at] = QChar(marked[vowel][std::size_t(tone - 1)]);
    }
    out.append(syllable);
}

// The end of the syllable letters (u: included) from pos.
qsizetype letterRunEnd(QStringView text, qsizetype pos)
{
    const auto umlautColon = [&](qsizetype at) {
        return text[at] == u':' && at > 0 && (text[at - 1] == u'u' || text[at - 1] == u'U');
    };
    while (pos < text.size() && (isSyllableLetter(text[pos]) || umlautColon(pos)))
        ++pos;
    return pos;
}

// A tone digit 1 to 5 at pos that ends a number of one digit.
int toneAt(QStringView text, qsizetype pos)
{
    if (pos >= text.size() || text[pos] < u'1' || text[pos] > u'5')
        return 0;
    if (pos + 1 < text.size() && text[pos + 1].isDigit())
        return 0;
    return text[pos].unicode() - u'0';
}

bool hasNumberedSyllable(QStringView text)
{
    for (qsizetype pos = 0; pos < text.size();) {
        if (!isSyllableLetter(text[pos])) {
            ++pos;
            continue;
        }
        const qsizetype end = letterRunEnd(text, pos);
        if (toneAt(text, end) != 0)
            return true;
        pos = end;
    }
    return false;
}

} // namespace

bool hasToneMark(QStringView text)
{
    for (QChar c : text) {
        // Every marked vowel lies in Latin-1 Supplement or Latin Extended.
        if (c.unicode() < 0xC0 || c.unicode() > 0x24F)
            continue;
        for (std::u16string_view forms : marked) {
            if (forms.find(c.unicode()) != std::u16string_view::npos)
                return true;
        }
    }
    return false;
}

QString numberedToMarked(QStringView text)
{
    if (hasToneMark(text) || !hasNumberedSyllable(text))
        return text.toString();
    QString out;
    out.reserve(text.size());
    for (qsizetype pos = 0; pos < text.size();) {
        if (!isSyllableLetter(text[pos])) {
            out.append(text[pos]);
            ++pos;
            continue;
        }
        const qsizetype end = letterRunEnd(text, pos);
        const int tone = toneAt(text, end);
        appendMarked(out, text.sliced(pos, end - pos), tone);
        pos = tone != 0 ? end + 1 : end;
    }
    return out;
}
