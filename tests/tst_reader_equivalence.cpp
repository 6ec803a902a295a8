// The fast lesson reader against a plain one written straight from the format, unit by unit, on
// the tricky cases and on many random files: speed never costs correctness.

#include "testsupport.h"

#include "core/lesson_reader.h"
#include "core/word_list.h"

#include <QTest>

#include <random>

namespace {

ReferenceLesson asReference(const WordList &ch, const WordList &pin, const WordList &fr, bool even)
{
    ReferenceLesson out;
    out.even = even;
    for (qsizetype i = 0; i < ch.count(); ++i)
        out.entries.append({ch.item(i), pin.item(i), fr.item(i)});
    return out;
}

/// The program's reader, in the reference reader's terms.
ReferenceLesson fastRead(const QByteArray &bytes)
{
    WordList ch, pin, fr;
    const bool even = parseLesson(bytes, {ch, pin, fr});
    return asReference(ch, pin, fr, even);
}

/// The program's file reader, blocks of blockUnits units, in the reference reader's terms.
ReferenceLesson fileRead(const QByteArray &bytes, qsizetype blockUnits)
{
    writeBytes(QStringLiteral("lesson.txt"), bytes);
    setLessonBlockUnits(blockUnits);
    WordList ch, pin, fr;
    const platform::FileResult<> read = readLessonFile("lesson.txt", {ch, pin, fr});
    setLessonBlockUnits(0);
    return asReference(ch, pin, fr, read.ok());
}

} // namespace

class TestReaderEquivalence : public QObject
{
    Q_OBJECT

private slots:
    void trickyFiles_data();
    void trickyFiles();
    void randomFiles();
    void blockEndsAnywhere();
};

void TestReaderEquivalence::trickyFiles_data()
{
    QTest::addColumn<QByteArray>("bytes");
    const auto row = [&](const char *name, const QString &text, const QByteArray &tail = {}) {
        QTest::newRow(name) << (bom() + utf16le(text) + tail);
    };
    row("example", QStringLiteral("老\tlǎo\tvieux\r\n"));
    row("mark only", {});
    row("two fields", QStringLiteral("老\tlǎo\r\n"));
    row("first field empty", QStringLiteral("\tlǎo\tvieux\r\n"));
    row("four fields", QStringLiteral("a\tb\tc\td\r\n"));
    row("blank lines", QStringLiteral("\r\n\t\t\r\n\r\na\tb\tc\r\n"));
    row("spaces", QStringLiteral("  \t \t   \r\n"));
    row("LF only", QStringLiteral("a\tb\tc\nd\te\tf\n"));
    row("CR only", QStringLiteral("a\tb\tc\rd\te\tf\r"));
    row("LF CR", QStringLiteral("a\tb\tc\n\rd\te\tf\r\n"));
    row("no final end", QStringLiteral("a\tb\tc\r\nd\te\tf"));
    row("final CR", QStringLiteral("a\tb\tc\r"));
    row("mark inside", QStringLiteral("\uFEFFa\tb\tc\r\n"));
    row("surrogates", QStringLiteral("𠀀\t𠀁\t😀\r\n"));
    row("long field", QString(1000, QLatin1Char('x')) + QStringLiteral("\ty\tz\r\n"));
    // Longer than a page: the block room grows, then the next files read in the room it leaves.
    row("line over a page", QString(5000, QLatin1Char('x')) + QStringLiteral("\ty\r\nz\r\n"));
    row("control units", QStringLiteral("a\x01\x0B\x0C\tb\x1F\tc\r\n"));
    row("odd after complete line", QStringLiteral("a\tb\tc\r\nd\te"), QByteArray("x"));
    row("odd after CR", QStringLiteral("a\tb\tc\r"), QByteArray("x"));
    QTest::newRow("no mark") << utf16le(QStringLiteral("a\tb\tc\r\n"));
    QTest::newRow("one byte") << QByteArray("\xFF", 1);
}

void TestReaderEquivalence::trickyFiles()
{
    QFETCH(QByteArray, bytes);
    const ReferenceLesson plain = referenceRead(bytes);
    const ReferenceLesson fast = fastRead(bytes);
    QCOMPARE(fast.even, plain.even);
    QCOMPARE(fast.entries, plain.entries);
    // Read from a file, in blocks that end on every unit.
    const ScopedWorkDir dir;
    for (const qsizetype block : {1, 2, 3, 7}) {
        const ReferenceLesson read = fileRead(bytes, block);
        QCOMPARE(read.even, plain.even);
        QCOMPARE(read.entries, plain.entries);
    }
}

void TestReaderEquivalence::randomFiles()
{
    // Files made of the units that matter, in every arrangement chance gives, at every length
    // around the reader's eight-unit steps.
    const char16_t alphabet[]
        = {u'a', u'老', u'\t', u'\t', u'\r', u'\n', u' ', 0xFEFF, 0xD840, 0xDC00, 0x0B};
    std::mt19937 random(20261207);
    for (int file = 0; file < 4000; ++file) {
        QByteArray bytes;
        if (random() % 4 != 0)
            bytes.append("\xFF\xFE", 2);
        const int length = int(random() % 80);
        for (int i = 0; i < length; ++i) {
            const char16_t u = alphabet[random() % std::size(alphabet)];
            bytes.append(char(u & 0xFF));
            bytes.append(char(u >> 8));
        }
        if (random() % 5 == 0)
            bytes.append(char(random() % 256));
        const ReferenceLesson plain = referenceRead(bytes);
        const ReferenceLesson fast = fastRead(bytes);
        QVERIFY2(fast.even == plain.even && fast.entries == plain.entries,
                 bytes.toHex(' ').constData());
    }
}

void TestReaderEquivalence::blockEndsAnywhere()
{
    // Random files read in small blocks: a block may end inside a field, between CR and LF, or
    // inside a line longer than the block.
    const char16_t alphabet[] = {u'a', u'老', u'\t', u'\r', u'\n', u' ', 0xFEFF, 0xD840};
    std::mt19937 random(20261208);
    const ScopedWorkDir dir;
    for (int file = 0; file < 600; ++file) {
        QByteArray bytes("\xFF\xFE", 2);
        const int length = int(random() % 200);
        for (int i = 0; i < length; ++i) {
            const char16_t u = alphabet[random() % std::size(alphabet)];
            bytes.append(char(u & 0xFF));
            bytes.append(char(u >> 8));
        }
        if (random() % 4 == 0)
            bytes.append(char(random() % 256));
        const ReferenceLesson plain = referenceRead(bytes);
        const qsizetype block = 1 + qsizetype(random() % 16);
        const ReferenceLesson read = fileRead(bytes, block);
        QVERIFY2(read.even == plain.even && read.entries == plain.entries,
                 qPrintable(QStringLiteral("block %1: %2").arg(block).arg(bytes.toHex(' '))));
    }
}

QTEST_APPLESS_MAIN(TestReaderEquivalence)
#include "tst_reader_equivalence.moc"
