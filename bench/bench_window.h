#pragma once

// Benchmarks that drive the real window: built once, as the program builds it, from generated
// lessons in a temporary working directory, with its settings file in another one.

#include "lesson_generator.h"

#include "app/tform1.h"
#include "platform/error_report.h"
#include "platform/fonts.h"
#include "platform/module_path.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>

namespace bench {

/// The window the benchmarks drive, while runWithWindow runs them.
inline TForm1 *window = nullptr;

/// Runs the registered benchmarks on a window started with count lessons of entries lines. Fails
/// when start-up does not load them all or when anything is reported, a message box included.
inline int runWithWindow(int argc, char **argv, int count, int entries)
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
    if (!work.isValid() || !exeDir.isValid()) {
        std::fprintf(stderr, "cannot make the temporary directories\n");
        return 1;
    }
    writeLessons(work.path(), count, entries);
    const QString previous = QDir::currentPath();
    QDir::setCurrent(work.path());
    setExecutablePathOverride(QFile::encodeName(exeDir.filePath(QStringLiteral("hanlexo-vocab"))));
    QStringList reports;
    platform::setErrorSink([&reports](const QString &text) { reports.append(text); });
    platform::setPlainMessageSink([&reports](const QString &text) { reports.append(text); });

    int status = 0;
    {
        TForm1 form;
        form.showCentred();
        QCoreApplication::processEvents();
        const qsizetype loaded = form.Liste_ch.count();
        if (!reports.isEmpty() || loaded != qsizetype(count) * entries) {
            std::fprintf(stderr, "start-up gave %lld entries and %lld reports\n",
                         static_cast<long long>(loaded), static_cast<long long>(reports.size()));
            status = 1;
        } else {
            window = &form;
            benchmark::RunSpecifiedBenchmarks();
            window = nullptr;
            if (!reports.isEmpty()) {
                std::fprintf(stderr, "the benchmarks gave a report: %s\n",
                             qPrintable(reports.first()));
                status = 1;
            }
        }
    }
    benchmark::Shutdown();
    platform::setErrorSink({});
    platform::setPlainMessageSink({});
    QDir::setCurrent(previous);
    setExecutablePathOverride({});
    return status;
}

} // namespace bench
