#include "settings/settings.h"

#include "app/tform1.h"
#include "platform/app_error.h"
#include "platform/ini_file.h"
#include "platform/module_path.h"
#include "toolkit/scroll_bar.h"
#include "windowfixture.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

// Where the settings file goes: beside the executable for a portable copy, in the learner's
// configuration directory for an installed program or a copy they cannot write to.
//
// Unwritable executable directories are a missing directory, and a temporary directory made
// read-only (mode 0555). Root may write anywhere, so as root the read-only cases look the path up
// in a child process that has dropped to the unprivileged user "nobody" (65534).

namespace {

enum class ExeDir
{
    Writable,
    ReadOnly,
    Missing
};

/// Settings::builtPath() as an ordinary user sees it: in a child without root's privileges when
/// the tests run as root. Empty when the privileges cannot be dropped.
QByteArray builtPathUnprivileged()
{
    if (geteuid() != 0)
        return Settings::builtPath();
    int channel[2];
    if (pipe(channel) != 0)
        return {};
    const int status = runAsNobody([&channel] {
        const QByteArray path = Settings::builtPath();
        return write(channel[1], path.constData(), size_t(path.size())) == path.size() ? 0 : 1;
    });
    close(channel[1]);
    QByteArray path;
    char buffer[512];
    for (ssize_t got; (got = read(channel[0], buffer, sizeof buffer)) > 0;)
        path.append(buffer, got);
    close(channel[0]);
    return status == 0 ? path : QByteArray();
}

/// Restores an environment variable as it was.
class ScopedEnv
{
public:
    explicit ScopedEnv(const char *name)
        : m_name(name), m_wasSet(qEnvironmentVariableIsSet(name)), m_value(qgetenv(name))
    { }
    ~ScopedEnv()
    {
        if (m_wasSet)
            qputenv(m_name, m_value);
        else
            qunsetenv(m_name);
    }
    ScopedEnv(const ScopedEnv &) = delete;
    ScopedEnv &operator=(const ScopedEnv &) = delete;

private:
    const char *m_name;
    bool m_wasSet;
    QByteArray m_value;
};

} // namespace

class TestSettingsLocation : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void locationFollowsTheExecutableDirectory_data();
    void locationFollowsTheExecutableDirectory();
    void userDirectoryDefaultsToDotConfig_data();
    void userDirectoryDefaultsToDotConfig();
    void userDirectoryWithoutHomeVariable();
    void installedProgramNeverWritesBesideItself_data();
    void installedProgramNeverWritesBesideItself();
    void userDirectoryIsMadeAtTheFirstWrite();
    void userDirectoryThatCannotBeMadeGivesTheWriteError();
    void refusedWriteBesideTheExecutableNamesTheBuiltPath();
    void delayChangeOnAnInstallShowsNoError();
    void rootLeavesTheLearnersFilesTheirs_data();
    void rootLeavesTheLearnersFilesTheirs();
    void refusedLongConfigHomeLeavesNoDirectory();

private:
    QByteArray path(const QString &name) const { return QFile::encodeName(m_root->filePath(name)); }
    QByteArray userFile() const
    {
        return path(QStringLiteral("config/hanlexo-vocab/dadorir_iruze.ini"));
    }

    std::unique_ptr<QTemporaryDir> m_root;
    std::unique_ptr<ScopedEnv> m_xdg;
    std::unique_ptr<ScopedEnv> m_home;
};

void TestSettingsLocation::init()
{
    m_xdg = std::make_unique<ScopedEnv>("XDG_CONFIG_HOME");
    m_home = std::make_unique<ScopedEnv>("HOME");
    m_root = std::make_unique<QTemporaryDir>();
    QVERIFY(m_root->isValid());
    // Traversable by the unprivileged child.
    QCOMPARE(chmod(QFile::encodeName(m_root->path()).constData(), 0755), 0);
    qputenv("XDG_CONFIG_HOME", path(QStringLiteral("config")));
    qputenv("HOME", path(QStringLiteral("home")));
}

