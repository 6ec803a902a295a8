#include "core/lesson_read_ahead.h"
#include "core/lesson_reader.h"
#include "core/word_list.h"
#include "platform/file_error.h"
#include "platform/mapped_buffer.h"
#include "testsupport.h"

#include <QScopeGuard>
#include <QTest>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <limits>

#include <fcntl.h>
#include <grp.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

QString s(QStringView text)
{
    return text.toString();
}

struct Lists
{
    WordList ch, pin, fr;
    WordListsRef ref() { return {ch, pin, fr}; }

    /// Entries as "chinese|pinyin|french".
    QStringList entries() const
    {
        QStringList result;
        for (qsizetype i = 0; i < ch.count(); ++i)
            result << ch.item(i) + u'|' + pin.item(i) + u'|' + fr.item(i);
        return result;
    }

    /// The three lists have one length and no empty element.
    void verify() const
    {
        QCOMPARE(pin.count(), ch.count());
        QCOMPARE(fr.count(), ch.count());
        for (const WordList *list : {&ch, &pin, &fr})
            for (qsizetype i = 0; i < list->count(); ++i)
                QVERIFY2(!list->view(i).isEmpty(), qPrintable(QString::number(i)));
    }
};

/// Creates name (raw bytes) in the working directory: "file" with bytes, "dir", "fifo", or
/// "unreadable" (a file with no permission bits); "none" leaves it absent.
void makeEntry(const QByteArray &name, const QByteArray &kind, const QByteArray &bytes = {})
{
    if (kind == "dir") {
        QCOMPARE(::mkdir(name.constData(), 0700), 0);
    } else if (kind == "fifo") {
        QCOMPARE(::mkfifo(name.constData(), 0600), 0);
    } else if (kind == "file" || kind == "unreadable") {
        const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        QVERIFY(fd >= 0);
        QCOMPARE(::write(fd, bytes.constData(), std::size_t(bytes.size())), ssize_t(bytes.size()));
        ::close(fd);
        if (kind == "unreadable")
            QCOMPARE(::chmod(name.constData(), 0), 0);
    }
}

/// False when an "unreadable" entry can be opened after all, as root can.
bool unreadableAsMade(const QByteArray &name, const QByteArray &kind)
{
    if (kind != "unreadable")
        return true;
    const int fd = ::open(name.constData(), O_RDONLY);
    if (fd >= 0)
        ::close(fd);
    return fd < 0;
}

} // namespace

class TestLessonReader : public QObject
{
    Q_OBJECT
private slots:
    void wordListSharesOneBuffer();
    void parse_data();
    void parse();
    void appendsAfterEarlierLessons();
    void readFile();
    void readErrors_data();
    void readErrors();
    void readsLargeLesson();
    void probe_data();
    void probe();
    void fullListsTakeNoPartOfAnEntry();
    void mappedBufferKeepsItsContent();
    void misusedResultEndsTheProgram_data();
    void misusedResultEndsTheProgram();
    void readAheadListsAndReadsEveryLesson();
    void readAheadIsTakenOnlyForItsLessons();
    void readAheadWithoutAThreadReadsInPlace();
};

void TestLessonReader::wordListSharesOneBuffer()
{
    WordList list;
    list.tag = -1;
    for (int round = 0; round < 2; ++round) {
        list.clear();
        QVERIFY(list.isEmpty());
        list.append(u"老");
        list.append(u"");
        list.append(u"\U00020000 x");
        QCOMPARE(list.count(), 3);
        QCOMPARE(list.item(0), s(u"老"));
        QVERIFY(list.view(1).isEmpty());
        QCOMPARE(list.item(2), s(u"\U00020000 x"));
    }
    QCOMPARE(list.tag, -1);
}

