#pragma once

#include <functional>
#include <memory>

class LessonReadAhead;
class TForm1;

/// The program's start-up, one copy for its entry, the tests, the benchmarks and the screenshot
/// tool.
namespace program {

/// Before the application is made: geometry and point sizes were designed at 96 dpi; keeps them
/// together on any desktop, unless the caller chose a dpi.
void useDesignedDpi();

/// Before the application is made, for the tools that render or time the window: off screen
/// unless the caller chose a platform, at the designed 96 dpi whatever the desktop.
void useOffscreenAtDesignedDpi();

/// Once the application is made: its title, its icon and the font substitutions.
void setUpApplication();

/// The main window, made as start-up makes it (settings and lessons read), not shown yet; its
/// about box is made when first asked for.
std::unique_ptr<TForm1> makeWindows();
/// As above, start-up taking the lessons from readAhead.
std::unique_ptr<TForm1> makeWindows(std::unique_ptr<LessonReadAhead> readAhead);

/// What a caller adds to run(): made runs once the main window is made, before it is shown; shown
/// once it has been shown (benchmarks time start-up with them).
struct StartupHooks
{
    std::function<void(TForm1 &)> made;
    std::function<void(TForm1 &)> shown;
};

/// The program entry: application, windows, first showing, event loop.
int run(int argc, char *argv[], const StartupHooks &hooks = {});

} // namespace program
