#include "toolkit/scroll_bar.h"

#include <QApplication>
#include <QEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QProxyStyle>
#include <QStyleOptionSlider>

namespace toolkit {

namespace {

/// Draws and hit-tests scroll bars as if they had no page size, so the thumb keeps the fixed
/// classic length instead of a proportional one.
class ClassicScrollStyle : public QProxyStyle
{
public:
    QRect subControlRect(ComplexControl control, const QStyleOptionComplex *option,
                         SubControl subControl, const QWidget *widget) const override
    {
        if (control == CC_ScrollBar) {
            if (const auto *slider = qstyleoption_cast<const QStyleOptionSlider *>(option)) {
                QStyleOptionSlider fixedThumb(*slider);
                fixedThumb.pageStep = 0;
                return QProxyStyle::subControlRect(control, &fixedThumb, subControl, widget);
            }
        }
        return QProxyStyle::subControlRect(control, option, subControl, widget);
    }
};

QStyle *classicScrollStyle()
{
    static auto *style = [] {
        auto *created = new ClassicScrollStyle;
        created->setParent(qApp);
        return created;
    }();
    return style;
}

} // namespace

TScrollBar::TScrollBar(int position, QWidget *parent) : QScrollBar(Qt::Horizontal, parent)
{
    setStyle(classicScrollStyle());
    setRange(0, 10);
    setSingleStep(1);
    setPageStep(1);
    setValue(position);
    setFocusPolicy(Qt::StrongFocus);
}

void TScrollBar::mousePressEvent(QMouseEvent *event)
{
    // The window is only known for sure once the bar is shown in it.
    window()->installEventFilter(this);
    m_pressed = event->button();
    QScrollBar::mousePressEvent(event);
}

void TScrollBar::mouseReleaseEvent(QMouseEvent *event)
{
    m_pressed = Qt::NoButton;
    QScrollBar::mouseReleaseEvent(event);
}

bool TScrollBar::eventFilter(QObject *watched, QEvent *event)
{
    // A change handler that opens a modal box (a refused settings write) does so while the button
    // is down; the box then takes the release, and the bar's auto-repeat would go on stepping,
    // each step failing again. The press ends here instead, as if the button had been let go.
    if (event->type() == QEvent::WindowBlocked && m_pressed != Qt::NoButton) {
        const QPointF outside(-1, -1);
        QMouseEvent release(QEvent::MouseButtonRelease, outside, mapToGlobal(outside), m_pressed,
                            Qt::NoButton, Qt::NoModifier);
        m_pressed = Qt::NoButton;
        QScrollBar::mouseReleaseEvent(&release);
    }
    return QScrollBar::eventFilter(watched, event);
}

void TScrollBar::paintEvent(QPaintEvent *event)
{
    QScrollBar::paintEvent(event);
    if (!hasFocus())
        return;
    // The style draws no focus at all on a scroll bar: a keyboard learner could not tell which
    // delay the arrows move. A dotted frame one pixel inside the bar.
    QPainter painter(this);
    QPen pen(palette().color(QPalette::WindowText));
    pen.setStyle(Qt::DotLine);
    painter.setPen(pen);
    painter.drawRect(rect().adjusted(1, 1, -2, -2));
}

void TScrollBar::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Left:
    case Qt::Key_Up:
        triggerAction(SliderSingleStepSub);
        break;
    case Qt::Key_Right:
    case Qt::Key_Down:
        triggerAction(SliderSingleStepAdd);
        break;
    case Qt::Key_PageUp:
        triggerAction(SliderPageStepSub);
        break;
    case Qt::Key_PageDown:
        triggerAction(SliderPageStepAdd);
        break;
    case Qt::Key_Home:
        triggerAction(SliderToMinimum);
        break;
    case Qt::Key_End:
        triggerAction(SliderToMaximum);
        break;
    default:
        QScrollBar::keyPressEvent(event);
    }
}

} // namespace toolkit