void TestLessonReader::parse_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("entries");
    QTest::addColumn<bool>("complete");

    const auto lesson = [](const char16_t *text) { return bom() + utf16le(s(text)); };

    QTest::newRow("28-byte example")
        << QByteArray::fromHex("FFFE0180 09006C00 CE016F00 09007600 69006500 75007800 0D000A00")
        << QStringList {s(u"老|lǎo|vieux")} << true;
    QTest::newRow("no bytes") << QByteArray() << QStringList() << true;
    QTest::newRow("BOM only") << bom() << QStringList() << true;
    QTest::newRow("no BOM") << utf16le(s(u"X\tY\tZ\r\n")) << QStringList {"X|Y|Z"} << true;
    QTest::newRow("two fields") << lesson(u"X\tY\r\n") << QStringList {"X|Y| "} << true;
    QTest::newRow("one field") << lesson(u"X\r\n") << QStringList {"X| | "} << true;
    QTest::newRow("empty first field") << lesson(u"\tY\tZ\r\n") << QStringList {" |Y|Z"} << true;
    QTest::newRow("fourth field ignored")
        << lesson(u"X\tY\tZ\tW\tV\r\n") << QStringList {"X|Y|Z"} << true;
    QTest::newRow("blank lines skipped") << lesson(u"\r\n\t\t\r\nA\tB\tC\r\n\t\r\nD\tE\tF\r\n")
                                         << QStringList {"A|B|C", "D|E|F"} << true;
    QTest::newRow("line ends only") << lesson(u"\r\n\r\n\n\r") << QStringList() << true;
    QTest::newRow("spaces are content")
        << lesson(u" \t  \t   \r\n") << QStringList {" |  |   "} << true;
    QTest::newRow("LF line ends keep French")
        << lesson(u"X\tY\tZ\nA\tB\tC\n") << QStringList {"X|Y|Z", "A|B|C"} << true;
    QTest::newRow("CR line ends are separate lines")
        << lesson(u"X\tY\tZ\rA\tB\tC\r") << QStringList {"X|Y|Z", "A|B|C"} << true;
    QTest::newRow("CR, then CR LF")
        << lesson(u"X\r\r\nY\r\n") << QStringList {"X| | ", "Y| | "} << true;
    QTest::newRow("mixed line ends") << lesson(u"A\ta\r\nB\tb\nC\tc\rD\td\r\n")
                                     << QStringList {"A|a| ", "B|b| ", "C|c| ", "D|d| "} << true;
    QTest::newRow("last line without line end")
        << lesson(u"A\tB\tC\r\nX\tY\tZ") << QStringList {"A|B|C", "X|Y|Z"} << true;
    QTest::newRow("last line ends in TAB") << lesson(u"X\t") << QStringList {"X| | "} << true;
    QTest::newRow("U+FEFF not first is content")
        << lesson(u"\uFEFFA\r\nB\uFEFF\r\n") << QStringList {s(u"\uFEFFA| | "), s(u"B\uFEFF| | ")}
        << true;
    QTest::newRow("surrogate pair") << lesson(u"\U00020000\tp\U0001F600\tfr\r\n")
                                    << QStringList {s(u"\U00020000|p\U0001F600|fr")} << true;
    QTest::newRow("odd length after complete lines")
        << lesson(u"A\tB\tC\r\nD\tE\tF\nX\tY") + 'Z' << QStringList {"A|B|C", "D|E|F"} << false;
    QTest::newRow("odd length after CR") << lesson(u"A\r") + 'Z' << QStringList {"A| | "} << false;
    QTest::newRow("one byte after BOM") << bom() + 'Z' << QStringList() << false;
    QTest::newRow("single byte") << QByteArray("\xFF") << QStringList() << false;
}

void TestLessonReader::parse()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, entries);
    QFETCH(bool, complete);

    Lists lists;
    QCOMPARE(parseLesson(bytes, lists.ref()), complete);
    lists.verify();
    QCOMPARE(lists.entries(), entries);

    // The same bytes at an odd address.
    const QByteArray shifted = 'x' + bytes;
    Lists again;
    QCOMPARE(parseLesson(QByteArrayView(shifted).sliced(1), again.ref()), complete);
    QCOMPARE(again.entries(), entries);
}

