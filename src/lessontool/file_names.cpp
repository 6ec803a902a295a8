#include "lessontool/file_names.h"

#include "lessontool/text_decoding.h"

namespace lessontool::file_names {

namespace {

constexpr char16_t escapeBase = 0xDC00; ///< a byte b >= 0x80 is kept as escapeBase + b

bool isEscapedByte(char16_t unit)
{
    return unit >= escapeBase + 0x80 && unit <= escapeBase + 0xFF;
}

QString hex(uint value, int digits)
{
    return QString::number(value, 16).toUpper().rightJustified(digits, u'0');
}

} // namespace

QString fromArgument(QByteArrayView bytes)
{
    QString text;
    while (!bytes.isEmpty()) {
        // firstInvalidUtf8 stops at a NUL too; an argument holds none.
        const qsizetype bad = firstInvalidUtf8(bytes);
        const qsizetype valid = bad < 0 ? bytes.size() : bad;
        text += QString::fromUtf8(bytes.first(valid));
        if (bad < 0)
            break;
        text += QChar(char16_t(escapeBase + uchar(bytes[bad])));
        bytes = bytes.sliced(bad + 1);
    }
    return text;
}

QByteArray bytesOf(const QString &name)
{
    QByteArray bytes;
    qsizetype from = 0;
    for (qsizetype i = 0; i < name.size(); ++i) {
        if (!isEscapedByte(name[i].unicode()))
            continue;
        // A lone surrogate only: a real pair is a character beyond U+FFFF.
        if (i > 0 && name[i - 1].isHighSurrogate())
            continue;
        bytes += QStringView(name).sliced(from, i - from).toUtf8();
        bytes += char(name[i].unicode() - escapeBase);
        from = i + 1;
    }
    bytes += QStringView(name).sliced(from).toUtf8();
    return bytes;
}

QString visible(const QString &text)
{
    QString shown;
    shown.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t unit = text[i].unicode();
        const bool lone = isEscapedByte(unit) && !(i > 0 && text[i - 1].isHighSurrogate());
        if (lone)
            shown += QStringLiteral("\\x") + hex(unit - escapeBase, 2);
        else if (unit < 0x20 || unit == 0x7F)
            shown += QStringLiteral("\\x") + hex(unit, 2);
        else if (unit >= 0x80 && unit <= 0x9F)
            shown += QStringLiteral("\\u") + hex(unit, 4);
        else
            shown += QChar(unit);
    }
    return shown;
}

} // namespace lessontool::file_names
