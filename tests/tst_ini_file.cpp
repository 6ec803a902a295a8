#include "platform/file_replacement.h"
#include "platform/ini_file.h"
#include "platform/posix_file.h"

#include "testsupport.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTest>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <optional>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <utility>

Q_DECLARE_METATYPE(std::optional<QByteArray>)
Q_DECLARE_METATYPE(platform::WriteStep)

namespace {

/// 0 for a write that succeeded, or its error number.
int codeOf(const platform::FileResult<> &result)
{
    return result.ok() ? 0 : result.error().code;
}

/// The value read, or nullopt for a missing key or a file that could not be read.
std::optional<QByteArray> valueOf(const platform::FileResult<std::optional<QByteArray>> &result)
{
    return result.ok() ? result.value() : std::nullopt;
}

const QByteArray francais8bit("fran\xE7"
                              "ais");
const QByteArray francaisUtf8("fran\xC3\xA7"
                              "ais");

/// The bytes of a literal, NUL bytes included.
template<qsizetype N> QByteArray bytes(const char (&literal)[N])
{
    return QByteArray(literal, N - 1);
}

QByteArray localPath(const QString &path)
{
    return QFile::encodeName(path);
}

mode_t modeOf(const QString &path)
{
    struct stat status
    {
    };
    return stat(QFile::encodeName(path).constData(), &status) == 0 ? status.st_mode & 07777 : 0;
}

/// Bytes of every kind, line ends, brackets and "=" included, from a fixed seed.
QByteArray garbage(qsizetype size)
{
    QRandomGenerator generator(20240607);
    QByteArray bytes(size, '\0');
    for (char &byte : bytes)
        byte = char(generator.bounded(256));
    return bytes;
}

} // namespace

class TestIniFile : public QObject
{
    Q_OBJECT
private slots:
    void findsValues_data();
    void findsValues();
    void writesValues_data();
    void writesValues();
    void writtenValueIsFoundAgain_data();
    void writtenValueIsFoundAgain();

    void missingFileReadsNothing();
    void firstWriteCreatesTheFile();
    void replacementKeepsPermissionsAndLeavesNoTemporary();
    void symbolicLinkStaysALink();
    void linkFollowedOnlyWhereTheKernelWould_data();
    void linkFollowedOnlyWhereTheKernelWould();
    void symbolicLinkLoopIsRefused();
    void replacementKeepsTheOwner_data();
    void replacementKeepsTheOwner();
    void killedWriteLeavesNoTemporary_data();
    void killedWriteLeavesNoTemporary();
    void missingDirectoryIsRefused();
    void failedWriteKeepsThePreviousFile();
    void readOnlyDirectoryRewritesInPlace();
    void readOnlyFileIsRefused_data();
    void readOnlyFileIsRefused();
    void loneCrFirstLineKeepsTheBlankLine();
    void unreadableContentIsNeitherReadNorWritten_data();
    void unreadableContentIsNeitherReadNorWritten();
    void fileGrowingPastTheCapIsRefused();
    void writeWaitsForAnotherProgramsLock();
};

