#pragma once

#include <QColor>
#include <QFont>
#include <QString>

namespace platform {

/// Maps the faces the window was designed with onto fonts a Debian desktop has.
void installFontSubstitutions();

/// A font of the design: face, size in points, style.
QFont designFont(const QString &family, int points, bool bold = false);

/// A colour given as 0x00BBGGRR.
QColor colorFromBgr(quint32 value);

/// Sets a font size in points as read from the settings file: any integer is accepted, sizes the
/// toolkit cannot draw are brought to the nearest it can.
void setPointSizeUnchecked(QFont &font, int points);

} // namespace platform
