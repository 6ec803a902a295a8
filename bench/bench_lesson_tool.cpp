// hanlexo-lesson's heavy commands: importing a large spreadsheet export, filling a list of words
// from a full-size dictionary, and checking a folder of many lessons.

#include "lesson_generator.h"

#include "lessontool/dictionary.h"
#include "lessontool/importer.h"
#include "lessontool/lesson_check.h"
#include "lessontool/lesson_file.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <sys/ptrace.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

using namespace lessontool;

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

// A dictionary in the CEDICT line format of about CC-CEDICT's size (120,000 entries, 1 to 4
// characters, one to three senses), and a list of 1,000 of its words, 50 of them unknown, as a
// learner copies them: one word a line under a header.
struct DictionaryFiles
{
    QTemporaryDir dir;
    QString dictionary = dir.filePath(QStringLiteral("cedict.u8"));
    QString list = dir.filePath(QStringLiteral("mots.txt"));
    qsizetype dictionaryBytes = 0;

    DictionaryFiles()
    {
        static const char *const syllables[]
            = {"ma1",  "ma2",   "ma3",  "ma4",    "ni3",  "hao3", "xie4",   "zai4", "jian4", "lao3",
               "shi1", "peng2", "you5", "zhong1", "guo2", "xue2", "sheng1", "lu:4", "nu:3",  "er2"};
        bench::Generator generator(25);
        QString text = QStringLiteral("# CC-CEDICT\n#! version=1\n#! charset=UTF-8\n");
        QStringList words;
        for (int i = 0; i < 120000; ++i) {
            const QString line = generator.line();
            const QStringView chinese = QStringView(line).first(line.indexOf(u'\t'));
            const QStringView sense = QStringView(line).sliced(line.lastIndexOf(u'\t') + 1);
            text += chinese;
            text += u' ';
            text += chinese;
            text += QStringLiteral(" [");
            for (qsizetype k = 0; k < chinese.size(); ++k) {
                if (k > 0)
                    text += u' ';
                text += QLatin1String(syllables[generator.below(std::size(syllables))]);
            }
            text += QStringLiteral("] /");
            for (std::uint32_t k = 1 + generator.below(3); k > 0; --k) {
                text += sense;
                text += u'/';
            }
            text += u'\n';
            if (i % 120 == 0)
                words << chinese.toString();
        }
        const QByteArray bytes = text.toUtf8();
        dictionaryBytes = bytes.size();
        write(dictionary, bytes);
        QString listed = QStringLiteral("Chinois\tPinyin\tFrançais\n");
        for (qsizetype i = 0; i < 1000; ++i)
            listed += (i % 20 == 0 ? QStringLiteral("Inconnu%1").arg(i) : words[i]) + u'\n';
        write(list, listed.toUtf8());
    }

    static void write(const QString &path, const QByteArray &bytes)
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            qFatal("cannot write %s", qPrintable(path));
    }
};

void BM_DictionaryFill1000(benchmark::State &state)
{
    // import --dictionnaire without the writing: the list read, the dictionary read through for
    // its words, the fields filled.
    const DictionaryFiles files;
    ImportOptions options;
    options.shortLinesKept = true;
    DictionaryFill fill;
    for (auto _ : state) {
        ImportResult result = importFiles({files.list}, options);
        fill = fillFromDictionaries(result, {files.dictionary}, false);
        if (result.fatal || result.entries.size() != 1000)
            qFatal("import failed");
    }
    state.counters["filled"] = double(fill.filled + fill.ambiguous);
    state.counters["unknown"] = double(fill.unknown);
    state.counters["dictionary_MB"] = double(files.dictionaryBytes) / (1 << 20);
}
BENCHMARK(BM_DictionaryFill1000)->Unit(benchmark::kMillisecond)->UseRealTime();

// The peak resident set (VmHWM, kB) of the program run with arguments, read when it is about to
// exit (stopped there by ptrace): after exec the process has its own memory, so the figure is the
// program's alone, not the benchmark's that started it. -1 when it failed or the peak is unknown.
long peakResidentKilobytes(const QList<QByteArray> &arguments)
{
    std::vector<char *> argv;
    for (const QByteArray &argument : arguments)
        argv.push_back(const_cast<char *>(argument.constData()));
    argv.push_back(nullptr);
    const pid_t child = fork();
    if (child == 0) {
        const int devNull = open("/dev/null", O_WRONLY);
        dup2(devNull, STDOUT_FILENO);
        dup2(devNull, STDERR_FILENO);
        ptrace(PTRACE_TRACEME, 0, nullptr, nullptr);
        execv(argv[0], argv.data());
        _exit(127);
    }
    int status = 0;
    long peak = -1;
    // Stopped at the exec; then at the exit, its memory still there.
    if (child < 0 || waitpid(child, &status, 0) != child || !WIFSTOPPED(status))
        return -1;
    ptrace(PTRACE_SETOPTIONS, child, nullptr, PTRACE_O_TRACEEXIT);
    ptrace(PTRACE_CONT, child, nullptr, nullptr);
    while (waitpid(child, &status, 0) == child && WIFSTOPPED(status)) {
        if ((status >> 8) == (SIGTRAP | (PTRACE_EVENT_EXIT << 8))) {
            QFile file(QStringLiteral("/proc/%1/status").arg(child));
            if (file.open(QIODevice::ReadOnly)) {
                for (const QByteArray &line : file.readAll().split('\n')) {
                    if (line.startsWith("VmHWM:"))
                        peak = line.mid(6).trimmed().split(' ').value(0).toLong();
                }
            }
            ptrace(PTRACE_CONT, child, nullptr, nullptr);
        } else {
            ptrace(PTRACE_CONT, child, nullptr, WSTOPSIG(status));
        }
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? peak : -1;
}

void BM_DictionaryFillProcess(benchmark::State &state)
{
    // The whole command in its own process, for its peak resident memory against the size of the
    // dictionary file; Args(0): the same list without a dictionary, the program's own share.
    const DictionaryFiles files;
    QList<QByteArray> arguments
        = {QByteArrayLiteral(HANLEXO_LESSON_TOOL),
           "import",
           QFile::encodeName(files.list),
           "-o",
           QFile::encodeName(files.dir.filePath(QStringLiteral("leçon.txt"))),
           "--remplacer"};
    if (state.range(0) != 0)
        arguments << "--dictionnaire" << QFile::encodeName(files.dictionary);
    else
        arguments << "--colonnes"
                  << "1,,";
    long peakKilobytes = 0;
    for (auto _ : state) {
        peakKilobytes = peakResidentKilobytes(arguments);
        if (peakKilobytes <= 0) {
            state.SkipWithError("hanlexo-lesson import failed, or its peak is unknown");
            break;
        }
    }
    state.counters["peak_MB"] = double(peakKilobytes) / 1024;
    state.counters["dictionary_MB"] = double(files.dictionaryBytes) / (1 << 20);
    state.counters["peak_per_dictionary"]
        = double(peakKilobytes) * 1024 / double(files.dictionaryBytes);
}
BENCHMARK(BM_DictionaryFillProcess)
    ->ArgName("dictionary")
    ->Arg(0)
    ->Arg(1)
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