void TestLessonReader::appendsAfterEarlierLessons()
{
    Lists lists;
    QVERIFY(parseLesson(lessonBytes({s(u"老\tlǎo\tvieux")}), lists.ref()));
    QVERIFY(!parseLesson(bom() + utf16le(s(u"X\tY\tZ\r\nhalf")) + 'Z', lists.ref()));
    QVERIFY(parseLesson(lessonBytes({"A\tB\tC"}), lists.ref()));
    QCOMPARE(lists.entries(), (QStringList {s(u"老|lǎo|vieux"), "X|Y|Z", "A|B|C"}));
}

void TestLessonReader::readFile()
{
    const ScopedWorkDir dir;
    const QByteArray name("le\xE7on.txt"); // not valid UTF-8, so Qt cannot remove it by itself
    const auto removeName = qScopeGuard([&] { ::unlink(name.constData()); });
    makeEntry(name, "file", lessonBytes({s(u"老\tlǎo\tvieux"), "X\tY"}));
    Lists lists;
    const platform::FileResult<> read = readLessonFile(name, lists.ref());
    QVERIFY2(read.ok(), read.ok() ? "" : qPrintable(read.error().message));
    QCOMPARE(lists.entries(), (QStringList {s(u"老|lǎo|vieux"), "X|Y| "}));
}

void TestLessonReader::readErrors_data()
{
    QTest::addColumn<QByteArray>("kind");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QStringList>("entries");

    const QString denied = s(u"Accès au fichier refusé");
    QTest::newRow("missing") << QByteArray("none") << QByteArray() << ENOENT
                             << s(u"Fichier introuvable") << QStringList();
    QTest::newRow("directory") << QByteArray("dir") << QByteArray() << EISDIR << denied
                               << QStringList();
    QTest::newRow("unreadable") << QByteArray("unreadable") << lessonBytes({"A"}) << EACCES
                                << denied << QStringList();
    QTest::newRow("odd length") << QByteArray("file")
                                << lessonBytes({"A\tB\tC"}) + utf16le("X") + 'Y' << 0
                                << s(u"Lecture au-delà de la fin de fichier")
                                << QStringList {"A|B|C"};
}

void TestLessonReader::readErrors()
{
    QFETCH(QByteArray, kind);
    QFETCH(QByteArray, bytes);
    QFETCH(int, code);
    QFETCH(QString, message);
    QFETCH(QStringList, entries);

    const ScopedWorkDir dir;
    const PermissionBitsBind bind;
    makeEntry("lesson.txt", kind, bytes);
    if (!unreadableAsMade("lesson.txt", kind))
        SKIP_OR_FAIL_IN_CI("permission bits are not enforced for this user (root)");
    Lists lists;
    const platform::FileResult<> read = readLessonFile("lesson.txt", lists.ref());
    QVERIFY(!read.ok());
    QCOMPARE(read.error().code, code);
    QCOMPARE(read.error().message, message);
    lists.verify();
    QCOMPARE(lists.entries(), entries);
}

void TestLessonReader::readsLargeLesson()
{
    const ScopedWorkDir dir;
    constexpr int count = 500'000;
    QString text(u'\xFEFF');
    text.reserve(qsizetype(count) * 25);
    for (int i = 0; i < count; ++i)
        text += QStringLiteral("词%1\tcí\tmot %1\r\n").arg(i, 7, 10, QChar(u'0'));
    const QByteArray bytes = utf16le(text);
    QVERIFY(bytes.size() >= 20'000'000);
    makeEntry("big.txt", "file", bytes);

    Lists lists;
    QVERIFY(readLessonFile("big.txt", lists.ref()).ok());
    QCOMPARE(lists.ch.count(), count);
    QCOMPARE(lists.fr.count(), count);
    QCOMPARE(lists.ch.item(0), s(u"词0000000"));
    QCOMPARE(lists.pin.item(count / 2), s(u"cí"));
    QCOMPARE(lists.fr.item(count - 1), s(u"mot 0499999"));
}

