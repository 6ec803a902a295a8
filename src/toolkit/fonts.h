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

/// Whether text in this font is drawn within its em box. The design face "SimSun" has a line box
/// as tall as its size; its stand-in's is about 45 % taller, which would cut the asked word and
/// push the fields apart.
bool drawsWithinEmBox(const QFont &font);

/// The height of that box: the font's size in pixels.
int emBoxHeight(const QFont &font);

/// Where the baseline goes in that box so that an ideograph's ink sits in its middle, as SimSun's
/// does.
qreal emBoxBaseline(const QFont &font);

} // namespace platform
