#include "toolkit/fonts.h"

#include <QFontInfo>
#include <QFontMetricsF>

#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <system_error>

namespace toolkit {

FontConfigurationPreload::FontConfigurationPreload()
{
    try {
        // The configuration is made once per process; the toolkit's own FcInit() then finds it.
        m_thread = std::thread([] { FcInit(); });
    } catch (const std::system_error &) { // NOLINT(bugprone-empty-catch): loaded when first needed
    }
}

void FontConfigurationPreload::wait()
{
    if (m_thread.joinable())
        m_thread.join();
}

void installFontSubstitutions()
{
    QFont::insertSubstitution(QStringLiteral("SimSun"), QStringLiteral("Noto Serif CJK SC"));
    const QStringList sans
        = {QStringLiteral("Liberation Sans"), QStringLiteral("Noto Sans CJK SC")};
    QFont::insertSubstitutions(QStringLiteral("Tahoma"), sans);
    QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"), sans);
    QFont::insertSubstitutions(QStringLiteral("Arial"), sans);
    // Where the pinyin face is missing, pinyin falls back as the rest does; its Han characters
    // take the simplified forms.
    QFont::insertSubstitutions(pinyinFamily(), sans);
}

QString pinyinFamily()
{
    return QStringLiteral("Arimo");
}

void setFace(QFont &font, const QString &family, bool pinyinText)
{
    font.setFamily(pinyinText ? pinyinFamily() : family);
    font.setHintingPreference(pinyinText ? QFont::PreferNoHinting : QFont::PreferDefaultHinting);
}

QFont pinyinFont(int points)
{
    QFont font = designFont(QStringLiteral("Arial"), points);
    setFace(font, QStringLiteral("Arial"), true);
    return font;
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

} // namespace toolkit

namespace toolkit {
namespace {

bool designedWithinEmBox(char32_t c)
{
    switch (QChar::script(c)) {
    case QChar::Script_Han:
    case QChar::Script_Hiragana:
    case QChar::Script_Katakana:
    case QChar::Script_Bopomofo:
    case QChar::Script_Hangul:
        return true;
    default:
        break;
    }
    // CJK punctuation and symbols, vertical and full-width forms.
    return (c >= 0x3000 && c <= 0x33FF) || (c >= 0xFE30 && c <= 0xFE4F)
        || (c >= 0xFF00 && c <= 0xFFEF);
}

} // namespace

QList<TextRun> emBoxRuns(QStringView text)
{
    QList<TextRun> runs;
    qsizetype i = 0;
    while (i < text.size()) {
        const qsizetype start = i;
        char32_t c = text.at(i).unicode();
        qsizetype width = 1;
        if (QChar::isHighSurrogate(c) && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            c = QChar::surrogateToUcs4(text.at(i), text.at(i + 1));
            width = 2;
        }
        i += width;
        const bool within = designedWithinEmBox(c);
        if (!runs.isEmpty()
            && (runs.back().withinEmBox == within || QChar::script(c) == QChar::Script_Inherited)) {
            runs.back().length += width;
            continue;
        }
        runs.append({start, width, within});
    }
    return runs;
}

RunPlacement placeRunInside(const QRectF &ink, qreal baseline, qreal top, qreal bottom)
{
    if (ink.isEmpty())
        return {baseline, 1};
    const qreal height = bottom - top;
    if (ink.height() > height) {
        const qreal scale = height / ink.height();
        return {top - ink.top() * scale, scale};
    }
    if (baseline + ink.bottom() > bottom)
        return {bottom - ink.bottom(), 1};
    if (baseline + ink.top() < top)
        return {top - ink.top(), 1};
    return {baseline, 1};
}

} // namespace toolkit