void TestLessonReader::probe_data()
{
    QTest::addColumn<QByteArray>("kind");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("lesson");
    QTest::addColumn<QString>("message");

    QTest::newRow("FF FE") << QByteArray("file") << bom() + "\x01\x80" << true << QString();
    QTest::newRow("FF FE only") << QByteArray("file") << bom() << true << QString();
    QTest::newRow("UTF-8 text") << QByteArray("file") << QByteArray("\xE8\x80\x81\tl") << false
                                << QString();
    QTest::newRow("FE FF") << QByteArray("file") << QByteArray("\xFE\xFF\x80\x01") << false
                           << QString();
    QTest::newRow("empty") << QByteArray("file") << QByteArray() << false << QString();
    QTest::newRow("one byte") << QByteArray("file") << QByteArray("\xFF") << false << QString();
    QTest::newRow("directory") << QByteArray("dir") << QByteArray() << false << QString();
    QTest::newRow("FIFO") << QByteArray("fifo") << QByteArray() << false << QString();
    QTest::newRow("missing") << QByteArray("none") << QByteArray() << false
                             << s(u"Fichier introuvable");
    QTest::newRow("unreadable") << QByteArray("unreadable") << bom() << false
                                << s(u"Accès au fichier refusé");
}

void TestLessonReader::probe()
{
    QFETCH(QByteArray, kind);
    QFETCH(QByteArray, bytes);
    QFETCH(bool, lesson);
    QFETCH(QString, message);

    const ScopedWorkDir dir;
    const PermissionBitsBind bind;
    makeEntry("entry.txt", kind, bytes);
    if (!unreadableAsMade("entry.txt", kind))
        SKIP_OR_FAIL_IN_CI("permission bits are not enforced for this user (root)");
    const platform::FileResult<ProbeResult> probe = probeLesson("entry.txt");
    QCOMPARE(probe.ok() ? QString() : probe.error().message, message);
    QCOMPARE(probe.ok() && probe.value() == ProbeResult::Lesson, lesson);
}

void TestLessonReader::fullListsTakeNoPartOfAnEntry()
{
    const ScopedWorkDir dir;
    writeBytes(dir.filePath(QStringLiteral("lesson.txt")),
               lessonBytes({QStringLiteral("一\tyi\tun"), QStringLiteral("二\ter\tdeux"),
                            QStringLiteral("三\tsan\ttrois")}));
    // Room for "un" but not "deux" in the French list: the second entry is refused whole.
    WordList::setUnitLimit(5);
    const auto restore = qScopeGuard([] { WordList::setUnitLimit(0); });
    Lists lists;
    const platform::FileResult<> read = readLessonFile("lesson.txt", lists.ref());
    QVERIFY(!read.ok());
    QCOMPARE(read.error().code, ENOMEM);
    QCOMPARE(read.error().message, platform::fileErrorText(ENOMEM));
    QCOMPARE(lists.ch.count(), 1);
    QCOMPARE(lists.pin.count(), 1);
    QCOMPARE(lists.fr.count(), 1);
    QCOMPARE(lists.fr.item(0), QStringLiteral("un"));
}

