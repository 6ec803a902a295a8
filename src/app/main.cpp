#include "app/tform1.h"
#include "display/about_box.h"
#include "platform/error_report.h"
#include "platform/fonts.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    // Geometry and point sizes were designed at 96 dpi; keep them together on any desktop.
    if (!qEnvironmentVariableIsSet("QT_FONT_DPI"))
        qputenv("QT_FONT_DPI", "96");
    QApplication application(argc, argv);
    QApplication::setApplicationName(platform::applicationTitle());
    platform::installFontSubstitutions();

    TForm1 form1;
    auto *form2 = new TForm2(&form1);
    form1.setAboutBox(form2);
    form1.showCentred();
    return QApplication::exec();
}
