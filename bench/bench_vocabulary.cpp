// The rebuild of the word lists is the program's hot path: every change of the lesson list reads
// every ticked lesson from disk again. Start-up and the bulk commands rebuild once, so their cost
// grows with the number of entries, not with the square of the number of lessons.

#include "lesson_generator.h"

#include "app/program.h"
#include "app/tform1.h"
#include "core/lesson_reader.h"
#include "core/word_list.h"
#include "platform/module_path.h"
#include "toolkit/message_boxes.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <benchmark/benchmark.h>

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <memory>
#include <optional>
#include <vector>

extern char **environ;

namespace {

/// A temporary working directory holding count lessons of entries lines, current while it lives.
class LessonDir
{
public:
    LessonDir(int count, int entries) : m_previous(QDir::currentPath())
    {
        bench::writeLessons(m_dir.path(), count, entries);
        QDir::setCurrent(m_dir.path());
        platform::setExecutablePathOverride(
            QFile::encodeName(m_dir.filePath(QStringLiteral("probe"))));
    }
    ~LessonDir()
    {
        QDir::setCurrent(m_previous);
        platform::setExecutablePathOverride({});
    }
    QString path() const { return m_dir.path(); }

private:
    QTemporaryDir m_dir;
    QString m_previous;
};

void BM_ParseLesson(benchmark::State &state)
{
    // About 20 MB of lesson text, parsed from memory.
    const QByteArray bytes = bench::Generator(7).lesson(400000);
    WordList ch, pin, fr;
    for (auto _ : state) {
        ch.clear();
        pin.clear();
        fr.clear();
        parseLesson(bytes, {ch, pin, fr});
        benchmark::DoNotOptimize(ch.count());
    }
    state.SetBytesProcessed(state.iterations() * bytes.size());
    state.counters["entries"] = double(ch.count());
}
BENCHMARK(BM_ParseLesson)->Unit(benchmark::kMillisecond);

void BM_ReadLessonFile(benchmark::State &state)
{
    // The same from a file, warm in the page cache: one read, then the parse.
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("big.txt"));
    const QByteArray bytes = bench::Generator(7).lesson(400000);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
    file.close();
    WordList ch, pin, fr;
    for (auto _ : state) {
        ch.clear();
        pin.clear();
        fr.clear();
        if (!readLessonFile(QFile::encodeName(path), {ch, pin, fr}).ok())
            state.SkipWithError("read failed");
    }
    state.SetBytesProcessed(state.iterations() * bytes.size());
}
BENCHMARK(BM_ReadLessonFile)->Unit(benchmark::kMillisecond);

void BM_Rebuild(benchmark::State &state)
{
    // 20 ticked lessons of 5,000 entries: 100,000 entries per rebuild.
    LessonDir lessons(20, 5000);
    TForm1 form;
    for (auto _ : state)
        form.Liste_const();
    state.counters["entries"] = double(form.Liste_ch.count());
}
BENCHMARK(BM_Rebuild)->Unit(benchmark::kMillisecond);

void BM_StartupInProcess(benchmark::State &state)
{
    // Start-up from the window's creation to its first showing, with 100,000 entries split into
    // more and more lessons: flat in the number of lessons (one rebuild, each file read once).
    const int count = int(state.range(0));
    LessonDir lessons(count, 100000 / count);
    for (auto _ : state) {
        auto form = program::makeWindows();
        form->showCentred();
        if (!QTest::qWaitForWindowExposed(form.get()))
            state.SkipWithError("window not exposed");
        state.PauseTiming();
        form.reset();
        state.ResumeTiming();
    }
    state.counters["lessons"] = count;
}
BENCHMARK(BM_StartupInProcess)->Arg(20)->Arg(50)->Arg(200)->Arg(500)->Unit(benchmark::kMillisecond);

void BM_SelectAllAfterUnselectAll(benchmark::State &state)
{
    // "Tout sélectionner" with 500 lessons of 200 entries, all unticked before each press.
    LessonDir lessons(500, 200);
    TForm1 form;
    for (auto _ : state) {
        state.PauseTiming();
        form.Button3Click();
        state.ResumeTiming();
        form.Button1Click();
    }
    if (form.Liste_ch.count() != qsizetype(500) * 200)
        state.SkipWithError("not every lesson loaded");
}
BENCHMARK(BM_SelectAllAfterUnselectAll)->Unit(benchmark::kMillisecond);