void TestLessonReader::mappedBufferKeepsItsContent()
{
    const auto page = std::size_t(sysconf(_SC_PAGESIZE));
    platform::MappedBuffer buffer;
    QVERIFY(buffer.resize(10));
    QCOMPARE(buffer.capacity(), page);
    std::memcpy(buffer.data(), "0123456789", 10);
    // Grown far past its first pages, then shrunk: the content stays.
    QVERIFY(buffer.resize(std::size_t(8) << 20));
    QCOMPARE(QByteArrayView(static_cast<const char *>(buffer.data()), 10), "0123456789");
    QVERIFY(buffer.resize(5));
    QCOMPARE(buffer.capacity(), page);
    QVERIFY(buffer.resize(page));
    QCOMPARE(buffer.capacity(), page);
    QCOMPARE(QByteArrayView(static_cast<const char *>(buffer.data()), 5), "01234");
    // One byte past a page takes a second page.
    QVERIFY(buffer.resize(page + 1));
    QCOMPARE(buffer.capacity(), 2 * page);
    QVERIFY(buffer.resize(page));
    // A size past what pages can count is refused, the buffer as it was.
    const void *before = buffer.data();
    QVERIFY(!buffer.resize(std::numeric_limits<std::size_t>::max() - 10));
    QCOMPARE(buffer.data(), before);
    QCOMPARE(buffer.capacity(), page);
    QVERIFY(buffer.resize(0));
    QCOMPARE(buffer.data(), nullptr);
    QCOMPARE(buffer.capacity(), std::size_t(0));
}

void TestLessonReader::misusedResultEndsTheProgram_data()
{
    QTest::addColumn<bool>("failed");
    // A failed probe's value would otherwise be the default, "a lesson".
    QTest::newRow("value of a failed result") << true;
    QTest::newRow("error of a successful result") << false;
}

void TestLessonReader::misusedResultEndsTheProgram()
{
    QFETCH(bool, failed);
    const platform::FileResult<ProbeResult> result = failed
        ? platform::FileResult<ProbeResult>(platform::FileError::fromErrno(ENOENT))
        : platform::FileResult<ProbeResult>(ProbeResult::NotLesson);
    const pid_t child = fork();
    if (child == 0) {
        // The child's own report would only clutter the test's output.
        if (!std::freopen("/dev/null", "w", stderr))
            _exit(20);
        if (failed)
            _exit(result.value() == ProbeResult::Lesson ? 10 : 11);
        _exit(result.error().code == 0 ? 12 : 13);
    }
    int status = 0;
    QCOMPARE(waitpid(child, &status, 0), child);
    QVERIFY2(WIFSIGNALED(status) && WTERMSIG(status) == SIGABRT,
             qPrintable(QStringLiteral("child ended with status %1").arg(status)));
}

void TestLessonReader::readAheadListsAndReadsEveryLesson()
{
    const ScopedWorkDir dir;
    makeEntry("b.txt", "file", lessonBytes({"b0\tpb0\tfb0", "b1\tpb1\tfb1"}));
    makeEntry("A.txt", "file", lessonBytes({"a0\tpa0\tfa0"}));
    makeEntry("c.txt", "file", "plain text");
    makeEntry("d.txt", "dir");
    // One complete line, then a stray byte.
    makeEntry("e.txt", "file", lessonBytes({"e0\tpe0\tfe0"}) + "x");
    makeEntry("f.txt", "file", bom());
    makeEntry("g.md", "file", lessonBytes({"g0\tpg0\tfg0"}));

    LessonReadAhead readAhead;
    QStringList listing;
    for (const auto &[name, probe] : readAhead.takeListing()) {
        QVERIFY(probe.ok());
        listing << QString::fromLatin1(name)
                + (probe.value() == ProbeResult::Lesson ? QStringLiteral(" lesson") : QString());
    }
    QCOMPARE(listing,
             (QStringList {"A.txt lesson", "b.txt lesson", "c.txt", "d.txt", "e.txt lesson",
                           "f.txt lesson"}));

    Lists lists;
    lists.ch.tag = -1;
    const auto results = readAhead.takeLessons({"A.txt", "b.txt", "e.txt", "f.txt"}, lists.ref());
    QVERIFY(results);
    QCOMPARE(results->size(), std::size_t(4));
    QVERIFY((*results)[0].ok());
    QVERIFY((*results)[1].ok());
    QVERIFY(!(*results)[2].ok());
    QCOMPARE((*results)[2].error().message, s(u"Lecture au-delà de la fin de fichier"));
    QVERIFY((*results)[3].ok());
    lists.verify();
    QCOMPARE(lists.entries(),
             (QStringList {"a0|pa0|fa0", "b0|pb0|fb0", "b1|pb1|fb1", "e0|pe0|fe0"}));
    // The lists' own tag (no card) is kept.
    QCOMPARE(lists.ch.tag, -1);
}

