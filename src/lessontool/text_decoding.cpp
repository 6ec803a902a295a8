#include "lessontool/text_decoding.h"

#include <QtEndian>

#include <algorithm>

namespace lessontool {

namespace {

// Only LF counts here, unlike the lines' own rule (platform/text_lines.h): the line is a hint
// beside the exact byte offset, counted in the bytes before they are decoded.
qsizetype lineAt(QByteArrayView bytes, qsizetype offset)
{
    return 1 + std::count(bytes.begin(), bytes.begin() + offset, '\n');
}

// Lines of UTF-16 text are counted in units: the LF unit is 0x000A in either byte order.
qsizetype utf16LineAt(QStringView units, qsizetype unit)
{
    return 1 + std::count(units.begin(), units.begin() + unit, u'\n');
}

DecodedText failure(qsizetype line, qsizetype byte, const QString &reason)
{
    DecodedText result;
    result.errorLine = line;
    result.errorByte = byte;
    result.errorReason = reason;
    return result;
}

DecodedText decodeUtf16(QByteArrayView bytes, bool bigEndian)
{
    const QByteArrayView body = bytes.sliced(2);
    QString units(body.size() / 2, Qt::Uninitialized);
    if (bigEndian)
        qFromBigEndian<char16_t>(body.data(), units.size(), units.data());
    else
        qFromLittleEndian<char16_t>(body.data(), units.size(), units.data());
    for (qsizetype i = 0; i < units.size(); ++i) {
        const char16_t unit = units.at(i).unicode();
        const qsizetype byte = 2 + 2 * i;
        if (unit == 0)
            return failure(utf16LineAt(units, i), byte, QStringLiteral("caractère nul"));
        if (QChar::isHighSurrogate(unit) && i + 1 < units.size()
            && QChar::isLowSurrogate(units.at(i + 1).unicode())) {
            ++i;
            continue;
        }
        if (QChar::isSurrogate(unit))
            return failure(utf16LineAt(units, i), byte, QStringLiteral("demi-paire UTF-16 isolée"));
    }
    if (body.size() % 2 != 0)
        return failure(utf16LineAt(units, units.size()), bytes.size() - 1,
                       QStringLiteral("longueur impaire, dernier caractère incomplet"));
    DecodedText result;
    result.ok = true;
    result.text = std::move(units);
    result.encoding
        = bigEndian ? SourceEncoding::Utf16BigEndian : SourceEncoding::Utf16LittleEndian;
    return result;
}

} // namespace

qsizetype firstInvalidUtf8(QByteArrayView bytes)
{
    const auto *const data = reinterpret_cast<const unsigned char *>(bytes.data());
    const qsizetype size = bytes.size();
    qsizetype i = 0;
    while (i < size) {
        const unsigned char lead = data[i];
        if (lead >= 0x01 && lead < 0x80) {
            ++i;
            continue;
        }
        qsizetype length = 0;
        unsigned char low = 0x80, high = 0xBF; // bounds of the second byte
        if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
            if (lead == 0xE0)
                low = 0xA0; // overlong
            else if (lead == 0xED)
                high = 0x9F; // surrogates
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
            if (lead == 0xF0)
                low = 0x90; // overlong
            else if (lead == 0xF4)
                high = 0x8F; // past U+10FFFF
        } else {
            return i; // NUL, a continuation byte, C0, C1, F5 to FF
        }
        if (i + length > size)
            return i;
        if (data[i + 1] < low || data[i + 1] > high)
            return i;
        for (qsizetype k = 2; k < length; ++k) {
            if (data[i + k] < 0x80 || data[i + k] > 0xBF)
                return i;
        }
        i += length;
    }
    return -1;
}

DecodedText decodeText(QByteArrayView bytes)
{
    if (bytes.size() >= 2 && uchar(bytes[0]) == 0xFF && uchar(bytes[1]) == 0xFE)
        return decodeUtf16(bytes, false);
    if (bytes.size() >= 2 && uchar(bytes[0]) == 0xFE && uchar(bytes[1]) == 0xFF)
        return decodeUtf16(bytes, true);
    const bool mark = bytes.startsWith("\xEF\xBB\xBF");
    const QByteArrayView body = mark ? bytes.sliced(3) : bytes;
    const qsizetype bad = firstInvalidUtf8(body);
    if (bad >= 0) {
        const qsizetype byte = bad + (mark ? 3 : 0);
        const QString reason = body[bad] == '\0'
            ? QStringLiteral("caractère nul")
            : QStringLiteral("octet 0x%1 invalide en UTF-8")
                  .arg(QString::number(uchar(body[bad]), 16)
                           .toUpper()
                           .rightJustified(2, QLatin1Char('0')));
        return failure(lineAt(bytes, byte), byte, reason);
    }
    DecodedText result;
    result.ok = true;
    result.text = QString::fromUtf8(body);
    result.encoding = mark ? SourceEncoding::Utf8WithMark : SourceEncoding::Utf8;
    return result;
}

} // namespace lessontool