void TestIniFile::findsValues_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QByteArray>("section");
    QTest::addColumn<QByteArray>("key");
    QTest::addColumn<std::optional<QByteArray>>("expected");
    const std::optional<QByteArray> absent;
    const auto value = [](const char *text) { return std::optional<QByteArray>(QByteArray(text)); };

    QTest::newRow("CR LF") << QByteArray("[Vitesse]\r\nchinois=3\r\npinyin=4\r\n")
                           << QByteArray("Vitesse") << QByteArray("pinyin") << value("4");
    QTest::newRow("LF") << QByteArray("[Vitesse]\nchinois=3\n") << QByteArray("Vitesse")
                        << QByteArray("chinois") << value("3");
    QTest::newRow("lone CR") << QByteArray("[Vitesse]\rchinois=3\rpinyin=4")
                             << QByteArray("Vitesse") << QByteArray("pinyin") << value("4");
    QTest::newRow("ASCII case ignored")
        << QByteArray("[VITESSE]\nChinois=3\n") << QByteArray("vitesse") << QByteArray("CHINOIS")
        << value("3");
    QTest::newRow("8-bit key") << QByteArray("[Vitesse]\r\n" + francais8bit + "=3\r\n")
                               << QByteArray("Vitesse") << francais8bit << value("3");
    QTest::newRow("UTF-8 key is another key")
        << QByteArray("[Vitesse]\r\n" + francaisUtf8 + "=3\r\n") << QByteArray("Vitesse")
        << francais8bit << absent;
    QTest::newRow("8-bit key beside UTF-8 key")
        << QByteArray("[Vitesse]\r\n" + francaisUtf8 + "=3\r\n" + francais8bit + "=4\r\n")
        << QByteArray("Vitesse") << francais8bit << value("4");
    QTest::newRow("Latin-1 case not folded") << QByteArray("[Vitesse]\r\nFRAN\xC7"
                                                           "AIS=3\r\n")
                                             << QByteArray("Vitesse") << francais8bit << absent;
    QTest::newRow("blanks trimmed")
        << QByteArray(" \t[ Vitesse ]  \n \t chinois \t=\t 4 2 \t\n") << QByteArray("Vitesse")
        << QByteArray("chinois") << value("4 2");
    QTest::newRow("empty value") << QByteArray("[Vitesse]\nchinois=\n") << QByteArray("Vitesse")
                                 << QByteArray("chinois") << value("");
    QTest::newRow("value holding =")
        << QByteArray("[Vitesse]\nchinois=a=b\n") << QByteArray("Vitesse") << QByteArray("chinois")
        << value("a=b");
    QTest::newRow("no final line end")
        << QByteArray("[Vitesse]\nchinois=5") << QByteArray("Vitesse") << QByteArray("chinois")
        << value("5");
    QTest::newRow("other section") << QByteArray("[Affichage]\nchinois=3\n[Vitesse]\npinyin=1\n")
                                   << QByteArray("Vitesse") << QByteArray("chinois") << absent;
    QTest::newRow("before any section") << QByteArray("chinois=3\n[Vitesse]\n")
                                        << QByteArray("Vitesse") << QByteArray("chinois") << absent;
    QTest::newRow("comment") << QByteArray("[Vitesse]\n;chinois=3\n") << QByteArray("Vitesse")
                             << QByteArray("chinois") << absent;
    QTest::newRow("longer key") << QByteArray("[Vitesse]\nchinoise=3\n") << QByteArray("Vitesse")
                                << QByteArray("chinois") << absent;
    QTest::newRow("first letter differs")
        << QByteArray("[Vitesse]\nxhinois=3\n") << QByteArray("Vitesse") << QByteArray("chinois")
        << absent;
    QTest::newRow("line without =") << QByteArray("[Vitesse]\nchinois\nchinois=2\n")
                                    << QByteArray("Vitesse") << QByteArray("chinois") << value("2");
    QTest::newRow("first of repeated keys")
        << QByteArray("[Vitesse]\nchinois=1\nchinois=2\n") << QByteArray("Vitesse")
        << QByteArray("chinois") << value("1");
    QTest::newRow("repeated section")
        << QByteArray("[Vitesse]\npinyin=1\n[Affichage]\n[Vitesse]\nchinois=2\n")
        << QByteArray("Vitesse") << QByteArray("chinois") << value("2");
    QTest::newRow("unclosed header ends section")
        << QByteArray("[Vitesse]\n[broken\nchinois=3\n") << QByteArray("Vitesse")
        << QByteArray("chinois") << absent;
    QTest::newRow("NUL bytes") << bytes("\0\0[x\0]\n[Vitesse]\n\0=\0\nchinois=7\0\n")
                               << QByteArray("Vitesse") << QByteArray("chinois")
                               << std::optional<QByteArray>(bytes("7\0"));
}

void TestIniFile::findsValues()
{
    QFETCH(QByteArray, content);
    QFETCH(QByteArray, section);
    QFETCH(QByteArray, key);
    QFETCH(std::optional<QByteArray>, expected);
    QCOMPARE(platform::ini::valueIn(content, section, key), expected);
}

