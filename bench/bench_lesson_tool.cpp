// hanlexo-lesson's two heavy commands: importing a large spreadsheet export and checking a folder
// of many lessons.

#include "lesson_generator.h"

#include "lessontool/importer.h"
#include "lessontool/lesson_check.h"
#include "lessontool/lesson_file.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// A UTF-8 list as flashcard apps export it: Chinese, pinyin with tone numbers, French with
// commas, TAB-separated, a header line first.
QByteArray utf8List(int lines)
{
    static const char *const syllables[]
        = {"ma1",  "ma2",   "ma3",  "ma4",    "ni3",  "hao3", "xie4",   "zai4", "jian4", "lao3",
           "shi1", "peng2", "you5", "zhong1", "guo2", "xue2", "sheng1", "lv4",  "nu:3",  "er2"};
    bench::Generator generator(11);
    QString text = QStringLiteral("Chinois\tPinyin\tFrançais\n");
    for (int i = 0; i < lines; ++i) {
        const QString line = generator.line();
        const qsizetype tab = line.indexOf(u'\t');
        text += QStringView(line).first(tab);
        text += u'\t';
        for (qsizetype k = 0; k < tab; ++k) {
            if (k > 0)
                text += u' ';
            text += QLatin1String(syllables[generator.below(std::size(syllables))]);
        }
        text += u'\t';
        text += QStringView(line).sliced(line.lastIndexOf(u'\t') + 1);
        text += QStringLiteral(", etc.\n");
    }
    return text.toUtf8();
}

void BM_Import100k(benchmark::State &state)
{
    // The whole command: read, decode, split, convert the pinyin, write the lesson into place.
    QTemporaryDir dir;
    const QString source = dir.filePath(QStringLiteral("liste.tsv"));
    const QString output = dir.filePath(QStringLiteral("leçon.txt"));
    QFile file(source);
    const QByteArray bytes = utf8List(100000);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(source));
    file.close();
    qsizetype entries = 0;
    for (auto _ : state) {
        const ImportResult result = importFiles({source}, {});
        if (result.fatal || !result.skipped.isEmpty())
            qFatal("import failed");
        if (!writeOutputFile(output, lessonFileBytes(result.entries), true).ok())
            qFatal("cannot write the lesson");
        entries = result.entries.size();
    }
    state.SetBytesProcessed(state.iterations() * bytes.size());
    state.counters["entries"] = double(entries);
}
BENCHMARK(BM_Import100k)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ImportProcessMemory(benchmark::State &state)
{
    // The whole hanlexo-lesson import of a list of the given size in MB, as its own process: the
    // most memory it held (resident), against the size of the list. The target: at most 4 times.
    QTemporaryDir dir;
    const QString source = dir.filePath(QStringLiteral("liste.tsv"));
    const QString output = dir.filePath(QStringLiteral("leçon.txt"));
    const qsizetype wanted = qsizetype(state.range(0)) << 20;
    QFile file(source);
    if (!file.open(QIODevice::WriteOnly))
        qFatal("cannot write %s", qPrintable(source));
    const QByteArray block = utf8List(50000);
    for (qsizetype written = 0; written < wanted; written += block.size()) {
        if (file.write(block) != block.size())
            qFatal("cannot write %s", qPrintable(source));
    }
    const double sourceMegabytes = double(file.size()) / double(1 << 20);
    file.close();
    double residentMegabytes = 0;
    for (auto _ : state) {
        QFile::remove(output);
        const QByteArray sourceName = QFile::encodeName(source);
        const QByteArray outputName = QFile::encodeName(output);
        const pid_t child = fork();
        if (child == 0) {
            const int null = ::open("/dev/null", O_WRONLY);
            dup2(null, STDOUT_FILENO);
            dup2(null, STDERR_FILENO);
            execl(HANLEXO_LESSON_TOOL, "hanlexo-lesson", "import", sourceName.constData(), "-o",
                  outputName.constData(), static_cast<char *>(nullptr));
            _exit(127);
        }
        int status = 0;
        rusage usage {};
        if (child < 0 || wait4(child, &status, 0, &usage) != child || !WIFEXITED(status)
            || WEXITSTATUS(status) != 0)
            qFatal("the import failed");
        residentMegabytes = double(usage.ru_maxrss) / 1024.0;
    }
    state.counters["source_MB"] = sourceMegabytes;
    state.counters["resident_MB"] = residentMegabytes;
    state.counters["times_source"] = residentMegabytes / sourceMegabytes;
}
BENCHMARK(BM_ImportProcessMemory)
    ->ArgName("MB")
    ->Arg(64)
    ->Arg(256)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

void BM_Verify500Lessons(benchmark::State &state)
{
    // "verifier" on 500 lessons of 200 entries: listing test, reading, checks and the report.
    QTemporaryDir dir;
    bench::Generator generator(5);
    QStringList paths;
    for (int i = 0; i < 500; ++i) {
        const QString path
            = dir.filePath(QStringLiteral("lesson-%1.txt").arg(i, 3, 10, QLatin1Char('0')));
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(generator.lesson(200)) < 0)
            qFatal("cannot write %s", qPrintable(path));
        paths << path;
    }
    for (auto _ : state) {
        qsizetype length = 0;
        for (const QString &path : paths)
            length += checkReport(checkLesson(path)).size();
        benchmark::DoNotOptimize(length);
    }
    state.counters["lessons"] = double(paths.size());
}
BENCHMARK(BM_Verify500Lessons)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
