#include "display/icons.h"

#include <QString>

// The pictures are compiled into the static GUI library, whose resource object is only linked in
// and registered when something calls its initialiser: every accessor does so first.
static void initIcons()
{
    Q_INIT_RESOURCE(icons);
}

QIcon programIcon()
{
    // One icon for the application and both windows: its images are decoded once, the first time
    // a window hands them to the desktop, and every copy shares them.
    static const QIcon icon = [] {
        initIcons();
        QIcon made;
        // A QIcon keeps one image per size: the 256-colour variants of 16 and 32 are shipped
        // beside these for desktops that want them.
        for (const int size : {16, 32, 48, 64, 128, 256})
            made.addFile(QStringLiteral(":/icons/hanlexo-vocab-%1.png").arg(size),
                         QSize(size, size));
        return made;
    }();
    return icon;
}

QPixmap aboutPicture()
{
    initIcons();
    return QPixmap(QStringLiteral(":/pictures/about.png"));
}