void TestIniFile::writesValues_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QByteArray>("key");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("new file") << QByteArray() << QByteArray("pinyin")
                              << QByteArray("[Vitesse]\r\npinyin=6\r\n");
    QTest::newRow("replaced, other lines kept")
        << QByteArray("; mes r\xE9glages\r\n[Vitesse]\r\n  Pinyin = 1 \r\nchinois=5\r\n\r\n")
        << QByteArray("pinyin")
        << QByteArray("; mes r\xE9glages\r\n[Vitesse]\r\npinyin=6\r\nchinois=5\r\n\r\n");
    QTest::newRow("replaced on last line without line end")
        << QByteArray("[Vitesse]\npinyin=1") << QByteArray("pinyin")
        << QByteArray("[Vitesse]\npinyin=6");
    QTest::newRow("added after last key, before blank lines")
        << QByteArray("[Vitesse]\nchinois=1\nx\n\n[Affichage]\npinyin=1\n") << QByteArray("pinyin")
        << QByteArray("[Vitesse]\nchinois=1\npinyin=6\nx\n\n[Affichage]\npinyin=1\n");
    QTest::newRow("added after header")
        << QByteArray("[Vitesse]\r\n\r\n[Affichage]\r\n") << QByteArray("pinyin")
        << QByteArray("[Vitesse]\r\npinyin=6\r\n\r\n[Affichage]\r\n");
    QTest::newRow("added after header without line end")
        << QByteArray("a=1\n[vitesse]") << QByteArray("pinyin")
        << QByteArray("a=1\n[vitesse]\npinyin=6\n");
    QTest::newRow("section added, LF kept")
        << QByteArray("[Affichage]\nx=1\n") << QByteArray("pinyin")
        << QByteArray("[Affichage]\nx=1\n[Vitesse]\npinyin=6\n");
    QTest::newRow("section added after missing line end")
        << QByteArray("[Affichage]\r\nx=1") << QByteArray("pinyin")
        << QByteArray("[Affichage]\r\nx=1\r\n[Vitesse]\r\npinyin=6\r\n");
    QTest::newRow("lone CR kept") << QByteArray("[Vitesse]\rchinois=1\r") << QByteArray("pinyin")
                                  << QByteArray("[Vitesse]\rchinois=1\rpinyin=6\r");
    QTest::newRow("first of repeated keys")
        << QByteArray("[Vitesse]\npinyin=1\npinyin=2\n") << QByteArray("pinyin")
        << QByteArray("[Vitesse]\npinyin=6\npinyin=2\n");
    QTest::newRow("key of second section occurrence")
        << QByteArray("[Vitesse]\na=1\n[X]\n[Vitesse]\npinyin=2\n") << QByteArray("pinyin")
        << QByteArray("[Vitesse]\na=1\n[X]\n[Vitesse]\npinyin=6\n");
    QTest::newRow("new key in first section occurrence")
        << QByteArray("[Vitesse]\na=1\n[X]\n[Vitesse]\nb=2\n") << QByteArray("pinyin")
        << QByteArray("[Vitesse]\na=1\npinyin=6\n[X]\n[Vitesse]\nb=2\n");
    QTest::newRow("8-bit key beside UTF-8 key")
        << QByteArray("[Vitesse]\r\n" + francaisUtf8 + "=3\r\n") << francais8bit
        << QByteArray("[Vitesse]\r\n" + francaisUtf8 + "=3\r\n" + francais8bit + "=6\r\n");
    QTest::newRow("NUL bytes kept")
        << bytes("\0[Vitesse]\0\n[Vitesse]\n\0\n") << QByteArray("pinyin")
        << bytes("\0[Vitesse]\0\n[Vitesse]\npinyin=6\n\0\n");
}

void TestIniFile::writesValues()
{
    QFETCH(QByteArray, content);
    QFETCH(QByteArray, key);
    QFETCH(QByteArray, expected);
    QCOMPARE(platform::ini::withValue(content, "Vitesse", key, "6"), expected);
}

void TestIniFile::writtenValueIsFoundAgain_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("garbage") << garbage(4096);
    QTest::newRow("garbage, then the section unclosed") << garbage(512) + "\n[Vitesse";
    QTest::newRow("10 MB of garbage") << garbage(qsizetype(10) * 1024 * 1024);
    QTest::newRow("10 MB of lines")
        << QByteArray("[Vitesse]\r\n" + QByteArray("chinois=1\r\n").repeated(900000));
}

void TestIniFile::writtenValueIsFoundAgain()
{
    QFETCH(QByteArray, content);
    const QByteArray first = platform::ini::withValue(content, "Vitesse", francais8bit, "3");
    QCOMPARE(platform::ini::valueIn(first, "vitesse", francais8bit), QByteArray("3"));
    const QByteArray second = platform::ini::withValue(first, "Vitesse", francais8bit, "12");
    QCOMPARE(platform::ini::valueIn(second, "Vitesse", francais8bit), QByteArray("12"));
    QCOMPARE(second.size(), first.size() + 1);
    QVERIFY(second.startsWith(content.first(content.size() / 2)));
}

