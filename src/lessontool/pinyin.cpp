#include "lessontool/pinyin.h"

#include <array>

namespace lessontool {

namespace {

// The vowels in the order of the marks table, lower case then upper case, and each with its four
// marked forms.
constexpr std::u16string_view vowels = u"aeiouüAEIOUÜ";
constexpr std::array<std::u16string_view, 12> marked = {
    u"āáǎà", u"ēéěè", u"īíǐì", u"ōóǒò", u"ūúǔù", u"ǖǘǚǜ",
    u"ĀÁǍÀ", u"ĒÉĚÈ", u"ĪÍǏÌ", u"ŌÓǑÒ", u"ŪÚǓÙ", u"ǕǗǙǛ",
};

// The syllabic nasals' marks: the four tones of m, M, n and N. Only some have a precomposed form;
// the others are the letter and a combining mark.
constexpr std::array<std::array<std::u16string_view, 4>, 4> nasalMarks = {{
    {u"m\u0304", u"\u1E3F", u"m\u030C", u"m\u0300"},
    {u"M\u0304", u"\u1E3E", u"M\u030C", u"M\u0300"},
    {u"n\u0304", u"\u0144", u"\u0148", u"\u01F9"},
    {u"N\u0304", u"\u0143", u"\u0147", u"\u01F8"},
}};

// Characters that show a pinyin mark outside the vowel table: the precomposed nasals and the
// combining macron, acute, caron and grave.
constexpr std::u16string_view otherMarks = u"\u1E3F\u1E3E\u0144\u0148\u01F9\u0143\u0147\u01F8"
                                           u"\u0304\u0301\u030C\u0300";

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

// The index of the m or n that carries the mark of a syllabic nasal (m, n, ng, hm, hng), or -1.
qsizetype nasalPosition(QStringView syllable)
{
    QString low;
    for (QChar c : syllable)
        low.append(QChar(lower(c.unicode())));
    if (low == u"m" || low == u"n" || low == u"ng")
        return 0;
    if (low == u"hm" || low == u"hng")
        return 1;
    return -1;
}

// Appends the syllable written with tone (1 to 5) in its marked form. The neutral tone has no mark;
// letters that are no syllable ("r3", "xx2") keep their number, as nothing tells where a mark would
// go.
void appendMarked(QString &out, QStringView letters, int tone)
{
    QString syllable = withUmlaut(letters);
    if (tone == 5) {
        out.append(syllable);
        return;
    }
    if (const qsizetype at = markPosition(syllable); at >= 0) {
        const std::size_t vowel = vowels.find(syllable[at].unicode());
        syllable[at] = QChar(marked[vowel][std::size_t(tone - 1)]);
        out.append(syllable);
        return;
    }
    if (const qsizetype at = nasalPosition(syllable); at >= 0) {
        const char16_t letter = syllable[at].unicode();
        const std::size_t row = (letter == u'm' ? 0 : letter == u'M' ? 1 : letter == u'n' ? 2 : 3);
        out.append(syllable.first(at));
        out.append(QStringView(nasalMarks[row][std::size_t(tone - 1)]));
        out.append(syllable.sliced(at + 1));
        return;
    }
    out.append(letters);
    out.append(QChar(u'0' + tone));
}

// The end of the syllable letters (u: included) from pos.
qsizetype letterRunEnd(QStringView text, qsizetype pos)
{
    const auto umlautColon = [&](qsizetype at) {
        return text[at] == u':' && (text[at - 1] == u'u' || text[at - 1] == u'U');
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

bool opensWithVowel(QChar c)
{
    const char16_t low = lower(c.unicode());
    return low == u'a' || low == u'o' || low == u'e';
}

} // namespace

bool hasToneMark(QStringView text)
{
    for (QChar c : text) {
        // No mark lies below Latin-1 Supplement; every marked vowel lies in it or in Latin
        // Extended.
        if (c.unicode() < 0xC0)
            continue;
        if (c.unicode() <= 0x24F) {
            for (std::u16string_view forms : marked) {
                if (forms.find(c.unicode()) != std::u16string_view::npos)
                    return true;
            }
        }
        if (otherMarks.find(c.unicode()) != std::u16string_view::npos)
            return true;
    }
    return false;
}

QString numberedToMarked(QStringView text)
{
    if (hasToneMark(text) || !hasNumberedSyllable(text))
        return text.toString();
    QString out;
    out.reserve(text.size() + 8);
    bool afterSyllable = false; // the last character taken was a syllable's tone number
    for (qsizetype pos = 0; pos < text.size();) {
        if (!isSyllableLetter(text[pos])) {
            out.append(text[pos]);
            ++pos;
            afterSyllable = false;
            continue;
        }
        const qsizetype end = letterRunEnd(text, pos);
        const int tone = toneAt(text, end);
        // Syllables written together: one that opens with a, o or e is set off, as in Xī'ān.
        if (afterSyllable && tone != 0 && opensWithVowel(text[pos]))
            out.append(u'\'');
        if (tone != 0)
            appendMarked(out, text.sliced(pos, end - pos), tone);
        else
            out.append(text.sliced(pos, end - pos));
        pos = tone != 0 ? end + 1 : end;
        afterSyllable = tone != 0;
    }
    return out;
}

} // namespace lessontool
