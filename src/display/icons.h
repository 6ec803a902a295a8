#pragma once

#include <QIcon>
#include <QPixmap>

/// The program icon, as drawn for this product at 16, 32, 48, 64, 128 and 256 pixels (32-bit).
QIcon programIcon();

/// The 65 x 65, 24-bit picture of the about box.
QPixmap aboutPicture();