void TestIniFile::missingFileReadsNothing()
{
    const ScopedWorkDir dir;
    QCOMPARE(valueOf(platform::ini::readValue("missing.ini", "Vitesse", "chinois")), std::nullopt);
    // A missing file is told apart from a missing key.
    QCOMPARE(platform::ini::readValue("missing.ini", "Vitesse", "chinois").error().code, ENOENT);
    QCOMPARE(valueOf(platform::ini::readValue(localPath(dir.path()), "Vitesse", "chinois")),
             std::nullopt);
    QVERIFY(!QFileInfo::exists(dir.filePath("missing.ini")));
    // A file that opens but cannot be read (this one fails its first read with EIO) is an error,
    // not an empty file.
    QCOMPARE(platform::readRegularFile("/proc/self/mem").error().code, EIO);
}

void TestIniFile::firstWriteCreatesTheFile()
{
    const ScopedWorkDir dir;
    const mode_t previousMask = umask(027);
    const int result = codeOf(platform::ini::writeValue(localPath(dir.path()) + "//settings.ini",
                                                        "Vitesse", "pinyin", "6"));
    umask(previousMask);
    QCOMPARE(result, 0);
    QCOMPARE(readBytes(dir.filePath("settings.ini")), QByteArray("[Vitesse]\r\npinyin=6\r\n"));
    QCOMPARE(modeOf(dir.filePath("settings.ini")), mode_t(0640));
    QCOMPARE(valueOf(platform::ini::readValue("settings.ini", "Vitesse", "pinyin")),
             QByteArray("6"));
}

void TestIniFile::replacementKeepsPermissionsAndLeavesNoTemporary()
{
    const ScopedWorkDir dir;
    writeBytes(dir.filePath("settings.ini"), "[Vitesse]\npinyin=5\n");
    QVERIFY(chmod("settings.ini", 0604) == 0);
    QCOMPARE(codeOf(platform::ini::writeValue("settings.ini", "Vitesse", "pinyin", "6")), 0);
    QCOMPARE(codeOf(platform::ini::writeValue("settings.ini", "Affichage", "champs_pinyin", "22")),
             0);
    QCOMPARE(readBytes(dir.filePath("settings.ini")),
             QByteArray("[Vitesse]\npinyin=6\n[Affichage]\nchamps_pinyin=22\n"));
    QCOMPARE(modeOf(dir.filePath("settings.ini")), mode_t(0604));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
             QStringList {QStringLiteral("settings.ini")});
}

void TestIniFile::symbolicLinkStaysALink()
{
    const ScopedWorkDir dir;
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("real")));
    writeBytes(dir.filePath("real/target.ini"), "[Vitesse]\r\nchinois=1\r\n");
    // A chain: a relative link to a link in another directory, itself relative to its own place.
    QVERIFY(symlink("target.ini", "real/inner.ini") == 0);
    QVERIFY(symlink("real/inner.ini", "settings.ini") == 0);
    QVERIFY(symlink("real/absent.ini", "dangling.ini") == 0);

    QCOMPARE(codeOf(platform::ini::writeValue("settings.ini", "Vitesse", "chinois", "4")), 0);
    // Never through a link to nothing, even the learner's own: a file would appear where it points.
    QCOMPARE(codeOf(platform::ini::writeValue("dangling.ini", "Vitesse", "chinois", "2")), ENOENT);

    QVERIFY(QFileInfo(dir.filePath("settings.ini")).isSymLink());
    QVERIFY(QFileInfo(dir.filePath("real/inner.ini")).isSymLink());
    QVERIFY(QFileInfo(dir.filePath("dangling.ini")).isSymLink());
    QCOMPARE(readBytes(dir.filePath("real/target.ini")), QByteArray("[Vitesse]\r\nchinois=4\r\n"));
    QCOMPARE(QDir(dir.filePath("real")).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
             QStringList({QStringLiteral("inner.ini"), QStringLiteral("target.ini")}));
}

