// The reference for the program's start-up: a bare Qt window with one button, built with the same
// compiler flags, started and reported exactly as startup_probe starts and reports the program.
// Without arguments it prints when its window is shown and quits; with --until-painted it prints
// and quits after its first paint (also for callgrind).

#include "probe_clock.h"

#include <QPushButton>
#include <QWidget>

int main(int argc, char *argv[])
{
    if (!qEnvironmentVariableIsSet("QT_FONT_DPI"))
        qputenv("QT_FONT_DPI", "96");
    QApplication application(argc, argv);
    QWidget window;
    auto *button = new QPushButton(QStringLiteral("Quitter"), &window);
    button->setGeometry(8, 8, 137, 41);
    window.resize(743, 318);
    if (probe::untilPainted(argc, argv)) {
        new probe::QuitAfterFirstPaint(&window);
        window.show();
    } else {
        window.show();
        QTimer::singleShot(0, &window, [] { probe::reportShownAndQuit(); });
    }
    return QApplication::exec();
}
