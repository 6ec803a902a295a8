#include "lessontool/field_text.h"

#include <array>

namespace {

bool isTagStart(QStringView text, qsizetype pos)
{
    if (pos + 1 >= text.size())
        return false;
    const QChar next = text[pos + 1];
    return (next.isLetter() && next.unicode() < 0x80) || next == u'/' || next == u'!';
}

// Tags that separate words: a space stands for them.
bool isBreakingTag(QStringView tag)
{
    static constexpr std::array<std::u16string_view, 7> names
        = {u"br", u"p", u"div", u"li", u"tr", u"td", u"hr"};
    QStringView name = tag;
    if (name.startsWith(u'/'))
        name = name.sliced(1);
    qsizetype length = 0;
    while (length < name.size() && name[length].isLetterOrNumber())
        ++length;
    name = name.first(length);
    for (std::u16string_view candidate : names) {
        if (name.compare(QStringView(candidate), Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

// The character of a reference body ("nbsp", "#233", "#xE9"), or 0 when unknown.
char32_t referenceCharacter(QStringView body)
{
    struct Named
    {
        std::u16string_view name;
        char32_t character;
    };
    static constexpr std::array<Named, 6> named = {{{u"nbsp", U' '},
                                                    {u"amp", U'&'},
                                                    {u"lt", U'<'},
                                                    {u"gt", U'>'},
                                                    {u"quot", U'"'},
                                                    {u"apos", U'\''}}};
    for (const Named &entry : named) {
        if (body == QStringView(entry.name))
            return entry.character;
    }
    if (body.size() < 2 || body[0] != u'#')
        return 0;
    bool ok = false;
    const uint value = body[1] == u'x' || body[1] == u'X' ? body.sliced(2).toUInt(&ok, 16)
                                                          : body.sliced(1).toUInt(&ok, 10);
    if (!ok || value == 0 || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
        return 0;
    // A no-break space is a plain space in a lesson.
    return value == 0xA0 ? U' ' : char32_t(value);
}

// A line break next to a no-break space gives one space, not two.
void appendSpace(QString &out)
{
    if (!out.endsWith(u' '))
        out.append(u' ');
}

} // namespace

QString htmlToText(QStringView text)
{
    if (!text.contains(u'<') && !text.contains(u'&'))
        return text.toString();
    QString out;
    out.reserve(text.size());
    for (qsizetype pos = 0; pos < text.size();) {
        const QChar c = text[pos];
        if (c == u'<' && isTagStart(text, pos)) {
            const qsizetype close = text.indexOf(u'>', pos);
            if (close >= 0) {
                if (isBreakingTag(text.sliced(pos + 1, close - pos - 1)))
                    appendSpace(out);
                pos = close + 1;
                continue;
            }
        }
        if (c == u'&') {
            const qsizetype semicolon = text.indexOf(u';', pos);
            if (semicolon > pos + 1 && semicolon - pos <= 10) {
                const char32_t character
                    = referenceCharacter(text.sliced(pos + 1, semicolon - pos - 1));
                if (character == U' ') {
                    appendSpace(out);
                    pos = semicolon + 1;
                    continue;
                }
                if (character != 0) {
                    out.append(QString::fromUcs4(&character, 1));
                    pos = semicolon + 1;
                    continue;
                }
            }
        }
        out.append(c);
        ++pos;
    }
    return out;
}

QString lessonField(QStringView text)
{
    QString field = text.toString();
    for (QChar &c : field) {
        if (c == u'\t' || c == u'\r' || c == u'\n' || c == QChar::LineSeparator
            || c == QChar::ParagraphSeparator || c == u'\v' || c == u'\f')
            c = u' ';
    }
    return field.trimmed();
}
