// One "Suivant" step with 100,000 entries in the word lists, in random and in sequential mode.
// The window is built once, as the program builds it, from 20 lessons of 5,000 entries written
// to a temporary working directory; its settings file lives in another temporary directory.

#include "app/tform1.h"
#include "platform/error_report.h"
#include "platform/fonts.h"
#include "platform/module_path.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>

namespace {

constexpr int lessonCount = 20;
constexpr int entriesPerLesson = 5000;

TForm1 *window = nullptr;

/// A lesson file: byte-order mark, then "ch\tpin\tfr" lines in UTF-16 LE ended by CR LF.
QByteArray lessonBytes(int lesson)
{
    QString text;
    for (int i = 0; i < entriesPerLesson; ++i)
        text += QStringLiteral("字%1词%2\tzì%1 cí%2\tmot %1 de la leçon %2\r\n").arg(i).arg(lesson);
    QByteArray bytes("\xFF\xFE", 2);
    for (QChar c : std::as_const(text)) {
        bytes.append(char(c.unicode() & 0xFF));
        bytes.append(char(c.unicode() >> 8));
    }
    return bytes;
}

bool writeLessons(const QTemporaryDir &dir)
{
    for (int lesson = 0; lesson < lessonCount; ++lesson) {
        QFile file(
            dir.filePath(QStringLiteral("lecon %1.txt").arg(lesson, 2, 10, QLatin1Char('0'))));
        const QByteArray bytes = lessonBytes(lesson);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            return false;
    }
    return true;
}

void setMode(TForm1 &form, bool random)
{
    if (form.Alea->isChecked() == random)
        return;
    form.Alea->setChecked(random);
    form.AleaClick();
}

/// Each step starts, as for the learner, with the three fields revealed by the previous one.
void stepForward(benchmark::State &state, bool random)
{
    TForm1 &form = *window;
    setMode(form, random);
    for (auto _ : state) {
        state.PauseTiming();
        form.Timer0Timer();
        form.Timer1Timer();
        form.Timer2Timer();
        state.ResumeTiming();
        form.SelectionnerClick();
        benchmark::DoNotOptimize(form.Liste_ch.tag);
    }
    state.counters["entries"] = double(form.Liste_ch.count());
    QCoreApplication::processEvents();
}

void BM_SuivantRandom(benchmark::State &state)
{
    stepForward(state, true);
}

void BM_SuivantSequential(benchmark::State &state)
{
    stepForward(state, false);
}

BENCHMARK(BM_SuivantRandom)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SuivantSequential)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char **argv)
{
    // The window is real but never needs a screen.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("QT_FONT_DPI", "96");
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    QApplication application(argc, argv);
    platform::installFontSubstitutions();

    QTemporaryDir work;
    QTemporaryDir exeDir;
    if (!work.isValid() || !exeDir.isValid() || !writeLessons(work)) {
        std::fprintf(stderr, "cannot write the lessons\n");
        return 1;
    }
    const QString previous = QDir::currentPath();
    QDir::setCurrent(work.path());
    setExecutablePathOverride(QFile::encodeName(exeDir.filePath(QStringLiteral("hanlexo-vocab"))));
    QStringList errors;
    platform::setErrorSink([&errors](const QString &text) { errors.append(text); });

    int status = 0;
    {
        TForm1 form;
        form.showCentred();
        QCoreApplication::processEvents();
        const qsizetype entries = form.Liste_ch.count();
        if (!errors.isEmpty() || entries != qsizetype(lessonCount) * entriesPerLesson) {
            std::fprintf(stderr, "start-up gave %lld entries and %lld errors\n",
                         static_cast<long long>(entries), static_cast<long long>(errors.size()));
            status = 1;
        } else {
            window = &form;
            benchmark::RunSpecifiedBenchmarks();
            window = nullptr;
        }
    }
    benchmark::Shutdown();
    platform::setErrorSink({});
    QDir::setCurrent(previous);
    return status;
}
