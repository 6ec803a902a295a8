// Any file content: reading never crashes, and a write keeps every other line and is found again.
#include "platform/ini_file.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArrayView content(data, qsizetype(size));
    const QByteArrayView section("Vitesse");
    const QByteArrayView key("fran\xe7"
                             "ais");
    (void)platform::ini::valueIn(content, section, key);
    const QByteArray written = platform::ini::withValue(content, section, key, "7");
    const std::optional<QByteArray> back = platform::ini::valueIn(written, section, key);
    if (!back || *back != "7")
        std::abort();
    // Other keys keep their values.
    for (const char *other : {"chinois", "pinyin"}) {
        if (platform::ini::valueIn(content, section, other)
                != platform::ini::valueIn(written, section, other)
            || platform::ini::valueIn(content, "Affichage", other)
                != platform::ini::valueIn(written, "Affichage", other))
            std::abort();
    }
    return 0;
}