void TestIniFile::linkFollowedOnlyWhereTheKernelWould_data()
{
    // Who owns the directory holding the link and the link itself: the test's user ("self"), or
    // another ("other"), which needs root to arrange.
    QTest::addColumn<mode_t>("directoryMode");
    QTest::addColumn<bool>("directoryMine");
    QTest::addColumn<bool>("linkMine");
    QTest::addColumn<bool>("followed");
    QTest::newRow("another user's link in a sticky shared directory")
        << mode_t(01777) << true << false << false;
    QTest::newRow("own link in a sticky shared directory") << mode_t(01777) << true << true << true;
    QTest::newRow("link of the sticky directory's owner")
        << mode_t(01777) << false << false << true;
    QTest::newRow("another user's link, not sticky") << mode_t(0777) << true << false << true;
    QTest::newRow("another user's link, sticky, not world-writable")
        << mode_t(01775) << true << false << true;
}

void TestIniFile::linkFollowedOnlyWhereTheKernelWould()
{
    QFETCH(mode_t, directoryMode);
    QFETCH(bool, directoryMine);
    QFETCH(bool, linkMine);
    QFETCH(bool, followed);
    if ((!directoryMine || !linkMine) && geteuid() != 0)
        SKIP_OR_FAIL_IN_CI("giving a directory or a link to another user needs root");

    // A learner's private file, and a link to it planted in a shared directory (as /tmp is).
    const ScopedWorkDir dir;
    const QByteArray notes("mes notes\n");
    writeBytes(dir.filePath("notes.txt"), notes);
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("shared")));
    QVERIFY(symlink(localPath(dir.filePath("notes.txt")).constData(), "shared/settings.ini") == 0);
    if (!directoryMine)
        QVERIFY(lchown("shared", nobodyId, nobodyId) == 0);
    if (!linkMine)
        QVERIFY(lchown("shared/settings.ini", nobodyId, nobodyId) == 0);
    QVERIFY(chmod("shared", directoryMode) == 0);

    const int result
        = codeOf(platform::ini::writeValue("shared/settings.ini", "Vitesse", "chinois", "4"));
    QCOMPARE(result, followed ? 0 : EACCES);
    QCOMPARE(readBytes(dir.filePath("notes.txt")),
             followed ? notes + "[Vitesse]\nchinois=4\n" : notes);
    QVERIFY(QFileInfo(dir.filePath("shared/settings.ini")).isSymLink());
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
             QStringList {QStringLiteral("notes.txt")});
}

void TestIniFile::symbolicLinkLoopIsRefused()
{
    const ScopedWorkDir dir;
    QVERIFY(symlink("b.ini", "a.ini") == 0);
    QVERIFY(symlink("a.ini", "b.ini") == 0);
    QCOMPARE(codeOf(platform::ini::writeValue("a.ini", "Vitesse", "chinois", "4")), ELOOP);
    QCOMPARE(valueOf(platform::ini::readValue("a.ini", "Vitesse", "chinois")), std::nullopt);

    // A long chain that ends is followed to its end: 39 links, the file at the last.
    writeBytes(dir.filePath(QStringLiteral("end.ini")), "[Vitesse]\r\n");
    QByteArray next("end.ini");
    for (int link = 39; link >= 1; --link) {
        const QByteArray name = "link" + QByteArray::number(link) + ".ini";
        QVERIFY(symlink(next.constData(), name.constData()) == 0);
        next = name;
    }
    QCOMPARE(codeOf(platform::ini::writeValue(next, "Vitesse", "chinois", "4")), 0);
    QCOMPARE(readBytes(dir.filePath(QStringLiteral("end.ini"))),
             QByteArray("[Vitesse]\r\nchinois=4\r\n"));
    QVERIFY(QFileInfo(QString::fromLatin1(next)).isSymLink());
}

void TestIniFile::replacementKeepsTheOwner_data()
{
    QTest::addColumn<bool>("rootWrites");
    QTest::addColumn<uid_t>("owner");
    QTest::addColumn<gid_t>("group");
    QTest::addColumn<mode_t>("mode");
    // A group unlike the owner's number, so that the two cannot be mistaken for each other.
    constexpr gid_t users = 100;
    QTest::newRow("root writes a learner's file") << true << nobodyId << users << mode_t(0640);
    QTest::newRow("root writes its own file of another group")
        << true << uid_t(0) << users << mode_t(0640);
    // A file that another user may write but not own: it is rewritten where it stands.
    QTest::newRow("a learner writes root's shared file")
        << false << uid_t(0) << gid_t(0) << mode_t(0666);
}

