#pragma once

#include <QByteArrayView>
#include <QString>

namespace lessontool {

/// The encodings an imported list may come in.
enum class SourceEncoding
{
    Utf8,
    Utf8WithMark,
    Utf16LittleEndian,
    Utf16BigEndian,
};

/// Text decoded from a list's bytes, or where decoding failed.
struct DecodedText
{
    bool ok = false;
    QString text; ///< without the byte-order mark
    SourceEncoding encoding = SourceEncoding::Utf8;
    qsizetype errorLine = 0; ///< 1-based line of the first bad byte
    qsizetype errorByte = 0; ///< 0-based offset of the first bad byte in the file
    QString errorReason; ///< what is wrong there, in French
};

/// Decodes UTF-16 LE or BE with a byte-order mark, or UTF-8 with or without one. Anything else
/// (invalid UTF-8, an odd UTF-16 length, an unpaired surrogate, a NUL character, as binary files
/// have) fails at its first bad byte.
DecodedText decodeText(QByteArrayView bytes);

/// The offset of the first byte that is not part of valid UTF-8 (overlong forms, surrogates and
/// values past U+10FFFF refused), or -1 when all of them are; a NUL byte counts as bad.
qsizetype firstInvalidUtf8(QByteArrayView bytes);

} // namespace lessontool
