// Lesson fields of 10 MB each (5 million UTF-16 units, one line of a lesson) shown as the learner
// meets them: "Suivant" with its three fields revealed and painted, and a question whose choices
// and solution hold such fields, answered and painted. The labels and choices take only what they
// can ever show of a field, so these cost what short fields cost.

#include "bench_window.h"

#include "core/random.h"
#include "toolkit/classic_timer.h"
#include "toolkit/radio_group.h"

#include <QCheckBox>
#include <QFile>
#include <QRadioButton>
#include <QTabWidget>

namespace {

constexpr qsizetype fieldUnits = 5'000'000; // 10 MB of UTF-16
constexpr int entries = 6; // enough for a question

using bench::window;

/// A field of n units made of words, starting with tag so that every field differs at once.
QString hugeField(const QString &tag, qsizetype n)
{
    QString text = tag;
    text.reserve(n);
    static const QString word = QStringLiteral("célèbre version raccourcie ");
    while (text.size() + word.size() <= n)
        text += word;
    return text.leftJustified(n, u'x');
}

QByteArray hugeLesson()
{
    QByteArray bytes("\xFF\xFE", 2);
    for (int k = 0; k < entries; ++k) {
        const QString line = hugeField(QStringLiteral("字%1").arg(k), fieldUnits) + u'\t'
            + hugeField(QStringLiteral("zì%1 ").arg(k), fieldUnits) + u'\t'
            + hugeField(QStringLiteral("%1 ").arg(k), fieldUnits) + QStringLiteral("\r\n");
        bytes.append(reinterpret_cast<const char *>(line.utf16()), line.size() * 2);
    }
    return bytes;
}

/// One "Suivant": the step, the three reveals, and the page painted.
void BM_SuivantOnHugeFields(benchmark::State &state)
{
    TForm1 &form = *window;
    form.PageControl1->setCurrentIndex(0);
    if (form.Alea->isChecked())
        form.Alea->click();
    for (auto _ : state) {
        form.SelectionnerClick();
        form.Timer0Timer();
        form.Timer1Timer();
        form.Timer2Timer();
        form.TabSheet1->repaint();
        benchmark::DoNotOptimize(form.Liste_ch.tag);
    }
    state.counters["field_MB"] = double(fieldUnits * 2) / 1e6;
}

/// One question whose six choices and solution are huge fields: drawn, answered, painted.
void questionOnHugeFields(benchmark::State &state, QRadioButton *asked, QRadioButton *answered)
{
    TForm1 &form = *window;
    form.PageControl1->setCurrentIndex(1);
    form.ReinitialiserClick();
    asked->setChecked(true);
    answered->setChecked(true);
    programRandom().setSeed(20260101U);
    for (auto _ : state) {
        form.Button4Click();
        form.RadioGroup1->choice((form.quiz.correctSlot() + 1) % toolkit::TRadioGroup::choiceCount)
            ->click();
        form.TabSheet2->repaint();
        state.PauseTiming();
        form.Timer3->setEnabled(false);
        form.ReinitialiserClick();
        state.ResumeTiming();
    }
    state.counters["field_MB"] = double(fieldUnits * 2) / 1e6;
}

/// Chinese asked, French choices, pinyin solution.
void BM_QuestionFrenchChoicesOnHugeFields(benchmark::State &state)
{
    questionOnHugeFields(state, window->LQ1, window->LR3);
}

/// Pinyin asked, Chinese choices, French solution.
void BM_QuestionChineseChoicesOnHugeFields(benchmark::State &state)
{
    questionOnHugeFields(state, window->LQ2, window->LR1);
}

/// Chinese asked, pinyin choices, French solution.
void BM_QuestionPinyinChoicesOnHugeFields(benchmark::State &state)
{
    questionOnHugeFields(state, window->LQ1, window->LR2);
}

/// French asked, pinyin choices, Chinese solution.
void BM_QuestionChineseSolutionOnHugeFields(benchmark::State &state)
{
    questionOnHugeFields(state, window->LQ3, window->LR2);
}

BENCHMARK(BM_SuivantOnHugeFields)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_QuestionFrenchChoicesOnHugeFields)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_QuestionChineseChoicesOnHugeFields)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_QuestionPinyinChoicesOnHugeFields)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_QuestionChineseSolutionOnHugeFields)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    return bench::runWithWindow(
        argc, argv,
        [](const QString &dir) {
            QFile lesson(dir + QStringLiteral("/huge.txt"));
            return lesson.open(QIODevice::WriteOnly) && lesson.write(hugeLesson()) >= 0;
        },
        entries);
}
