#pragma once

namespace platform {

/// c in lower case when it is an ASCII capital letter; any other byte as it is (names on disk and
/// in the settings file are 8-bit, in no known code page).
constexpr char asciiLower(char c)
{
    return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
}

} // namespace platform
