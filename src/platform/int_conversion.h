#pragma once

#include <QByteArrayView>

#include <optional>

namespace platform {

/// Converts a settings value text by the classic rules, those of the Windows desktop toolkits'
/// string-to-integer conversion that settings files were written by (decimal, or "$"/"0x"/"x"
/// hexadecimal, leading spaces, optional sign, nothing after the digits); nullopt when it breaks
/// them.
std::optional<qint32> convertInteger(QByteArrayView text);

/// convertInteger, or fallback when the text does not convert.
inline qint32 strToIntDef(QByteArrayView text, qint32 fallback)
{
    return convertInteger(text).value_or(fallback);
}

} // namespace platform