void TestSettingsLocation::cleanup()
{
    platform::setExecutablePathOverride({});
    platform::setInstalledBinDirectoriesOverride({});
    // A read-only directory must become writable again to be removed.
    chmod(path(QStringLiteral("exe")).constData(), 0700);
    m_root.reset();
    m_home.reset();
    m_xdg.reset();
}

void TestSettingsLocation::locationFollowsTheExecutableDirectory_data()
{
    QTest::addColumn<ExeDir>("exeDir");
    QTest::addColumn<bool>("fileThere");
    QTest::addColumn<bool>("beside");
    QTest::newRow("writable, no file: portable copy") << ExeDir::Writable << false << true;
    QTest::newRow("writable, with file") << ExeDir::Writable << true << true;
    QTest::newRow("read-only, with file: kept beside") << ExeDir::ReadOnly << true << true;
    QTest::newRow("read-only, no file: per-user") << ExeDir::ReadOnly << false << false;
    QTest::newRow("missing directory: per-user") << ExeDir::Missing << false << false;
}

void TestSettingsLocation::locationFollowsTheExecutableDirectory()
{
    QFETCH(ExeDir, exeDir);
    QFETCH(bool, fileThere);
    QFETCH(bool, beside);

    const QByteArray dir
        = path(exeDir == ExeDir::Missing ? QStringLiteral("missing/bin") : QStringLiteral("exe"));
    if (exeDir != ExeDir::Missing) {
        QVERIFY(QDir().mkpath(QFile::decodeName(dir)));
        if (fileThere)
            writeBytes(QFile::decodeName(dir + "/dadorir_iruze.ini"), "[Vitesse]\r\npinyin=6\r\n");
        QCOMPARE(chmod(dir.constData(), exeDir == ExeDir::ReadOnly ? 0555 : 0777), 0);
    }
    platform::setExecutablePathOverride(dir + "/hanlexo-vocab");

    const QByteArray built = builtPathUnprivileged();
    if (built.isEmpty())
        SKIP_OR_FAIL_IN_CI("cannot drop root's privileges to look at a read-only directory");
    QCOMPARE(built, beside ? dir + "//dadorir_iruze.ini" : userFile());
    // Choosing the place creates nothing.
    QVERIFY(!QFileInfo::exists(path(QStringLiteral("config"))));
    QVERIFY(!QFileInfo::exists(path(QStringLiteral("missing"))));
}

void TestSettingsLocation::userDirectoryDefaultsToDotConfig_data()
{
    // xdg: the variable's value, "<root>/" standing for the test's temporary directory; null for
    // unset.
    QTest::addColumn<QString>("xdg");
    QTest::addColumn<QString>("expected");
    QTest::newRow("set") << QStringLiteral("<root>/config") << QStringLiteral("config");
    QTest::newRow("set, trailing separator")
        << QStringLiteral("<root>/config/") << QStringLiteral("config");
    QTest::newRow("unset: ~/.config") << QString() << QStringLiteral("home/.config");
    QTest::newRow("empty: ~/.config") << QStringLiteral("") << QStringLiteral("home/.config");
    QTest::newRow("relative: ignored")
        << QStringLiteral("rel/config") << QStringLiteral("home/.config");
}

void TestSettingsLocation::userDirectoryDefaultsToDotConfig()
{
    QFETCH(QString, xdg);
    QFETCH(QString, expected);
    if (xdg.isNull())
        qunsetenv("XDG_CONFIG_HOME");
    else
        qputenv("XDG_CONFIG_HOME",
                QFile::encodeName(xdg.replace(QStringLiteral("<root>/"), m_root->path() + u'/')));
    platform::setExecutablePathOverride(path(QStringLiteral("missing/hanlexo-vocab")));
    QCOMPARE(Settings::builtPath(),
             path(expected + QStringLiteral("/hanlexo-vocab/dadorir_iruze.ini")));
}

