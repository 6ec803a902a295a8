// Two programs sharing one settings file, each changing its own delay as fast as a learner's
// keyboard repeats: every write takes the other's last change along, so that the file ends with
// each program's last values.
#include "app/tform1.h"
#include "platform/ini_file.h"
#include "platform/module_path.h"
#include "toolkit/scroll_bar.h"
#include "windowfixture.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTest>
#include <QThread>

#include <cstdio>

namespace {

constexpr int changes = 200;
const char *const instanceVariable = "HANLEXO_SHARED_SETTINGS_INSTANCE";
const char *const directoryVariable = "HANLEXO_SHARED_SETTINGS_DIR";

/// One program: its window on the real display, the settings file beside its "executable" in
/// the shared directory. The first changes the chinois delay, the second the pinyin one, each
/// 200 times; prints its last value. 0 when no change was refused.
int runInstance(int instance, const QByteArray &directory)
{
    WindowFixture fixture;
    platform::setExecutablePathOverride(directory + "/hanlexo-vocab");
    TForm1 &form = fixture.start();
    toolkit::TScrollBar *const bar = instance == 0 ? form.ScrollBar0 : form.ScrollBar1;

    // Both windows open before either changes anything, so that the changes overlap.
    writeBytes(QFile::decodeName(directory) + QStringLiteral("/ready%1").arg(instance), "");
    const QString other
        = QFile::decodeName(directory) + QStringLiteral("/ready%1").arg(1 - instance);
    for (QDeadlineTimer deadline(30000); !QFile::exists(other);) {
        if (deadline.hasExpired())
            return 3;
        QThread::msleep(5);
    }
    // Two steps out, then back and forth: the last value is two steps from the first.
    const Qt::Key out = instance == 0 ? Qt::Key_Right : Qt::Key_Left;
    const Qt::Key back = instance == 0 ? Qt::Key_Left : Qt::Key_Right;
    for (int i = 0; i < changes; ++i) {
        QTest::keyClick(bar, i == 0 || i % 2 == 1 ? out : back);
        QCoreApplication::processEvents();
    }
    std::printf("%d\n", bar->value());
    for (const QString &error : fixture.errors)
        std::fprintf(stderr, "%s\n", qPrintable(error));
    return fixture.errors.isEmpty() ? 0 : 1;
}

} // namespace

class TestSharedSettings : public QObject
{
    Q_OBJECT
private slots:
    void twoProgramsKeepEachOthersChanges();
};

void TestSharedSettings::twoProgramsKeepEachOthersChanges()
{
    const ScopedWorkDir shared;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QString::fromLatin1(directoryVariable), shared.path());
    QProcess programs[2];
    for (int instance = 0; instance < 2; ++instance) {
        environment.insert(QString::fromLatin1(instanceVariable), QString::number(instance));
        programs[instance].setProcessEnvironment(environment);
        programs[instance].start(QCoreApplication::applicationFilePath(), {});
    }
    QString last[2];
    for (int instance = 0; instance < 2; ++instance) {
        QProcess &program = programs[instance];
        QVERIFY(program.waitForFinished(120000));
        const QString errors = QString::fromUtf8(program.readAllStandardError());
        QVERIFY2(program.exitStatus() == QProcess::NormalExit && program.exitCode() == 0,
                 qPrintable(QStringLiteral("instance %1: %2").arg(instance).arg(errors)));
        last[instance] = QString::fromUtf8(program.readAllStandardOutput()).trimmed();
    }
    QCOMPARE(last[0], QStringLiteral("2"));
    QCOMPARE(last[1], QStringLiteral("3"));

    const QByteArray file = QFile::encodeName(shared.filePath(QStringLiteral("dadorir_iruze.ini")));
    const auto value = [&file](const char *key) {
        const platform::FileResult<std::optional<QByteArray>> read
            = platform::ini::readValue(file, "Vitesse", key);
        return read.ok() && read.value() ? QString::fromLatin1(*read.value()) : QString();
    };
    QCOMPARE(value("chinois"), last[0]);
    QCOMPARE(value("pinyin"), last[1]);
    QCOMPARE(QDir(shared.path()).entryList(QDir::Files | QDir::Hidden),
             (QStringList {QStringLiteral("dadorir_iruze.ini"), QStringLiteral("ready0"),
                           QStringLiteral("ready1")}));
}

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    if (qEnvironmentVariableIsSet(instanceVariable))
        return runInstance(qEnvironmentVariableIntValue(instanceVariable),
                           qgetenv(directoryVariable));
    TestSharedSettings test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_shared_settings.moc"
