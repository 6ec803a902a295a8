// Starts the program as its entry does and, once the main window is shown, prints the monotonic
// clock in nanoseconds and the resident memory in kB, then quits; with --until-painted it reports
// and quits after the window's first paint instead (also for callgrind). bench_vocabulary spawns
// it, beside bare_window_probe.

#include "probe_clock.h"

#include "app/program.h"
#include "app/tform1.h"

#include <memory>

int main(int argc, char *argv[])
{
    if (!probe::untilPainted(argc, argv))
        return program::run(argc, argv, [](TForm1 &) { probe::reportShownAndQuit(); });

    // As program::run, with the watch on the first paint in place before the window shows.
    program::useDesignedDpi();
    QApplication application(argc, argv);
    program::setUpApplication();
    const std::unique_ptr<TForm1> form = program::makeWindows();
    new probe::QuitAfterFirstPaint(form.get());
    form->showCentred();
    return QApplication::exec();
}