void TestIniFile::replacementKeepsTheOwner()
{
    QFETCH(bool, rootWrites);
    QFETCH(uid_t, owner);
    QFETCH(gid_t, group);
    QFETCH(mode_t, mode);
    if (geteuid() != 0)
        SKIP_OR_FAIL_IN_CI("files of two users need root to arrange");
    const ScopedWorkDir dir;
    QVERIFY(chmod(".", 0777) == 0);
    writeBytes(dir.filePath("settings.ini"), "[Vitesse]\npinyin=5\n");
    QVERIFY(chown("settings.ini", owner, group) == 0);
    QVERIFY(chmod("settings.ini", mode) == 0);

    const auto write = [] {
        return codeOf(platform::ini::writeValue("settings.ini", "Vitesse", "pinyin", "6"));
    };
    QCOMPARE(rootWrites ? write() : runAsNobody(write), 0);
    QCOMPARE(readBytes(dir.filePath("settings.ini")), QByteArray("[Vitesse]\npinyin=6\n"));
    struct stat status
    {
    };
    QCOMPARE(stat("settings.ini", &status), 0);
    QCOMPARE(status.st_uid, owner);
    QCOMPARE(status.st_gid, group);
    QCOMPARE(status.st_mode & 07777, mode);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
             QStringList {QStringLiteral("settings.ini")});
}

void TestIniFile::killedWriteLeavesNoTemporary_data()
{
    QTest::addColumn<bool>("unnamed");
    QTest::addColumn<platform::WriteStep>("step");
    QTest::addColumn<bool>("leftover");
    QTest::newRow("unnamed temporary, killed once written")
        << true << platform::WriteStep::Written << false;
    QTest::newRow("unnamed temporary, killed before the rename")
        << true << platform::WriteStep::Named << true;
    QTest::newRow("named temporary, killed once written")
        << false << platform::WriteStep::Written << true;
    QTest::newRow("named temporary, killed before the rename")
        << false << platform::WriteStep::Named << true;
}

void TestIniFile::killedWriteLeavesNoTemporary()
{
    QFETCH(bool, unnamed);
    QFETCH(platform::WriteStep, step);
    QFETCH(bool, leftover);
    static platform::WriteStep killAt;
    killAt = step;
    const ScopedWorkDir dir;
    if (unnamed) {
        const int probe = open(".", O_TMPFILE | O_WRONLY, 0600);
        if (probe < 0)
            SKIP_OR_FAIL_IN_CI("the temporary directory's file system has no unnamed files");
        close(probe);
    }
    const QByteArray previous("[Vitesse]\npinyin=5\n");
    writeBytes(dir.filePath("settings.ini"), previous);

    // A child process is killed at that step of its write, as by kill -9.
    const pid_t child = fork();
    if (child == 0) {
        platform::setUnnamedTemporaries(unnamed);
        platform::setWriteStepHook([](platform::WriteStep reached) {
            if (reached == killAt)
                raise(SIGKILL);
        });
        codeOf(platform::ini::writeValue("settings.ini", "Vitesse", "pinyin", "6"));
        _exit(0);
    }
    QVERIFY(child > 0);
    int status = 0;
    QCOMPARE(waitpid(child, &status, 0), child);
    QVERIFY(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);
    QCOMPARE(readBytes(dir.filePath("settings.ini")), previous);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), leftover ? 2 : 1);

    // The next write removes what the killed one left, and only that: not the learner's files, nor
    // the temporary of a write still running (it holds its lock).
    // Nor a name that only looks like a temporary's.
    QStringList kept {
        QStringLiteral(".settings.ini.tmp.Live01"), QStringLiteral("settings.ini.backup"),
        QStringLiteral(".settings.ini.tmp.ab-c.d"), QStringLiteral(".settings.ini.tmp.abcdefg")};
    // Nor another user's, unlocked as it is: it is theirs to remove.
    if (geteuid() == 0)
        kept.append(QStringLiteral(".settings.ini.tmp.Other1"));
    for (const QString &name : kept)
        writeBytes(dir.filePath(name), "x");
    if (geteuid() == 0)
        QVERIFY(chown(".settings.ini.tmp.Other1", nobodyId, nobodyId) == 0);
    QFile live(dir.filePath(kept.first()));
    QVERIFY(live.open(QIODevice::ReadOnly) && flock(live.handle(), LOCK_EX) == 0);
    platform::setUnnamedTemporaries(unnamed);
    const int result = codeOf(platform::ini::writeValue("settings.ini", "Vitesse", "pinyin", "7"));
    platform::setUnnamedTemporaries(true);
    QCOMPARE(result, 0);
    QCOMPARE(readBytes(dir.filePath("settings.ini")), QByteArray("[Vitesse]\npinyin=7\n"));
    kept.append(QStringLiteral("settings.ini"));
    kept.sort();
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name), kept);
}

