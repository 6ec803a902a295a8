#include "app/program.h"

#include "app/tform1.h"
#include "app/title.h"
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
    // The about box is made the first time the learner asks for it (Aproposde1Click).
    return std::make_unique<TForm1>();
}

int run(int argc, char *argv[], const std::function<void(TForm1 &)> &shown)
{
    useDesignedDpi();
    QApplication application(argc, argv);
    setUpApplication();

    const std::unique_ptr<TForm1> form1 = makeWindows();
    form1->showCentred();
    if (shown)
        QTimer::singleShot(0, form1.get(), [&] { shown(*form1); });
    return QApplication::exec();
}

} // namespace program