void TestSettingsLocation::userDirectoryWithoutHomeVariable()
{
    // A program started without an environment still finds its user's home.
    qunsetenv("XDG_CONFIG_HOME");
    qunsetenv("HOME");
    const passwd *user = getpwuid(geteuid());
    if (!user)
        SKIP_OR_FAIL_IN_CI("this user has no entry in the user database");
    platform::setExecutablePathOverride(path(QStringLiteral("missing/hanlexo-vocab")));
    QCOMPARE(Settings::builtPath(),
             QByteArray(user->pw_dir) + "/.config/hanlexo-vocab/dadorir_iruze.ini");
}

void TestSettingsLocation::installedProgramNeverWritesBesideItself_data()
{
    // The install prefix is "<root>/prefix"; the executable's directory as the program sees it.
    QTest::addColumn<QString>("exeDir");
    QTest::addColumn<bool>("fileThere");
    QTest::addColumn<bool>("beside");
    QTest::newRow("installed") << QStringLiteral("prefix/bin") << false << false;
    QTest::newRow("installed, a file already beside it")
        << QStringLiteral("prefix/bin") << true << false;
    QTest::newRow("installed, reached through a link")
        << QStringLiteral("linked-prefix/bin") << false << false;
    QTest::newRow("a copy elsewhere keeps its file beside it")
        << QStringLiteral("prefix/copy") << false << true;
}

void TestSettingsLocation::installedProgramNeverWritesBesideItself()
{
    QFETCH(QString, exeDir);
    QFETCH(bool, fileThere);
    QFETCH(bool, beside);
    const QByteArray stored("[Vitesse]\r\npinyin=3\r\n");
    for (const QString &made : {QStringLiteral("prefix/bin"), QStringLiteral("prefix/copy")})
        QVERIFY(QDir().mkpath(QFile::decodeName(path(made))));
    QCOMPARE(symlink("prefix", path(QStringLiteral("linked-prefix")).constData()), 0);
    // Writable by whoever runs it, as root finds every directory.
    QCOMPARE(chmod(path(QStringLiteral("prefix/bin")).constData(), 0777), 0);
    const QString installedFile = QStringLiteral("prefix/bin/dadorir_iruze.ini");
    if (fileThere)
        writeBytes(QFile::decodeName(path(installedFile)), stored);
    platform::setInstalledBinDirectoriesOverride({path(QStringLiteral("prefix//bin/"))});
    const QByteArray dir = path(exeDir);
    platform::setExecutablePathOverride(dir + "/hanlexo-vocab");

    const Settings settings(Settings::builtPath());
    QCOMPARE(settings.path(), beside ? dir + "//dadorir_iruze.ini" : userFile());
    settings.writeInteger(settings_keys::vitesse, settings_keys::pinyin, 6);
    QCOMPARE(readBytes(QFile::decodeName(beside ? dir + "/dadorir_iruze.ini" : userFile())),
             QByteArray("[Vitesse]\r\npinyin=6\r\n"));
    QCOMPARE(readBytes(QFile::decodeName(path(installedFile))), fileThere ? stored : QByteArray());
    QCOMPARE(QDir(QFile::decodeName(path(QStringLiteral("prefix/bin"))))
                 .entryList(QDir::Files | QDir::Hidden),
             fileThere ? QStringList {QStringLiteral("dadorir_iruze.ini")} : QStringList());
}

