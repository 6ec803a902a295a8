#pragma once

#include <QColor>
#include <QFont>
#include <QList>
#include <QRectF>
#include <QString>
#include <QStringView>

#include <thread>

namespace toolkit {

/// Loads the system's font configuration (about 9 ms of parsing and cache reading) on a thread of
/// its own, beside the application's start, which needs no font; the first text the window
/// measures would load it otherwise. Without a thread, the toolkit loads it when first needed.
class FontConfigurationPreload
{
public:
    FontConfigurationPreload();
    /// Waits for the load.
    ~FontConfigurationPreload() { wait(); }
    FontConfigurationPreload(const FontConfigurationPreload &) = delete;
    FontConfigurationPreload &operator=(const FontConfigurationPreload &) = delete;

    /// Waits for the load, so that the toolkit's first use finds it made and does not make its
    /// own beside it.
    void wait();

private:
    std::thread m_thread;
};

/// Maps the faces the window was designed with onto fonts a Debian desktop has.
void installFontSubstitutions();

/// A font of the design: face, size in points, style.
QFont designFont(const QString &family, int points, bool bold = false);

/// The face pinyin text is drawn with where the design says "Arial": every pinyin letter
/// (ǎ ǐ ǒ ǔ ǚ ǜ, ḿ ń ň ǹ) in one face with Arial's metrics, so that none comes from a taller
/// fallback face and every pinyin sits at the same place.
QString pinyinFamily();

/// Gives font the design face family, or the pinyin face for pinyin text; size and style stay.
/// Pinyin is drawn unhinted: hinting flattens a tone mark on i to a dot at the choices' size.
void setFace(QFont &font, const QString &family, bool pinyinText);

/// A design font for pinyin text, in the pinyin face.
QFont pinyinFont(int points);

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

/// A stretch of text drawn one way: characters designed within the ideographic em box (Han,
/// kana, full-width punctuation), or others (Latin letters, digits, ASCII punctuation).
struct TextRun
{
    qsizetype start = 0;
    qsizetype length = 0;
    bool withinEmBox = false;
};

/// The text as its runs, in order; a combining mark stays with the character before it.
QList<TextRun> emBoxRuns(QStringView text);

/// Where a run goes: its baseline, and its scale about its origin (1 unless its ink is taller
/// than the box).
struct RunPlacement
{
    qreal baseline = 0;
    qreal scale = 1;
};

/// Places a run whose ink, relative to its origin, is ink, on baseline: unchanged when the ink
/// lies between top and bottom, else moved just enough to lie there, else scaled down to fill
/// exactly that height.
RunPlacement placeRunInside(const QRectF &ink, qreal baseline, qreal top, qreal bottom);

} // namespace toolkit
