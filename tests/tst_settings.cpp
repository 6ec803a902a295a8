#include "settings/settings.h"

#include "platform/app_error.h"
#include "platform/module_path.h"
#include "testsupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

namespace {

/// The program's six keys with their designed defaults.
struct Entry
{
    const char *section;
    const char *key;
    int fallback;
};

const Entry entries[] = {
    {settings_keys::vitesse, settings_keys::chinois, 0},
    {settings_keys::vitesse, settings_keys::pinyin, 5},
    {settings_keys::vitesse, settings_keys::francais, 7},
    {settings_keys::affichage, settings_keys::champsChinois, 50},
    {settings_keys::affichage, settings_keys::champsPinyin, 22},
    {settings_keys::affichage, settings_keys::champsFrancais, 20},
};

} // namespace

class TestSettings : public QObject
{
    Q_OBJECT
private slots:
    void cleanup();
    void pathDoublesTheSeparator();
    void pathFollowsTheExecutable();
    void storedTextsConvertOrFallBack_data();
    void storedTextsConvertOrFallBack();
    void missingFileGivesDefaultsAndStaysMissing();
    void writtenValuesAreReadBack();
    void refusedWriteNamesTheBuiltPath();
};

void TestSettings::cleanup()
{
    platform::setExecutablePathOverride({});
}

void TestSettings::pathDoublesTheSeparator()
{
    QTemporaryDir dir;
    const QByteArray directory = QFile::encodeName(dir.path());
    platform::setExecutablePathOverride(directory + "/prog");
    QCOMPARE(Settings::builtPath(), directory + "//dadorir_iruze.ini");
}

void TestSettings::pathFollowsTheExecutable()
{
    QCOMPARE(Settings::builtPath(),
             QFile::encodeName(QCoreApplication::applicationDirPath()) + "//dadorir_iruze.ini");
}

void TestSettings::storedTextsConvertOrFallBack_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<int>("expected");
    // The "français" line of [Vitesse], its key in the 8-bit code page, then rest.
    const auto francais = [](const char *rest) {
        return QByteArray("[Vitesse]\r\nfran\xE7") + "ais" + rest + "\r\n";
    };
    QTest::newRow("decimal") << francais("=3") << 3;
    QTest::newRow("hexadecimal") << francais("=0x3") << 3;
    QTest::newRow("blanks around") << francais(" = 4\t") << 4;
    QTest::newRow("letters") << francais("=abc") << 7;
    QTest::newRow("empty") << francais("=") << 7;
    QTest::newRow("fraction") << francais("=2.5") << 7;
    QTest::newRow("UTF-8 key") << QByteArray("[Vitesse]\r\nfran\xC3\xA7"
                                             "ais=3\r\n")
                               << 7;
    QTest::newRow("other section") << QByteArray("[Affichage]\r\nfran\xE7"
                                                 "ais=3\r\n")
                                   << 7;
    QTest::newRow("binary garbage") << QByteArray("\xFF\xFE\0[\x01\r\n", 7) << 7;
}

void TestSettings::storedTextsConvertOrFallBack()
{
    QFETCH(QByteArray, content);
    QFETCH(int, expected);
    const ScopedWorkDir dir;
    writeBytes(dir.filePath("dadorir_iruze.ini"), content);
    const Settings settings(QFile::encodeName(dir.path()) + "//dadorir_iruze.ini");
    QCOMPARE(settings.readInteger(settings_keys::vitesse, settings_keys::francais, 7), expected);
}

void TestSettings::missingFileGivesDefaultsAndStaysMissing()
{
    const ScopedWorkDir dir;
    const Settings settings(QFile::encodeName(dir.path()) + "//dadorir_iruze.ini");
    for (const Entry &entry : entries)
        QCOMPARE(settings.readInteger(entry.section, entry.key, entry.fallback), entry.fallback);
    QVERIFY(!QFileInfo::exists(dir.filePath("dadorir_iruze.ini")));
}

void TestSettings::writtenValuesAreReadBack()
{
    const ScopedWorkDir dir;
    const Settings settings(QFile::encodeName(dir.path()) + "//dadorir_iruze.ini");
    settings.writeInteger(settings_keys::vitesse, settings_keys::pinyin, 6);
    QCOMPARE(readBytes(dir.filePath("dadorir_iruze.ini")), QByteArray("[Vitesse]\r\npinyin=6\r\n"));

    int value = -2;
    for (const Entry &entry : entries)
        settings.writeInteger(entry.section, entry.key, value++);
    value = -2;
    for (const Entry &entry : entries)
        QCOMPARE(settings.readInteger(entry.section, entry.key, entry.fallback), value++);
    QCOMPARE(readBytes(dir.filePath("dadorir_iruze.ini")),
             QByteArray("[Vitesse]\r\npinyin=-1\r\nchinois=-2\r\nfran\xE7"
                        "ais=0\r\n"
                        "[Affichage]\r\nchamps_chinois=1\r\nchamps_pinyin=2\r\nchamps_fran\xE7"
                        "ais=3\r\n"));
}

void TestSettings::refusedWriteNamesTheBuiltPath()
{
    // A directory where the file should be refuses the write, even for root.
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("dadorir_iruze.ini")));
    platform::setExecutablePathOverride(
        QFile::encodeName(dir.filePath(QStringLiteral("hanlexo-vocab"))));
    const Settings settings(Settings::builtPath());
    try {
        settings.writeInteger(settings_keys::vitesse, settings_keys::pinyin, 6);
        QFAIL("the write over a directory was not refused");
    } catch (const platform::AppError &error) {
        QCOMPARE(
            error.message(),
            QString::fromUtf8("Impossible d'écrire dans %1//dadorir_iruze.ini").arg(dir.path()));
    }
}

QTEST_GUILESS_MAIN(TestSettings)
#include "tst_settings.moc"