/// One process of probe (a file beside this benchmark) started and timed from just before its
/// start to the moment it reports its window shown, or painted the first time with untilPainted;
/// nullopt when it cannot be started or says nothing.
struct ProbeRun
{
    double seconds = 0;
    long residentKilobytes = 0;
};
std::optional<ProbeRun> runProbe(const char *probe, bool untilPainted)
{
    const QByteArray path = QFile::encodeName(QCoreApplication::applicationDirPath() + u'/'
                                              + QString::fromLatin1(probe));
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0)
        return std::nullopt;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, pipeEnds[0]);
    char paintedOption[] = "--until-painted";
    char *arguments[]
        = {const_cast<char *>(path.constData()), untilPainted ? paintedOption : nullptr, nullptr};
    timespec started {};
    clock_gettime(CLOCK_MONOTONIC, &started);
    pid_t child = 0;
    const int spawned
        = posix_spawn(&child, path.constData(), &actions, nullptr, arguments, environ);
    posix_spawn_file_actions_destroy(&actions);
    close(pipeEnds[1]);
    if (spawned != 0) {
        close(pipeEnds[0]);
        return std::nullopt;
    }
    FILE *output = fdopen(pipeEnds[0], "r");
    long long shownAt = 0;
    long resident = 0;
    const bool read = std::fscanf(output, "%lld %ld", &shownAt, &resident) == 2;
    std::fclose(output);
    int status = 0;
    waitpid(child, &status, 0);
    if (!read)
        return std::nullopt;
    const long long startedAt
        = static_cast<long long>(started.tv_sec) * 1000000000LL + started.tv_nsec;
    return ProbeRun {double(shownAt - startedAt) / 1e9, resident};
}

double median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

void BM_StartupProcess(benchmark::State &state, bool untilPainted)
{
    // A whole process, from its start to its window shown (or first painted), with no lesson,
    // then with 100,000 entries split into 20, 50, 200 and 500 lessons; each run follows one of a
    // bare Qt window with one button (bare_window_probe), so that the ratio of the medians
    // compares runs of the same moment of a busy machine. The bare window loads its font only to
    // paint, after it is shown; the program measures its captions before: the first paint is the
    // moment that compares the same work.
    LessonDir lessons(int(state.range(0)), int(state.range(1)));
    std::vector<double> bare;
    std::vector<double> program;
    double residentKilobytes = 0;
    for (auto _ : state) {
        const std::optional<ProbeRun> reference = runProbe("bare_window_probe", untilPainted);
        const std::optional<ProbeRun> run = runProbe("startup_probe", untilPainted);
        if (!reference || !run) {
            state.SkipWithError("a probe could not start or printed nothing");
            break;
        }
        bare.push_back(reference->seconds);
        program.push_back(run->seconds);
        state.SetIterationTime(run->seconds);
        residentKilobytes = double(run->residentKilobytes);
    }
    state.counters["resident_MB"] = residentKilobytes / 1024.0;
    state.counters["bare_ms"] = median(bare) * 1000.0;
    state.counters["median_ms"] = median(program) * 1000.0;
    state.counters["ratio"] = median(bare) > 0 ? median(program) / median(bare) : 0;
}
/// No lesson, then 100,000 entries in 20, 50, 200 and 500 lessons; each run a whole process.
void startupRuns(benchmark::internal::Benchmark *runs)
{
    runs->ArgNames({"lessons", "entries"})
        ->Args({0, 0})
        ->Args({20, 5000})
        ->Args({50, 2000})
        ->Args({200, 500})
        ->Args({500, 200})
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond)
        ->Iterations(31);
}
BENCHMARK_CAPTURE(BM_StartupProcess, shown, false)->Apply(startupRuns);
BENCHMARK_CAPTURE(BM_StartupProcess, painted, true)->Apply(startupRuns);

} // namespace

int main(int argc, char *argv[])
{
    // Off screen unless told otherwise: under xvfb-run with QT_QPA_PLATFORM=xcb the process
    // start-up includes the X connection, as a learner's does.
    program::useOffscreenAtDesignedDpi();
    QApplication application(argc, argv);
    program::setUpApplication();
    toolkit::setErrorSink(
        [](const QString &text) { std::fprintf(stderr, "error: %s\n", qPrintable(text)); });
    toolkit::setPlainMessageSink([](const QString &) {});
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
