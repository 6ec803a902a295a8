#include "toolkit/label.h"

#include "toolkit/fonts.h"

#include <QEvent>
#include <QPainter>

namespace toolkit {

TLabel::TLabel(const QString &caption, QWidget *parent, bool autoSize)
    : QLabel(parent), m_autoSize(autoSize)
{
    setTextFormat(Qt::PlainText);
    // The pages are painted in the button face, which would make the text take the button-text
    // role: the label's colour is its window-text colour.
    setForegroundRole(QPalette::WindowText);
    // The visible area ends at the parent's edge: a new width may cut the text or free it.
    if (m_autoSize && parent)
        parent->installEventFilter(this);
    // Sized from the start, so that showing it does not measure it a second time before it
    // fits itself.
    if (m_autoSize)
        resize(0, 0);
    setCaption(caption);
}

void TLabel::setCaption(QStringView caption)
{
    m_caption = toolkit::capFieldText(caption);
    fitCaption();
}

void TLabel::fitCaption()
{
    // Laid out when it or its page first shows; until then the whole caption stands as its text.
    // An empty caption takes no width, whatever the font: nothing to measure, and no font to load
    // for the fields that start-up and "Reinitialiser" empty.
    if (m_autoSize && (!m_shown || m_caption.text.isEmpty())) {
        m_elided = false;
        setText(m_caption.text);
        setToolTip(QString());
        setAccessibleName(QString());
        if (m_shown)
            resize(0, height());
        return;
    }
    if (m_autoSize)
        ++m_layoutCount;
    int room = QWIDGETSIZE_MAX;
    // A parent not laid out yet has no width of its own: the text is fitted once it has.
    if (m_autoSize && parentWidget() && !parentWidget()->testAttribute(Qt::WA_PendingResizeEvent))
        room = parentWidget()->width() - x() - contentsMargins().left() - contentsMargins().right();
    const QString shown
        = m_autoSize ? toolkit::fittedText(m_caption, font(), room) : m_caption.text;
    m_elided = shown != m_caption.text;
    setText(shown);
    const QString whole = m_elided ? toolkit::spokenText(m_caption) : QString();
    setToolTip(whole);
    setAccessibleName(whole);
    if (m_autoSize)
        adjustSize();
}

void TLabel::setFontSize(int points)
{
    QFont changed = font();
    toolkit::setPointSizeUnchecked(changed, points);
    setFont(changed);
}

void TLabel::setFontColor(const QColor &color)
{
    QPalette changed = palette();
    changed.setColor(QPalette::WindowText, color);
    setPalette(changed);
}

QSize TLabel::sizeHint() const
{
    const QSize fitted = QLabel::sizeHint();
    if (!toolkit::drawsWithinEmBox(font()))
        return fitted;
    const QMargins margins = contentsMargins();
    return {fitted.width(), toolkit::emBoxHeight(font()) + margins.top() + margins.bottom()};
}

QSize TLabel::minimumSizeHint() const
{
    return toolkit::drawsWithinEmBox(font()) ? sizeHint() : QLabel::minimumSizeHint();
}

bool TLabel::event(QEvent *event)
{
    if (event->type() == QEvent::Show && !m_shown) {
        // Before the label is painted, and before the show is announced to a screen reader.
        m_shown = true;
        if (m_autoSize)
            fitCaption();
    }
    // A label moved along its row has more or less room before the edge.
    const bool moved = event->type() == QEvent::Move;
    const bool handled = QLabel::event(event);
    if (moved && m_autoSize)
        fitCaption();
    return handled;
}

bool TLabel::eventFilter(QObject *watched, QEvent *event)
{
    // A label hidden on its page is laid out with the page all the same, ready to show.
    if (watched == parentWidget() && event->type() == QEvent::Show && !m_shown) {
        m_shown = true;
        fitCaption();
    }
    if (watched == parentWidget() && event->type() == QEvent::Resize)
        fitCaption();
    return QLabel::eventFilter(watched, event);
}

void TLabel::changeEvent(QEvent *event)
{
    QLabel::changeEvent(event);
    if (m_autoSize && event->type() == QEvent::FontChange)
        fitCaption();
}

void TLabel::paintEvent(QPaintEvent *event)
{
    if (toolkit::drawsWithinEmBox(font()))
        paintWithinEmBox();
    else
        QLabel::paintEvent(event);
}

void TLabel::paintWithinEmBox()
{
    // One line within the em box, nothing outside the label: ideographs keep the place SimSun
    // gives them; a run of other letters whose ink would pass the box's edge (descenders,
    // parentheses) is raised, or scaled down, just enough to stay whole inside it.
    const QRect box = contentsRect();
    const QString shown = text();
    const QFontMetricsF metrics(font());
    qreal left = box.left();
    const qreal advance = metrics.horizontalAdvance(shown);
    if (alignment() & Qt::AlignHCenter)
        left += (box.width() - advance) / 2;
    else if (alignment() & Qt::AlignRight)
        left += box.width() - advance;
    const qreal top = box.top() + (box.height() - toolkit::emBoxHeight(font())) / 2.0;
    const qreal baseline = top + toolkit::emBoxBaseline(font());

    QPainter painter(this);
    painter.setClipRect(box);
    painter.setFont(font());
    painter.setPen(palette().color(foregroundRole()));
    for (const toolkit::TextRun &run : toolkit::emBoxRuns(shown)) {
        const QString part = shown.mid(run.start, run.length);
        if (run.withinEmBox) {
            painter.drawText(QPointF(left, baseline), part);
        } else {
            const toolkit::RunPlacement placed = toolkit::placeRunInside(
                metrics.tightBoundingRect(part), baseline, box.top(), box.top() + box.height());
            painter.save();
            painter.translate(left, placed.baseline);
            painter.scale(placed.scale, placed.scale);
            painter.drawText(QPointF(0, 0), part);
            painter.restore();
        }
        left += metrics.horizontalAdvance(part);
    }
}

} // namespace toolkit