void TestIniFile::missingDirectoryIsRefused()
{
    const ScopedWorkDir dir;
    QCOMPARE(codeOf(platform::ini::writeValue("absent//settings.ini", "Vitesse", "chinois", "4")),
             ENOENT);
    QVERIFY(QDir(dir.path())
                .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot)
                .isEmpty());
}

void TestIniFile::failedWriteKeepsThePreviousFile()
{
    // A file size limit makes the write fail part-way, as a full disk would.
    const ScopedWorkDir dir;
    const QByteArray previous("[Vitesse]\npinyin=5\n");
    writeBytes(dir.filePath("settings.ini"), previous);
    rlimit saved {};
    QVERIFY(getrlimit(RLIMIT_FSIZE, &saved) == 0);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 64;
    QVERIFY(setrlimit(RLIMIT_FSIZE, &small) == 0);
    const int result = codeOf(
        platform::ini::writeValue("settings.ini", "Vitesse", "pinyin", QByteArray(100, '7')));
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);

    QCOMPARE(result, EFBIG);
    QCOMPARE(readBytes(dir.filePath("settings.ini")), previous);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
             QStringList {QStringLiteral("settings.ini")});
}

void TestIniFile::readOnlyDirectoryRewritesInPlace()
{
    const ScopedWorkDir dir;
    const PermissionBitsBind bind;
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("locked")));
    writeBytes(dir.filePath("locked/settings.ini"), "[Vitesse]\r\npinyin=5\r\n; fin\r\n");
    QVERIFY(chmod("locked", 0555) == 0);
    const int result
        = codeOf(platform::ini::writeValue("locked/settings.ini", "Vitesse", "chinois", "3"));
    const int result2
        = codeOf(platform::ini::writeValue("locked/settings.ini", "Vitesse", "pinyin", ""));
    chmod("locked", 0755);
    QCOMPARE(result, 0);
    QCOMPARE(result2, 0);
    QCOMPARE(readBytes(dir.filePath("locked/settings.ini")),
             QByteArray("[Vitesse]\r\npinyin=\r\nchinois=3\r\n; fin\r\n"));
}

void TestIniFile::readOnlyFileIsRefused_data()
{
    QTest::addColumn<mode_t>("directoryMode");
    QTest::newRow("in a writable directory") << mode_t(0755);
    QTest::newRow("in a read-only directory") << mode_t(0555);
}

void TestIniFile::readOnlyFileIsRefused()
{
    QFETCH(mode_t, directoryMode);
    const ScopedWorkDir dir;
    const PermissionBitsBind bind;
    const QByteArray previous("[Vitesse]\npinyin=5\n");
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("place")));
    writeBytes(dir.filePath("place/settings.ini"), previous);
    QVERIFY(chmod("place/settings.ini", 0444) == 0);
    QVERIFY(chmod("place", directoryMode) == 0);
    const int result
        = codeOf(platform::ini::writeValue("place/settings.ini", "Vitesse", "pinyin", "6"));
    chmod("place", 0755);
    QCOMPARE(result, EACCES);
    QCOMPARE(readBytes(dir.filePath("place/settings.ini")), previous);
    QCOMPARE(QDir(dir.filePath("place")).entryList(QDir::Files | QDir::Hidden),
             QStringList {QStringLiteral("settings.ini")});
}

namespace {

/// The lines of INI content, ended by CR LF, LF or a lone CR.
QByteArrayList iniLines(QByteArrayView content)
{
    QByteArrayList lines;
    QByteArray line;
    for (qsizetype i = 0; i < content.size(); ++i) {
        if (content[i] != '\r' && content[i] != '\n') {
            line += content[i];
            continue;
        }
        if (content[i] == '\r' && i + 1 < content.size() && content[i + 1] == '\n')
            ++i;
        lines << std::exchange(line, {});
    }
    if (!line.isEmpty())
        lines << line;
    return lines;
}

} // namespace

