#include "platform/dir_listing.h"

#include "platform/ascii.h"

#include <algorithm>
#include <dirent.h>

namespace platform {

namespace {

bool endsWithTxt(const QByteArray &name)
{
    static constexpr char suffix[] = ".txt";
    if (name.size() < 4)
        return false;
    const char *tail = name.constData() + name.size() - 4;
    return std::equal(tail, tail + 4, suffix, [](char a, char b) { return asciiLower(a) == b; });
}

// Case-insensitive for ASCII letters only (names are raw bytes, often UTF-8); names equal but for
// case fall back to plain byte order so that the order is total.
bool nameLess(const QByteArray &a, const QByteArray &b)
{
    const auto folded = [](char x, char y) {
        return static_cast<unsigned char>(asciiLower(x))
            < static_cast<unsigned char>(asciiLower(y));
    };
    if (std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), folded))
        return true;
    if (std::lexicographical_compare(b.begin(), b.end(), a.begin(), a.end(), folded))
        return false;
    return a < b;
}

} // namespace

QList<QByteArray> listTxtEntries(const QByteArray &dir)
{
    QList<QByteArray> names;
    DIR *stream = ::opendir(dir.constData());
    if (stream == nullptr)
        return names;
    while (const dirent *entry = ::readdir(stream)) {
        const QByteArray name(entry->d_name);
        if (endsWithTxt(name)) // never "." or ".."
            names.append(name);
    }
    ::closedir(stream);
    std::sort(names.begin(), names.end(), nameLess);
    return names;
}

} // namespace platform
