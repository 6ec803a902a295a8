#include "lessontool/field_text.h"

#include <array>

namespace lessontool {

namespace {

bool isTagStart(QStringView text, qsizetype pos)
{
    if (pos + 1 >= text.size())
        return false;
    const QChar next = text[pos + 1];
    return (next.isLetter() && next.unicode() < 0x80) || next == u'/' || next == u'!';
}

// The element name of a tag's inside ("/div", "br/", "span class=x" give div, br, span).
QStringView tagName(QStringView tag)
{
    if (tag.startsWith(u'/'))
        tag = tag.sliced(1);
    qsizetype length = 0;
    while (length < tag.size() && tag[length].isLetterOrNumber())
        ++length;
    return tag.first(length);
}

bool nameIs(QStringView name, std::u16string_view candidate)
{
    return name.compare(QStringView(candidate), Qt::CaseInsensitive) == 0;
}

// Tags that end a line of text: the pieces on either side are set apart.
bool isBreakingTag(QStringView tag)
{
    static constexpr std::array<std::u16string_view, 7> names
        = {u"br", u"p", u"div", u"li", u"tr", u"td", u"hr"};
    const QStringView name = tagName(tag);
    for (std::u16string_view candidate : names) {
        if (nameIs(name, candidate))
            return true;
    }
    return false;
}

// The markup that flashcard programs put in fields, taken as markup even in a source that does not
// say it holds HTML: <b>, <i>, <u>, <br>, <div>, <span ...> and their ends.
bool isRecognisedTag(QStringView tag)
{
    const QStringView name = tagName(tag);
    const QStringView rest = tag.sliced(name.size() + (tag.startsWith(u'/') ? 1 : 0));
    const bool closing = tag.startsWith(u'/');
    if (nameIs(name, u"span"))
        return closing ? rest.isEmpty() : rest.isEmpty() || rest.startsWith(u' ');
    if (nameIs(name, u"br"))
        return !closing && (rest.isEmpty() || rest == u"/" || rest == u" /");
    return rest.isEmpty()
        && (nameIs(name, u"b") || nameIs(name, u"i") || nameIs(name, u"u") || nameIs(name, u"div"));
}

// The character of a reference body ("nbsp", "#233", "#xE9"), or 0 when unknown; in a source not
// marked as HTML, only the five that flashcard programs write.
char32_t referenceCharacter(QStringView body, FieldMarkup markup)
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
    const std::size_t known = markup == FieldMarkup::Html ? named.size() : 5;
    for (std::size_t i = 0; i < known; ++i) {
        if (body == QStringView(named[i].name))
            return named[i].character;
    }
    if (markup != FieldMarkup::Html || body.size() < 2 || body[0] != u'#')
        return 0;
    bool ok = false;
    const uint value = body[1] == u'x' || body[1] == u'X' ? body.sliced(2).toUInt(&ok, 16)
                                                          : body.sliced(1).toUInt(&ok, 10);
    if (!ok || value == 0 || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
        return 0;
    // A no-break space is a plain space in a lesson.
    return value == 0xA0 ? U' ' : char32_t(value);
}

// The text of a field as it is built: a line break between two pieces of text becomes " ; ", one
// at either end nothing.
class FieldBuilder
{
public:
    explicit FieldBuilder(qsizetype size) { m_out.reserve(size); }

    void lineBreak() { m_pendingBreak = true; }

    void append(QStringView text)
    {
        for (QChar c : text)
            append(c);
    }

    void append(QChar c)
    {
        if (m_pendingBreak) {
            if (c.isSpace())
                return;
            while (m_out.endsWith(u' '))
                m_out.chop(1);
            if (!m_out.isEmpty())
                m_out.append(QStringLiteral(" ; "));
            m_pendingBreak = false;
        }
        m_out.append(c);
    }

    QString take() { return std::move(m_out); }

private:
    QString m_out;
    bool m_pendingBreak = false;
};

} // namespace

QString htmlToText(QStringView text, FieldMarkup markup)
{
    if (markup == FieldMarkup::Text || (!text.contains(u'<') && !text.contains(u'&')))
        return text.toString();
    FieldBuilder out(text.size());
    for (qsizetype pos = 0; pos < text.size();) {
        const QChar c = text[pos];
        if (c == u'<' && isTagStart(text, pos)) {
            const qsizetype close = text.indexOf(u'>', pos);
            const QStringView tag
                = close >= 0 ? text.sliced(pos + 1, close - pos - 1) : QStringView();
            if (close >= 0 && (markup == FieldMarkup::Html || isRecognisedTag(tag))) {
                if (isBreakingTag(tag))
                    out.lineBreak();
                pos = close + 1;
                continue;
            }
        }
        if (c == u'&') {
            const qsizetype semicolon = text.indexOf(u';', pos);
            if (semicolon > pos + 1 && semicolon - pos <= 10) {
                const char32_t character
                    = referenceCharacter(text.sliced(pos + 1, semicolon - pos - 1), markup);
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
    return out.take();
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

} // namespace lessontool
