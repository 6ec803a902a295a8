// Any text: the conversion never crashes, and what it accepts prints back to the same number.
#include "platform/int_conversion.h"

#include <QByteArray>

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArrayView text(data, qsizetype(size));
    const std::optional<qint32> value = platform::convertInteger(text);
    if (value && platform::convertInteger(QByteArray::number(*value)) != value)
        std::abort();
    return 0;
}