void TestLessonReader::readAheadIsTakenOnlyForItsLessons()
{
    const ScopedWorkDir dir;
    makeEntry("a.txt", "file", lessonBytes({"a0\tpa0\tfa0"}));
    makeEntry("b.txt", "file", lessonBytes({"b0\tpb0\tfb0"}));

    // Lessons that are not the ones read, or not in their order, are read by the caller.
    for (const QByteArrayList &names : {QByteArrayList {"a.txt"}, QByteArrayList {"b.txt", "a.txt"},
                                        QByteArrayList {"a.txt", "b.txt", "c.txt"}}) {
        LessonReadAhead readAhead;
        Lists lists;
        QVERIFY(!readAhead.takeLessons(names, lists.ref()));
        QVERIFY(lists.ch.isEmpty() && lists.pin.isEmpty() && lists.fr.isEmpty());
        // Taken once, right or wrong.
        QVERIFY(!readAhead.takeLessons({"a.txt", "b.txt"}, lists.ref()));
    }

    LessonReadAhead readAhead;
    Lists lists;
    QVERIFY(readAhead.takeLessons({"a.txt", "b.txt"}, lists.ref()));
    QCOMPARE(lists.entries(), (QStringList {"a0|pa0|fa0", "b0|pb0|fb0"}));
    Lists again;
    QVERIFY(!readAhead.takeLessons({"a.txt", "b.txt"}, again.ref()));
    QVERIFY(again.ch.isEmpty());
    // Its listing is the one made with the lessons it read, not a listing of the directory now.
    makeEntry("c.txt", "file", lessonBytes({"c0\tpc0\tfc0"}));
    QCOMPARE(readAhead.takeListing().size(), std::size_t(2));
}

void TestLessonReader::readAheadWithoutAThreadReadsInPlace()
{
    const ScopedWorkDir dir;
    makeEntry("a.txt", "file", lessonBytes({"a0\tpa0\tfa0"}));
    makeEntry("b.txt", "file", lessonBytes({"b0\tpb0\tfb0"}));
    // Open to "nobody", whom the child below becomes when the tests run as root.
    QCOMPARE(::chmod(".", 0755) | ::chmod("a.txt", 0644) | ::chmod("b.txt", 0644), 0);

    // A child that may start no thread: its user is at its limit of processes, which binds
    // every user but root.
    const pid_t child = fork();
    if (child == 0) {
        if (geteuid() == 0
            && (setgroups(0, nullptr) != 0 || setgid(nobodyId) != 0 || setuid(nobodyId) != 0))
            _exit(10);
        const rlimit none {0, 0};
        if (setrlimit(RLIMIT_NPROC, &none) != 0)
            _exit(11);
        int result = 0;
        {
            LessonReadAhead readAhead;
            // Listed now, in place, and nothing read ahead to take.
            Lists lists;
            if (readAhead.takeListing().size() != 2)
                result = 12;
            else if (readAhead.takeLessons({"a.txt", "b.txt"}, lists.ref()) || !lists.ch.isEmpty())
                result = 13;
        } // and ended with no thread to wait for
        _exit(result);
    }
    int status = 0;
    QCOMPARE(waitpid(child, &status, 0), child);
    QVERIFY2(WIFEXITED(status), "the child did not end by itself");
    QCOMPARE(WEXITSTATUS(status), 0);
}

QTEST_APPLESS_MAIN(TestLessonReader)
#include "tst_lesson_reader.moc"
