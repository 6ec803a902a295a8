// Renders the windows as a learner sees them into PNG files, for the README:
//   hanlexo-screenshots <output directory> [<lessons directory>]
// The sample lessons are copied into a temporary working directory; the settings file is looked
// for in another temporary directory, so nothing of the learner's is read or written.

#include "app/program.h"
#include "app/sandbox.h"
#include "app/tform1.h"
#include "core/random.h"
#include "display/about_box.h"
#include "toolkit/classic_timer.h"
#include "toolkit/radio_group.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>
#include <memory>

#ifndef HANLEXO_SAMPLE_LESSONS
#define HANLEXO_SAMPLE_LESSONS ""
#endif

namespace {

void fail(const QString &message)
{
    std::fprintf(stderr, "hanlexo-screenshots: %s\n", qPrintable(message));
    std::exit(1);
}

/// Lets the window lay itself out and paint before it is grabbed.
void settle()
{
    for (int i = 0; i < 5; ++i)
        QCoreApplication::processEvents();
}

void save(QWidget *widget, const QDir &output, const QString &name)
{
    settle();
    const QString path = output.filePath(name);
    if (!widget->grab().toImage().save(path, "PNG"))
        fail(QStringLiteral("cannot write ") + path);
    std::printf("%s\n", qPrintable(QDir::cleanPath(path)));
}

void copyLessons(const QDir &from, const QString &to)
{
    const QStringList lessons = from.entryList({QStringLiteral("*.txt")}, QDir::Files, QDir::Name);
    if (lessons.isEmpty())
        fail(QStringLiteral("no lessons in ") + from.path());
    for (const QString &name : lessons)
        if (!QFile::copy(from.filePath(name), to + u'/' + name))
            fail(QStringLiteral("cannot copy ") + from.filePath(name));
}

} // namespace

int main(int argc, char *argv[])
{
    program::useOffscreenAtDesignedDpi();
    QApplication application(argc, argv);
    program::setUpApplication();

    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() < 2 || arguments.size() > 3)
        fail(QStringLiteral("usage: hanlexo-screenshots <output directory> [<lessons directory>]"));
    // Resolved now: the program runs in a temporary working directory.
    const QDir output(QDir(arguments.at(1)).absolutePath());
    if (!QDir().mkpath(output.path()))
        fail(QStringLiteral("cannot create ") + output.path());
    const QDir lessons(arguments.size() == 3 ? arguments.at(2)
                                             : QString::fromUtf8(HANLEXO_SAMPLE_LESSONS));

    program::Sandbox sandbox;
    if (!sandbox.isValid())
        fail(QStringLiteral("cannot create a temporary directory"));
    copyLessons(lessons, sandbox.work.path());

    const std::unique_ptr<TForm1> window = program::makeWindows();
    TForm1 &form = *window;
    form.showCentred();
    settle();
    programRandom().setSeed(20240607);

    // Learning page in sequential order, the second card with its three fields revealed.
    form.Alea->click();
    form.Selectionner->click();
    form.Selectionner->click();
    form.Timer0Timer();
    form.Timer1Timer();
    form.Timer2Timer();
    save(&form, output, QStringLiteral("main-learning.png"));

    // Test page: a wrong answer, with its verdict, the right choice and the solution showing.
    form.PageControl1->setCurrentIndex(1);
    form.Button4->click();
    if (!form.RadioGroup1->isVisible())
        fail(QStringLiteral("no question was drawn: ") + sandbox.reports().join(u' '));
    form.RadioGroup1->choice((form.quiz.correctSlot() + 1) % toolkit::TRadioGroup::choiceCount)
        ->click();
    if (!form.Timer3->enabled())
        fail(QStringLiteral("the answer was not scored"));
    save(&form, output, QStringLiteral("main-test.png"));

    // The largest size of each field menu, on the learning page.
    form.PageControl1->setCurrentIndex(0);
    form.N601->trigger();
    form.N321->trigger();
    form.N303->trigger();
    save(&form, output, QStringLiteral("main-learning-largest.png"));

    // The Chinese choices (pinyin asked, Chinese answered), a right answer showing; then the
    // Chinese solution (pinyin asked, French answered).
    form.PageControl1->setCurrentIndex(1);
    form.Reinitialiser->click();
    form.LQ2->click();
    form.LR1->click();
    form.Button4->click();
    form.RadioGroup1->choice(form.quiz.correctSlot())->click();
    save(&form, output, QStringLiteral("main-test-chinese-choices.png"));
    form.Reinitialiser->click();
    form.LR3->click();
    form.Button4->click();
    form.RadioGroup1->choice((form.quiz.correctSlot() + 1) % toolkit::TRadioGroup::choiceCount)
        ->click();
    save(&form, output, QStringLiteral("main-test-chinese-solution.png"));

    form.Aproposde1->trigger();
    save(form.Form2, output, QStringLiteral("about.png"));

    if (!sandbox.reports().isEmpty())
        fail(QStringLiteral("the program reported: ") + sandbox.reports().join(u' '));
    return 0;
}
