// Any bytes: the reader never crashes, and the three word lists keep equal lengths with no empty
// text.
#include "core/lesson_reader.h"
#include "core/word_list.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    WordList ch, pin, fr;
    const bool even = parseLesson(QByteArrayView(data, qsizetype(size)), {ch, pin, fr});
    if (even != (size % 2 == 0))
        std::abort();
    if (ch.count() != pin.count() || pin.count() != fr.count())
        std::abort();
    for (qsizetype i = 0; i < ch.count(); ++i) {
        if (ch.view(i).isEmpty() || pin.view(i).isEmpty() || fr.view(i).isEmpty())
            std::abort();
    }
    return 0;
}
