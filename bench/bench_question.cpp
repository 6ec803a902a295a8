// Drawing one test question with 100,000 entries in the word lists. The window is built once, as
// the program builds it, from 20 generated lessons of 5,000 entries (about one line in twenty
// repeated) written to a temporary working directory; its settings file lives in another one.

#include "bench_window.h"

#include "core/question_draw.h"
#include "core/random.h"

#include <QRadioButton>

namespace {

constexpr int lessonCount = 20;
constexpr int entriesPerLesson = 5000;

using bench::window;

/// Ticks the question and answer buttons as the learner would (their handlers run).
void choosePair(TForm1 &form, QRadioButton *questionButton, QRadioButton *answerButton)
{
    questionButton->setChecked(true);
    answerButton->setChecked(true);
    // Back in Idle with a fresh score, so that every run starts from the same state.
    form.ReinitialiserClick();
    programRandom().setSeed(20260101U);
}

/// "Lancer le test" (or "&Test") while a question waits: guards, check and one new question.
void lancerLeTest(benchmark::State &state, QRadioButton *questionButton, QRadioButton *answerButton)
{
    TForm1 &form = *window;
    choosePair(form, questionButton, answerButton);
    for (auto _ : state) {
        form.Button4Click();
        benchmark::DoNotOptimize(form.quiz.correctSlot());
    }
    state.counters["entries"] = double(form.Liste_ch.count());
    form.ReinitialiserClick();
    QCoreApplication::processEvents();
}

void BM_Button4Click_ChineseToFrench(benchmark::State &state)
{
    lancerLeTest(state, window->LQ1, window->LR3);
}

void BM_Button4Click_PinyinToChinese(benchmark::State &state)
{
    lancerLeTest(state, window->LQ2, window->LR1);
}

/// The end of a feedback delay after a wrong answer: the choices restored, then the next question.
void BM_Timer3Timer_NextQuestion(benchmark::State &state)
{
    TForm1 &form = *window;
    choosePair(form, form.LQ1, form.LR3);
    form.Button4Click();
    for (auto _ : state) {
        state.PauseTiming();
        form.reponse(0);
        QCoreApplication::processEvents();
        state.ResumeTiming();
        form.Timer3Timer();
        benchmark::DoNotOptimize(form.quiz.correctSlot());
    }
    form.ReinitialiserClick();
    QCoreApplication::processEvents();
}

/// The drawing alone, without the window.
void BM_drawQuestion(benchmark::State &state)
{
    const TForm1 &form = *window;
    Random random(7);
    for (auto _ : state) {
        const QuestionSlots drawn
            = drawQuestion(form.Liste_ch, form.Liste_fr, Field::Chinese, Field::French, random);
        benchmark::DoNotOptimize(drawn);
    }
}

/// The check that refuses lists without six different Chinese texts, at its worst: 100,000
/// entries that share their Chinese text but for four, so that the whole list is read.
void BM_canDrawQuestion_Refused(benchmark::State &state)
{
    WordList chinese;
    WordList french;
    for (int i = 0; i < lessonCount * entriesPerLesson; ++i) {
        chinese.append(i % 20000 == 0 && i > 0 ? QStringLiteral("字%1").arg(i)
                                               : QStringLiteral("同"));
        french.append(QStringLiteral("mot %1").arg(i));
    }
    bool accepted = true;
    for (auto _ : state) {
        accepted = canDrawQuestion(chinese, french, Field::Chinese, Field::French);
        benchmark::DoNotOptimize(accepted);
    }
    if (accepted)
        state.SkipWithError("the list was accepted");
}

BENCHMARK(BM_Button4Click_ChineseToFrench)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Button4Click_PinyinToChinese)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Timer3Timer_NextQuestion)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_drawQuestion)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_canDrawQuestion_Refused)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char **argv)
{
    return bench::runWithWindow(argc, argv, lessonCount, entriesPerLesson);
}