void TestSettingsLocation::userDirectoryIsMadeAtTheFirstWrite()
{
    platform::setExecutablePathOverride(path(QStringLiteral("missing/hanlexo-vocab")));
    const Settings settings(Settings::builtPath());
    QCOMPARE(settings.path(), userFile());
    QCOMPARE(settings.readInteger(settings_keys::vitesse, settings_keys::pinyin, 5), 5);
    QVERIFY(!QFileInfo::exists(path(QStringLiteral("config"))));

    settings.writeInteger(settings_keys::vitesse, settings_keys::pinyin, 6);
    settings.writeInteger(settings_keys::affichage, settings_keys::champsFrancais, 26);
    QCOMPARE(readBytes(QFile::decodeName(userFile())),
             QByteArray("[Vitesse]\r\npinyin=6\r\n[Affichage]\r\nchamps_fran\xE7"
                        "ais=26\r\n"));
    QCOMPARE(settings.readInteger(settings_keys::vitesse, settings_keys::pinyin, 5), 6);
    // Both the configuration home and the program's directory are new, and private.
    for (const QString &made : {QStringLiteral("config"), QStringLiteral("config/hanlexo-vocab")}) {
        struct stat status = {};
        QCOMPARE(stat(path(made).constData(), &status), 0);
        QCOMPARE(status.st_mode & 0777, 0700u);
    }
}

void TestSettingsLocation::userDirectoryThatCannotBeMadeGivesTheWriteError()
{
    // A file where the directory should be: no one, not even root, can make it.
    QVERIFY(QDir().mkpath(QFile::decodeName(path(QStringLiteral("config")))));
    writeBytes(QFile::decodeName(path(QStringLiteral("config/hanlexo-vocab"))), "not a directory");
    platform::setExecutablePathOverride(path(QStringLiteral("missing/hanlexo-vocab")));
    const Settings settings(Settings::builtPath());
    try {
        settings.writeInteger(settings_keys::vitesse, settings_keys::chinois, 2);
        QFAIL("the write under a file was not refused");
    } catch (const platform::AppError &error) {
        QCOMPARE(error.message(),
                 QStringLiteral("Impossible d'écrire dans ") + QFile::decodeName(userFile()));
    }
    QCOMPARE(readBytes(QFile::decodeName(path(QStringLiteral("config/hanlexo-vocab")))),
             QByteArray("not a directory"));
}

void TestSettingsLocation::refusedWriteBesideTheExecutableNamesTheBuiltPath()
{
    // A directory in the file's place refuses the write, even to root.
    const QByteArray dir = path(QStringLiteral("exe"));
    QVERIFY(QDir().mkpath(QFile::decodeName(dir + "/dadorir_iruze.ini")));
    platform::setExecutablePathOverride(dir + "/hanlexo-vocab");
    const Settings settings(Settings::builtPath());
    QCOMPARE(settings.path(), dir + "//dadorir_iruze.ini");
    try {
        settings.writeInteger(settings_keys::vitesse, settings_keys::pinyin, 6);
        QFAIL("the write over a directory was not refused");
    } catch (const platform::AppError &error) {
        QCOMPARE(error.message(),
                 QStringLiteral("Impossible d'écrire dans ") + QFile::decodeName(dir)
                     + QStringLiteral("//dadorir_iruze.ini"));
    }
    QVERIFY(!QFileInfo::exists(path(QStringLiteral("config"))));
}

void TestSettingsLocation::delayChangeOnAnInstallShowsNoError()
{
    WindowFixture fixture;
    fixture.addLesson(QStringLiteral("lesson.txt"), numberedLines(3));
    // The fixture points the configuration home into its own directory: use this test's.
    qputenv("XDG_CONFIG_HOME", path(QStringLiteral("config")));
    // An executable in a directory that is not the learner's to write.
    platform::setExecutablePathOverride(path(QStringLiteral("missing/bin/hanlexo-vocab")));
    TForm1 &form = fixture.start();
    QVERIFY(fixture.errors.isEmpty());
    QVERIFY(!QFileInfo::exists(path(QStringLiteral("config"))));

    QTest::keyClick(form.ScrollBar1, Qt::Key_Right);
    QCOMPARE(form.ScrollBar1->value(), 6);
    QCOMPARE(fixture.errors, QStringList());
    QCOMPARE(readBytes(QFile::decodeName(userFile())), QByteArray("[Vitesse]\r\npinyin=6\r\n"));
    QVERIFY(!QFileInfo::exists(fixture.exeDir.filePath(QStringLiteral("dadorir_iruze.ini"))));
}

