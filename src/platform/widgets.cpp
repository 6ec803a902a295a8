#include "platform/widgets.h"

#include "platform/fonts.h"

#include <QApplication>
#include <QEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QProxyStyle>
#include <QPushButton>
#include <QStyleOptionSlider>

QString platform::withoutAccessKeys(const QString &caption)
{
    QString plain;
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption.at(i) == u'&' && i + 1 < caption.size())
            ++i;
        plain.append(caption.at(i));
    }
    return plain;
}

void platform::hideLeavingNoFocus(QWidget *widget)
{
    QWidget *focused = QApplication::focusWidget();
    if (focused && (focused == widget || widget->isAncestorOf(focused)))
        focused->clearFocus();
    widget->hide();
}

namespace {

class PlainEnterOnly : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease) {
            const auto *key = static_cast<QKeyEvent *>(event);
            const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
            if (enter && (key->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier)
                return true;
        }
        return QObject::eventFilter(watched, event);
    }
};

} // namespace

void platform::pressButtonsOnPlainEnterOnly(QWidget *window)
{
    auto *filter = new PlainEnterOnly(window);
    for (QPushButton *button : window->findChildren<QPushButton *>())
        button->installEventFilter(filter);
}

void platform::tabEntersAtTickedButton(const QList<QRadioButton *> &set)
{
    for (QRadioButton *button : set) {
        button->setFocusPolicy(button->isChecked() ? Qt::StrongFocus : Qt::ClickFocus);
        QObject::connect(button, &QRadioButton::toggled, button, [button](bool checked) {
            button->setFocusPolicy(checked ? Qt::StrongFocus : Qt::ClickFocus);
        });
    }
}

// ---------------------------------------------------------------------------------------------
// TLabel

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

// ---------------------------------------------------------------------------------------------
// TScrollBar

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

// ---------------------------------------------------------------------------------------------
// TRadioGroup

TRadioGroup::TRadioGroup(QWidget *parent) : QGroupBox(parent)
{
    for (int k = 0; k < choiceCount; ++k) {
        const QString item = QStringLiteral("R%1").arg(k);
        m_items.append(item);
        auto *button = new QRadioButton(item, this);
        button->setObjectName(QStringLiteral("RadioGroup1_choice%1").arg(k));
        m_choices[std::size_t(k)] = button;
        // Only the learner ticks a choice (the program only unticks them): a click, an arrow key or
        // a screen reader's toggle. A click on the ticked choice changes nothing and counts for
        // nothing.
        connect(button, &QRadioButton::toggled, this, [this, k](bool checked) {
            if (!checked)
                return;
            m_itemIndex = k;
            emit choiceClicked();
        });
    }
    arrangeChoices();
}

void TRadioGroup::setChoiceCaption(int k, const QString &text)
{
    // A lesson's "&" would otherwise underline the next letter and make it a shortcut that answers.
    QString shown = text;
    choice(k)->setText(shown.replace(QLatin1Char('&'), QStringLiteral("&&")));
}

void TRadioGroup::uncheckAll()
{
    for (QRadioButton *button : m_choices) {
        button->setAutoExclusive(false);
        button->setChecked(false);
        button->setAutoExclusive(true);
    }
}

void TRadioGroup::setChoicesFont(const QString &family, int points)
{
    for (QRadioButton *button : m_choices) {
        QFont changed = button->font();
        changed.setFamily(family);
        platform::setPointSizeUnchecked(changed, points);
        button->setFont(changed);
    }
}

void TRadioGroup::setChoiceHighlighted(int k, bool highlighted)
{
    QRadioButton *button = choice(k);
    QFont changed = button->font();
    changed.setBold(highlighted);
    button->setFont(changed);
    QPalette colours = palette();
    if (highlighted) {
        const QColor green = platform::colorFromBgr(0x008000);
        colours.setColor(QPalette::WindowText, green);
        colours.setColor(QPalette::ButtonText, green);
        colours.setColor(QPalette::Text, green);
    }
    button->setPalette(colours);
    // The colour and the bold face do not reach a screen reader.
    button->setAccessibleDescription(highlighted ? QStringLiteral("bonne réponse") : QString());
}

bool TRadioGroup::isChoiceHighlighted(int k) const
{
    return choice(k)->font().bold();
}

void TRadioGroup::resizeEvent(QResizeEvent *event)
{
    QGroupBox::resizeEvent(event);
    arrangeChoices();
}

void TRadioGroup::arrangeChoices()
{
    // One column below the caption line, the height shared equally among the six choices.
    const int top = fontMetrics().height();
    const int itemHeight = std::max(1, (height() - top - 4) / choiceCount);
    for (int k = 0; k < choiceCount; ++k)
        choice(k)->setGeometry(8, top + k * itemHeight, width() - 16, itemHeight);
}
