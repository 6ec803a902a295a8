#pragma once

#include <QIcon>
#include <QPixmap>
#include <QString>

// The pictures are compiled into the static GUI library, whose resource object is only linked in
// and registered when something calls its initialiser: every accessor below does so first.

/// The program icon, as drawn for this product at 16, 32, 48, 64, 128 and 256 pixels (32-bit).
inline QIcon programIcon()
{
    Q_INIT_RESOURCE(icons);
    QIcon icon;
    // A QIcon keeps one image per size, so the 256-colour variants of 16 and 32 are shipped beside
    // these for desktops that want them but are not added here.
    for (const int size : {16, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/icons/hanlexo-vocab-%1.png").arg(size), QSize(size, size));
    return icon;
}

/// The 65 x 65, 24-bit picture of the about box.
inline QPixmap aboutPicture()
{
    Q_INIT_RESOURCE(icons);
    return QPixmap(QStringLiteral(":/pictures/about.png"));
}
