#include "app/program.h"

#include "app/tform1.h"
#include "app/title.h"
#include "core/lesson_read_ahead.h"
#include "display/icons.h"
#include "toolkit/fonts.h"

#include <QApplication>
#include <QTimer>

namespace program {

void useDesignedDpi()
{
    if (!qEnvironmentVariableIsSet("QT_FONT_DPI"))
        qputenv("QT_FONT_DPI", "96");
}

void useOffscreenAtDesignedDpi()
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("QT_FONT_DPI", "96");
}

void setUpApplication()
{
    QApplication::setApplicationName(applicationTitle());
    QApplication::setWindowIcon(programIcon());
    toolkit::installFontSubstitutions();
}

std::unique_ptr<TForm1> makeWindows()
{
    return makeWindows(nullptr);
}

std::unique_ptr<TForm1> makeWindows(std::unique_ptr<LessonReadAhead> readAhead)
{
    // The about box is made the first time the learner asks for it (Aproposde1Click).
    return std::make_unique<TForm1>(std::move(readAhead));
}

int run(int argc, char *argv[], const StartupHooks &hooks)
{
    useDesignedDpi();
    // What needs no window is done on the machine's other cores while the application connects
    // to the display and the window is made: the font configuration, and the lessons.
    toolkit::FontConfigurationPreload fonts;
    auto lessons = std::make_unique<LessonReadAhead>();
    QApplication application(argc, argv);
    setUpApplication();
    fonts.wait();

    const std::unique_ptr<TForm1> form1 = makeWindows(std::move(lessons));
    if (hooks.made)
        hooks.made(*form1);
    form1->showCentred();
    if (hooks.shown)
        QTimer::singleShot(0, form1.get(), [&] { hooks.shown(*form1); });
    return QApplication::exec();
}

} // namespace program