void TestIniFile::loneCrFirstLineKeepsTheBlankLine()
{
    // The first line sets the line end the new key gets (a lone CR); the blank line after the
    // section's last key, ended by LF, must not join it into one CR LF.
    const QByteArray content("[Vitesse]\rchinois=1\n\n[Affichage]\rchamps_pinyin=26\r");
    const QByteArray written = platform::ini::withValue(content, "Vitesse", "pinyin", "4");
    QCOMPARE(iniLines(written),
             (QByteArrayList {"[Vitesse]", "chinois=1", "pinyin=4", "", "[Affichage]",
                              "champs_pinyin=26"}));
    QCOMPARE(platform::ini::valueIn(written, "Vitesse", "pinyin"), QByteArray("4"));
}

void TestIniFile::unreadableContentIsNeitherReadNorWritten_data()
{
    QTest::addColumn<QByteArray>("content");
    const QByteArray keys("[Vitesse]\r\npinyin=3\r\n");
    QTest::newRow("UTF-16 LE") << QByteArray("\xFF\xFE", 2) + keys;
    QTest::newRow("UTF-16 BE") << QByteArray("\xFE\xFF", 2) + keys;
    QTest::newRow("one byte past 1 MB")
        << keys + QByteArray(platform::ini::maxFileBytes + 1 - keys.size(), ';');
}

void TestIniFile::unreadableContentIsNeitherReadNorWritten()
{
    QFETCH(QByteArray, content);
    const ScopedWorkDir dir;
    writeBytes(dir.filePath("settings.ini"), content);
    QVERIFY(!platform::ini::readValue("settings.ini", "Vitesse", "pinyin").ok());
    QVERIFY(!platform::ini::writeValue("settings.ini", "Vitesse", "pinyin", "4").ok());
    QVERIFY(readBytes(dir.filePath("settings.ini")) == content);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
             QStringList {QStringLiteral("settings.ini")});
    // Exactly 1 MB is still read.
    if (content.size() > platform::ini::maxFileBytes) {
        writeBytes(dir.filePath("settings.ini"), content.chopped(1));
        QCOMPARE(valueOf(platform::ini::readValue("settings.ini", "Vitesse", "pinyin")),
                 std::optional<QByteArray>("3"));
    }
}

void TestIniFile::fileGrowingPastTheCapIsRefused()
{
    // A file whose size says nothing of what a read gives, like one that grows while it is
    // read: the kernel's map of this process, of size 0 and longer than 64 bytes.
    const platform::FileResult<QByteArray> whole = platform::readRegularFile("/proc/self/maps");
    QVERIFY(whole.ok());
    QVERIFY(whole.value().size() > 64);
    const platform::FileResult<QByteArray> capped
        = platform::readRegularFile("/proc/self/maps", 0, 64);
    QVERIFY(!capped.ok());
    QCOMPARE(capped.error().code, EFBIG);
}

void TestIniFile::writeWaitsForAnotherProgramsLock()
{
    const ScopedWorkDir dir;
    writeBytes(dir.filePath("settings.ini"), "[Vitesse]\npinyin=5\n");
    const int held = open(".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    QVERIFY(held >= 0);
    QCOMPARE(flock(held, LOCK_EX | LOCK_NB), 0);

    // Held elsewhere: refused after about a second, the file as it was.
    QElapsedTimer timer;
    timer.start();
    QCOMPARE(codeOf(platform::ini::writeValue("settings.ini", "Vitesse", "pinyin", "6")),
             EWOULDBLOCK);
    QVERIFY2(timer.elapsed() >= 900 && timer.elapsed() < 10000,
             qPrintable(QString::number(timer.elapsed())));
    QCOMPARE(readBytes(dir.filePath("settings.ini")), QByteArray("[Vitesse]\npinyin=5\n"));

    // Released within the second: the write waits for it and goes through.
    std::thread release([held] {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        close(held);
    });
    const int code = codeOf(platform::ini::writeValue("settings.ini", "Vitesse", "pinyin", "6"));
    release.join();
    QCOMPARE(code, 0);
    QCOMPARE(readBytes(dir.filePath("settings.ini")), QByteArray("[Vitesse]\npinyin=6\n"));
}

QTEST_APPLESS_MAIN(TestIniFile)
#include "tst_ini_file.moc"
