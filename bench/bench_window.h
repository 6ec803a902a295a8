#pragma once

// Benchmarks that drive the real window: built once, as the program builds it, from generated
// lessons in a temporary working directory, with its settings file in another one.

#include "lesson_generator.h"

#include "app/program.h"
#include "app/sandbox.h"
#include "app/tform1.h"

#include <QApplication>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <functional>
#include <memory>

namespace bench {

/// The window the benchmarks drive, while runWithWindow runs them.
inline TForm1 *window = nullptr;

/// Runs the registered benchmarks on a window started on the lessons that write puts into its
/// working directory. Fails when write fails, when start-up does not load the expected entries or
/// when anything is reported, a message box included.
inline int runWithWindow(int argc, char **argv, const std::function<bool(const QString &)> &write,
                         qsizetype expected)
{
    // The window is real but never needs a screen.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("QT_FONT_DPI", "96");
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    QApplication application(argc, argv);
    program::setUpApplication();

    int status = 0;
    {
        program::Sandbox sandbox;
        if (!sandbox.isValid()) {
            std::fprintf(stderr, "cannot make the temporary directories\n");
            return 1;
        }
        if (!write(sandbox.work.path())) {
            std::fprintf(stderr, "cannot write the lessons\n");
            return 1;
        }
        const std::unique_ptr<TForm1> form = program::makeWindows();
        form->showCentred();
        QCoreApplication::processEvents();
        const qsizetype loaded = form->Liste_ch.count();
        if (!sandbox.reports().isEmpty() || loaded != expected) {
            std::fprintf(stderr, "start-up gave %lld entries and %lld reports\n",
                         static_cast<long long>(loaded),
                         static_cast<long long>(sandbox.reports().size()));
            status = 1;
        } else {
            window = form.get();
            benchmark::RunSpecifiedBenchmarks();
            window = nullptr;
            if (!sandbox.reports().isEmpty()) {
                std::fprintf(stderr, "the benchmarks gave a report: %s\n",
                             qPrintable(sandbox.reports().first()));
                status = 1;
            }
        }
    }
    benchmark::Shutdown();
    return status;
}

/// Runs the registered benchmarks on a window started with count generated lessons of entries
/// lines.
inline int runWithWindow(int argc, char **argv, int count, int entries)
{
    return runWithWindow(
        argc, argv,
        [count, entries](const QString &dir) {
            writeLessons(dir, count, entries);
            return true;
        },
        qsizetype(count) * entries);
}

} // namespace bench
