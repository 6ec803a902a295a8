#include "platform/int_conversion.h"

#include <cstdint>

namespace platform {

namespace {

int digitValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

/// The value of a run of at least one digit; nullopt at any other byte or past limit, checked at
/// each digit so that long runs cannot overflow.
std::optional<std::uint64_t> valueOfDigits(QByteArrayView digits, int base, std::uint64_t limit)
{
    if (digits.isEmpty())
        return std::nullopt;
    std::uint64_t value = 0;
    for (const char c : digits) {
        const int digit = digitValue(c);
        if (digit < 0 || digit >= base)
            return std::nullopt;
        value = value * std::uint64_t(base) + std::uint64_t(digit);
        if (value > limit)
            return std::nullopt;
    }
    return value;
}

} // namespace

std::optional<qint32> convertInteger(QByteArrayView text)
{
    bool hex = false;
    bool negative = false;
    // A leading "0x" of a longer text stands for "$", which leaves no room for blanks or a sign.
    if (text.size() > 2 && (text.startsWith("0x") || text.startsWith("0X"))) {
        hex = true;
        text = text.sliced(2);
    } else {
        while (text.startsWith(' '))
            text = text.sliced(1);
        if (text.startsWith('-') || text.startsWith('+')) {
            negative = text.front() == '-';
            text = text.sliced(1);
        }
        if (text.startsWith('$') || text.startsWith('x') || text.startsWith('X')) {
            hex = true;
            text = text.sliced(1);
        } else if (text.startsWith("0x") || text.startsWith("0X")) {
            hex = true;
            text = text.sliced(2);
        }
    }
    const std::uint64_t limit = hex ? 0xFFFFFFFFU : (negative ? 2147483648U : 2147483647U);
    const std::optional<std::uint64_t> value = valueOfDigits(text, hex ? 16 : 10, limit);
    if (!value)
        return std::nullopt;
    // Two's complement on the 32-bit pattern: "$FFFFFFFF" is -1, "-$1" is -1, "-2147483648" the
    // minimum.
    const auto pattern = static_cast<std::uint32_t>(*value);
    return static_cast<qint32>(negative ? 0U - pattern : pattern);
}

} // namespace platform
