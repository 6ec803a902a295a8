#include "app/program.h"

#include "app/tform1.h"
#include "display/about_box.h"
#include "display/icons.h"
#include "platform/error_report.h"
#include "platform/fonts.h"

#include <QApplication>
#include <QTimer>

int runProgram(int argc, char *argv[], const std::function<void(TForm1 &)> &shown)
{
    // Geometry and point sizes were designed at 96 dpi; keep them together on any desktop.
    if (!qEnvironmentVariableIsSet("QT_FONT_DPI"))
        qputenv("QT_FONT_DPI", "96");
    QApplication application(argc, argv);
    QApplication::setApplicationName(platform::applicationTitle());
    QApplication::setWindowIcon(programIcon());
    platform::installFontSubstitutions();

    TForm1 form1;
    auto *form2 = new TForm2(&form1);
    form1.setAboutBox(form2);
    form1.showCentred();
    if (shown)
        QTimer::singleShot(0, &form1, [&] { shown(form1); });
    return QApplication::exec();
}
