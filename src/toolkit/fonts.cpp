#include "toolkit/fonts.h"

#include <QFontInfo>
#include <QFontMetricsF>

#include <algorithm>

namespace platform {

void installFontSubstitutions()
{
    QFont::insertSubstitution(QStringLiteral("SimSun"), QStringLiteral("Noto Serif CJK SC"));
    const QStringList sans
        = {QStringLiteral("Liberation Sans"), QStringLiteral("Noto Sans CJK SC")};
    QFont::insertSubstitutions(QStringLiteral("Tahoma"), sans);
    QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"), sans);
    QFont::insertSubstitutions(QStringLiteral("Arial"), sans);
}

QFont designFont(const QString &family, int points, bool bold)
{
    QFont font(family);
    setPointSizeUnchecked(font, points);
    font.setBold(bold);
    return font;
}

QColor colorFromBgr(quint32 value)
{
    return QColor(int(value & 0xFF), int((value >> 8) & 0xFF), int((value >> 16) & 0xFF));
}

void setPointSizeUnchecked(QFont &font, int points)
{
    // Qt refuses sizes below 1 with a warning, and a glyph cache for thousands of points costs
    // memory for nothing the window can show.
    font.setPointSize(std::clamp(points, 1, 1000));
}

bool drawsWithinEmBox(const QFont &font)
{
    return font.family() == QLatin1String("SimSun");
}

int emBoxHeight(const QFont &font)
{
    return QFontInfo(font).pixelSize();
}

qreal emBoxBaseline(const QFont &font)
{
    const QRectF ink = QFontMetricsF(font).tightBoundingRect(QStringLiteral("\u56FD"));
    return emBoxHeight(font) / 2.0 - ink.center().y();
}

} // namespace platform
