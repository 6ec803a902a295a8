#include "toolkit/label.h"

#include "toolkit/fonts.h"

#include <QEvent>
#include <QPainter>

TLabel::TLabel(const QString &caption, QWidget *parent, bool autoSize)
    : QLabel(parent), m_autoSize(autoSize)
{
    setTextFormat(Qt::PlainText);
    // The pages are painted in the button face, which would make the text take the button-text
    // role: the label's colour is its window-text colour.
    setForegroundRole(QPalette::WindowText);
    setText(caption);
    if (m_autoSize)
        adjustSize();
}

void TLabel::setCaption(const QString &caption)
{
    setText(caption);
    if (m_autoSize)
        adjustSize();
}

void TLabel::setFontSize(int points)
{
    QFont changed = font();
    platform::setPointSizeUnchecked(changed, points);
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
    if (!platform::drawsWithinEmBox(font()))
        return fitted;
    const QMargins margins = contentsMargins();
    return {fitted.width(), platform::emBoxHeight(font()) + margins.top() + margins.bottom()};
}

QSize TLabel::minimumSizeHint() const
{
    return platform::drawsWithinEmBox(font()) ? sizeHint() : QLabel::minimumSizeHint();
}

void TLabel::paintEvent(QPaintEvent *event)
{
    if (!platform::drawsWithinEmBox(font())) {
        QLabel::paintEvent(event);
        return;
    }
    // One line, its ink placed within the em box rather than below the face's tall ascent.
    const QRect box = contentsRect();
    const QString shown = text();
    const qreal advance = QFontMetricsF(font()).horizontalAdvance(shown);
    qreal left = box.left();
    if (alignment() & Qt::AlignHCenter)
        left += (box.width() - advance) / 2;
    else if (alignment() & Qt::AlignRight)
        left += box.width() - advance;
    const qreal top = box.top() + (box.height() - platform::emBoxHeight(font())) / 2.0;
    QPainter painter(this);
    painter.setFont(font());
    painter.setPen(palette().color(foregroundRole()));
    painter.drawText(QPointF(left, top + platform::emBoxBaseline(font())), shown);
}

void TLabel::changeEvent(QEvent *event)
{
    QLabel::changeEvent(event);
    if (m_autoSize && event->type() == QEvent::FontChange)
        adjustSize();
}
