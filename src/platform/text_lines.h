#pragma once

#include <QChar>
#include <QtGlobal>

/// Lines as the settings file and the lists the lesson tool imports end them: LF, CR LF or a lone
/// CR, the last line counting also without an end. One rule for 8-bit bytes and for UTF-16 text.
namespace platform {

constexpr char16_t unitOf(char c)
{
    return char16_t(static_cast<unsigned char>(c));
}

constexpr char16_t unitOf(QChar c)
{
    return c.unicode();
}

template<typename Char> constexpr bool isLineEnd(Char c)
{
    return unitOf(c) == u'\n' || unitOf(c) == u'\r';
}

/// One line of a text: where it begins, where its text ends, and where the next one begins, just
/// past its line end.
struct TextLine
{
    qsizetype begin = 0;
    qsizetype textEnd = 0;
    qsizetype end = 0;
};

/// The line of text that begins at begin (a QByteArrayView or a QStringView).
template<typename View> TextLine lineAt(View text, qsizetype begin)
{
    TextLine line {begin, begin, begin};
    while (line.textEnd < text.size() && !isLineEnd(text[line.textEnd]))
        ++line.textEnd;
    line.end = line.textEnd;
    if (line.end < text.size() && unitOf(text[line.end++]) == u'\r' && line.end < text.size()
        && unitOf(text[line.end]) == u'\n')
        ++line.end;
    return line;
}

} // namespace platform
