#include "display/icons.h"

#include <QImage>
#include <QImageReader>
#include <QPixmap>
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
        for (const int size : {16, 32, 48, 64, 128, 256}) {
            // Read as PNG outright: guessing the format from the content would load every image
            // plugin of the system to ask it, at each start.
            QImageReader reader(QStringLiteral(":/icons/hanlexo-vocab-%1.png").arg(size), "png");
            reader.setAutoDetectImageFormat(false);
            const QImage image = reader.read();
            if (!image.isNull())
                made.addPixmap(QPixmap::fromImage(image));
        }
        return made;
    }();
    return icon;
}

QPixmap aboutPicture()
{
    initIcons();
    return QPixmap(QStringLiteral(":/pictures/about.png"));
}
