// One "Suivant" step with 100,000 entries in the word lists, in random and in sequential mode.
// The window is built once, as the program builds it, from 20 generated lessons of 5,000 entries.

#include "bench_window.h"

#include <QCheckBox>

namespace {

constexpr int lessonCount = 20;
constexpr int entriesPerLesson = 5000;

using bench::window;

void setMode(TForm1 &form, bool random)
{
    if (form.Alea->isChecked() == random)
        return;
    // Its handler runs on the change, as for the learner's click.
    form.Alea->setChecked(random);
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
    return bench::runWithWindow(argc, argv, lessonCount, entriesPerLesson);
}
