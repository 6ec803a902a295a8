// Any bytes as a word list to import: decoding and delimited reading never crash, and whatever
// import keeps comes back unchanged through the lesson format and the program's reader, and
// through export and import again.
#include "core/lesson_reader.h"
#include "core/word_list.h"
#include "lessontool/exporter.h"
#include "lessontool/importer.h"
#include "lessontool/lesson_file.h"
#include "lessontool/pinyin.h"
#include "lessontool/text_decoding.h"

#include <cstdlib>

namespace {

void check(bool condition)
{
    if (!condition)
        std::abort();
}

bool isClean(const QString &field)
{
    return !field.contains(u'\t') && !field.contains(u'\r') && !field.contains(u'\n')
        && field == field.trimmed();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    // The first byte picks the options, the rest is the list.
    const uint8_t choice = data[0];
    const QByteArrayView bytes(data + 1, qsizetype(size - 1));
    ImportOptions options;
    if (choice & 3)
        options.delimiter = QChar(u"\t,;"[(choice & 3) - 1]);
    if (choice & 4)
        options.header = true;
    if (choice & 8)
        options.rawPinyin = true;
    if (choice & 16)
        options.columns = {QStringLiteral("2"), QString(), QStringLiteral("1")};

    // Valid UTF-8 decodes to the same bytes again.
    const DecodedText decoded = decodeText(bytes);
    if (decoded.ok && decoded.encoding == SourceEncoding::Utf8)
        check(decoded.text.toUtf8() == bytes);
    if (!decoded.ok)
        check(decoded.errorByte >= 0 && decoded.errorByte < bytes.size() && decoded.errorLine >= 1);

    ImportResult result;
    importBytes(QStringLiteral("fuzz.csv"), bytes, options, result);
    if (result.fatal) {
        check(result.entries.isEmpty());
        return 0;
    }
    for (const LessonEntry &entry : result.entries)
        check(!entry.chinese.isEmpty() && isClean(entry.chinese) && isClean(entry.pinyin)
              && isClean(entry.french));

    WordList ch, pin, fr;
    check(parseLesson(lessonFileBytes(result.entries), {ch, pin, fr}));
    check(ch.count() == result.entries.size());
    for (qsizetype i = 0; i < ch.count(); ++i) {
        const LessonEntry &entry = result.entries[i];
        check(ch.view(i) == entry.chinese);
        check(pin.view(i) == (entry.pinyin.isEmpty() ? QStringLiteral(" ") : entry.pinyin));
        check(fr.view(i) == (entry.french.isEmpty() ? QStringLiteral(" ") : entry.french));
        // Marked pinyin is never marked again.
        check(numberedToMarked(entry.pinyin) == entry.pinyin || options.rawPinyin);
    }

    // Exported entries import again unchanged (tone numbers kept as written).
    ImportOptions again;
    again.rawPinyin = true;
    ImportResult reimported;
    importBytes(QStringLiteral("export.tsv"), exportText(result.entries, choice & 32), again,
                reimported);
    check(!reimported.fatal && reimported.skipped.isEmpty());
    check(reimported.entries == result.entries);
    return 0;
}