void TestSettingsLocation::rootLeavesTheLearnersFilesTheirs_data()
{
    QTest::addColumn<bool>("installed");
    QTest::newRow("learner's copy, no settings file yet") << false;
    QTest::newRow("installed program, learner's $HOME without .config") << true;
}

void TestSettingsLocation::rootLeavesTheLearnersFilesTheirs()
{
    // Root running the learner's program (sudo -E, su -m) makes files in the learner's
    // directories: they must stay the learner's to write afterwards.
    QFETCH(bool, installed);
    if (geteuid() != 0)
        SKIP_OR_FAIL_IN_CI("a learner's directory for root to write in needs root to arrange");
    const QByteArray learnerDir = path(installed ? QStringLiteral("home") : QStringLiteral("exe"));
    QVERIFY(QDir().mkpath(QFile::decodeName(learnerDir)));
    QCOMPARE(chown(learnerDir.constData(), nobodyId, nobodyId), 0);
    qunsetenv("XDG_CONFIG_HOME");
    if (installed) {
        platform::setInstalledBinDirectoriesOverride({path(QStringLiteral("bin"))});
        QVERIFY(QDir().mkpath(QFile::decodeName(path(QStringLiteral("bin")))));
        platform::setExecutablePathOverride(path(QStringLiteral("bin/hanlexo-vocab")));
    } else {
        platform::setExecutablePathOverride(learnerDir + "/hanlexo-vocab");
    }
    const Settings settings(Settings::builtPath());
    const QByteArray file = installed ? learnerDir + "/.config/hanlexo-vocab/dadorir_iruze.ini"
                                      : learnerDir + "//dadorir_iruze.ini";
    QCOMPARE(settings.path(), file);
    settings.writeInteger(settings_keys::vitesse, settings_keys::pinyin, 6);

    QByteArrayList made = {file};
    if (installed)
        made << learnerDir + "/.config" << learnerDir + "/.config/hanlexo-vocab";
    for (const QByteArray &name : made) {
        struct stat status = {};
        QCOMPARE(stat(name.constData(), &status), 0);
        QVERIFY2(status.st_uid == nobodyId && status.st_gid == nobodyId, name.constData());
    }
    // The learner changes a delay afterwards, without an error.
    QCOMPARE(runAsNobody([&file] {
                 return platform::ini::writeValue(file, "Vitesse", "pinyin", "7").ok() ? 0 : 1;
             }),
             0);
    QCOMPARE(settings.readInteger(settings_keys::vitesse, settings_keys::pinyin, 5), 7);
}

void TestSettingsLocation::refusedLongConfigHomeLeavesNoDirectory()
{
    // 22 nested names of 200 bytes: longer than a path may be, so the innermost ones cannot be
    // made; the write is refused, and what was made on the way goes again.
    QByteArray config = path(QStringLiteral("long"));
    for (int i = 0; i < 22; ++i)
        config += '/' + QByteArray(200, char('a' + i % 26));
    qputenv("XDG_CONFIG_HOME", config);
    platform::setExecutablePathOverride(path(QStringLiteral("missing/hanlexo-vocab")));
    const Settings settings(Settings::builtPath());
    QVERIFY_THROWS_EXCEPTION(
        platform::AppError,
        settings.writeInteger(settings_keys::vitesse, settings_keys::pinyin, 6));
    QVERIFY(!QFileInfo::exists(QFile::decodeName(path(QStringLiteral("long")))));
}

QTEST_MAIN(TestSettingsLocation)
#include "tst_settings_location.moc"
