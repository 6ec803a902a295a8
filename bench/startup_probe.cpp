// Starts the program as its entry does and, once the main window is shown, prints the monotonic
// clock in nanoseconds and the resident memory in kB, then quits; with --until-painted it reports
// and quits after the window's first paint instead (also for callgrind). bench_vocabulary spawns
// it, beside bare_window_probe.

#include "probe_clock.h"

#include "app/program.h"
#include "app/tform1.h"

int main(int argc, char *argv[])
{
    // With the watch on the first paint in place before the window shows.
    program::StartupHooks hooks;
    if (probe::untilPainted(argc, argv))
        hooks.made = [](TForm1 &form) { new probe::QuitAfterFirstPaint(&form); };
    else
        hooks.shown = [](TForm1 &) { probe::reportShownAndQuit(); };
    return program::run(argc, argv, hooks);
}
