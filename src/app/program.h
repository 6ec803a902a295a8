#pragma once

#include <functional>

class TForm1;

/// The program entry: application, title, fonts, main window, about box, event loop. shown, when
/// given, runs once the main window has been shown (benchmarks time start-up with it).
int runProgram(int argc, char *argv[], const std::function<void(TForm1 &)> &shown = {});
