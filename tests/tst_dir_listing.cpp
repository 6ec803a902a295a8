#include "platform/dir_listing.h"
#include "platform/file_replacement.h"
#include "platform/module_path.h"
#include "testsupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>
#include <QTest>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

class TestDirListing : public QObject
{
    Q_OBJECT
private slots:
    void lists_data();
    void lists();
    void missingDirectoryListsNothing();
    void executablePathWithoutAnApplication();
    void missingDirectoryOfAnotherPlaceIsNotTheInstall();
    void relativeDirectoriesAreMadeOneByOne();
};

void TestDirListing::lists_data()
{
    QTest::addColumn<QByteArrayList>("entries"); // a trailing '/' makes a directory
    QTest::addColumn<QByteArrayList>("expected");

    QTest::newRow("extension in any case, sorted ignoring case")
        << QByteArrayList {"b.txt", "A.TXT", "c.Txt"} << QByteArrayList {"A.TXT", "b.txt", "c.Txt"};
    QTest::newRow("other names left out")
        << QByteArrayList {"notes.md", "txt", "atxt", "a.txt.bak", "a.tx", "a.text", "lesson.txt"}
        << QByteArrayList {"lesson.txt"};
    QTest::newRow("hidden files and directories admitted")
        << QByteArrayList {"sub.txt/", ".hidden.txt", ".txt", "other/"}
        << QByteArrayList {".hidden.txt", ".txt", "sub.txt"};
    QTest::newRow("names equal but for case in byte order")
        << QByteArrayList {"b.txt", "a.txt", "B.txt", "A.txt"}
        << QByteArrayList {"A.txt", "a.txt", "B.txt", "b.txt"};
    QTest::newRow("raw bytes after ASCII")
        << QByteArrayList {"\xE7.txt", "z.txt", "Le\xC3\xA7on.txt", "le\xE7on.txt"}
        << QByteArrayList {"Le\xC3\xA7on.txt", "le\xE7on.txt", "z.txt", "\xE7.txt"};
}

void TestDirListing::lists()
{
    QFETCH(QByteArrayList, entries);
    QFETCH(QByteArrayList, expected);

    const ScopedWorkDir dir;
    // Qt cannot remove names that are not valid UTF-8, so every entry is removed by its bytes.
    const auto removeEntries = qScopeGuard([&] {
        for (const QByteArray &entry : entries)
            entry.endsWith('/') ? ::rmdir(entry.chopped(1).constData())
                                : ::unlink(entry.constData());
    });
    for (const QByteArray &entry : entries) {
        if (entry.endsWith('/')) {
            QCOMPARE(::mkdir(entry.chopped(1).constData(), 0700), 0);
        } else {
            const int fd = ::open(entry.constData(), O_WRONLY | O_CREAT, 0600);
            QVERIFY(fd >= 0);
            ::close(fd);
        }
    }
    QCOMPARE(platform::listTxtEntries(), expected);
    QCOMPARE(platform::listTxtEntries(QFile::encodeName(dir.path())), expected);
}

void TestDirListing::missingDirectoryListsNothing()
{
    const ScopedWorkDir dir;
    QVERIFY(platform::listTxtEntries("missing").isEmpty());
}

void TestDirListing::executablePathWithoutAnApplication()
{
    // With no application object to ask, the kernel alone gives the path.
    const QByteArray path = platform::executablePath();
    QVERIFY(!path.isEmpty());
    QCOMPARE(path, QFile::encodeName(QFileInfo(QStringLiteral("/proc/self/exe")).symLinkTarget()));
    QVERIFY(path.endsWith("/tst_dir_listing"));
}

void TestDirListing::missingDirectoryOfAnotherPlaceIsNotTheInstall()
{
    const ScopedWorkDir dir;
    QVERIFY(QDir().mkdir(QStringLiteral("bin")));
    const auto restore = qScopeGuard([] {
        platform::setExecutablePathOverride({});
        platform::setInstalledBinDirectoriesOverride({});
    });
    platform::setInstalledBinDirectoriesOverride(
        {QFile::encodeName(dir.filePath(QStringLiteral("bin")))});
    platform::setExecutablePathOverride(
        QFile::encodeName(dir.filePath(QStringLiteral("bin/hanlexo-vocab"))));
    QVERIFY(platform::runsFromInstalledBinDirectory());
    platform::setExecutablePathOverride(
        QFile::encodeName(dir.filePath(QStringLiteral("gone/hanlexo-vocab"))));
    QVERIFY(!platform::runsFromInstalledBinDirectory());
}

void TestDirListing::relativeDirectoriesAreMadeOneByOne()
{
    // Short names relative to the working directory: the walk up to what exists stops at them.
    const ScopedWorkDir dir;
    QVERIFY(platform::makeDirectories("a/b/c").ok());
    QVERIFY(QFileInfo(QStringLiteral("a/b/c")).isDir());
    QVERIFY(platform::makeDirectories("d").ok());
    QVERIFY(QFileInfo(QStringLiteral("d")).isDir());
}

QTEST_APPLESS_MAIN(TestDirListing)
#include "tst_dir_listing.moc"
