#include "toolkit/radio_group.h"

#include "toolkit/fonts.h"

#include <QAccessible>
#include <QStyle>
#include <QStyleOptionButton>

namespace toolkit {

TRadioGroup::TRadioGroup(QWidget *parent) : QGroupBox(parent)
{
    // The choices are named after the group, "<group>_choice<k>", whatever name it is given.
    connect(this, &QObject::objectNameChanged, this, [this](const QString &name) {
        for (int k = 0; k < choiceCount; ++k)
            choice(k)->setObjectName(name + QStringLiteral("_choice%1").arg(k));
    });
    for (int k = 0; k < choiceCount; ++k) {
        const QString item = QStringLiteral("R%1").arg(k);
        m_items.append(item);
        auto *button = new QRadioButton(item, this);
        m_choices[std::size_t(k)] = button;
        m_captions[std::size_t(k)] = toolkit::capFieldText(item);
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

void TRadioGroup::setChoiceCaption(int k, QStringView text)
{
    m_captions.at(std::size_t(k)) = toolkit::capFieldText(text);
    fitChoice(k);
}

bool TRadioGroup::isChoiceElided(int k) const
{
    return !choice(k)->toolTip().isEmpty();
}

void TRadioGroup::fitChoice(int k)
{
    QRadioButton *button = choice(k);
    const toolkit::FieldText &caption = m_captions.at(std::size_t(k));
    if (!m_shown) {
        // Fitted when the group first shows; until then the whole caption stands as its text.
        button->setToolTip(QString());
        button->setAccessibleName(QString());
        button->setText(QString(caption.text).replace(QLatin1Char('&'), QStringLiteral("&&")));
        return;
    }
    QStyleOptionButton option;
    option.initFrom(button);
    const int room
        = style()->subElementRect(QStyle::SE_RadioButtonContents, &option, button).width();
    QString shown = toolkit::fittedText(caption, button->font(), room);
    const QString whole = shown != caption.text ? toolkit::spokenText(caption) : QString();
    button->setToolTip(whole);
    button->setAccessibleName(whole);
    // A lesson's "&" would otherwise underline the next letter and make it a shortcut that answers.
    button->setText(shown.replace(QLatin1Char('&'), QStringLiteral("&&")));
}

void TRadioGroup::uncheckAll()
{
    for (QRadioButton *button : m_choices) {
        button->setAutoExclusive(false);
        button->setChecked(false);
        button->setAutoExclusive(true);
    }
}

void TRadioGroup::setChoicesFont(const QString &family, int points, bool pinyinText)
{
    for (QRadioButton *button : m_choices) {
        QFont changed = button->font();
        toolkit::setFace(changed, family, pinyinText);
        toolkit::setPointSizeUnchecked(changed, points);
        button->setFont(changed);
    }
    for (int k = 0; k < choiceCount; ++k)
        fitChoice(k);
}

void TRadioGroup::setChoiceHighlighted(int k, bool highlighted)
{
    QRadioButton *button = choice(k);
    QFont changed = button->font();
    changed.setBold(highlighted);
    button->setFont(changed);
    QPalette colours = palette();
    if (highlighted) {
        const QColor green = toolkit::colorFromBgr(0x008000);
        colours.setColor(QPalette::WindowText, green);
        colours.setColor(QPalette::ButtonText, green);
        colours.setColor(QPalette::Text, green);
    }
    button->setPalette(colours);
    // Bold is wider: the caption may no longer fit, or fit again.
    fitChoice(k);
    // The colour and the bold face do not reach a screen reader.
    describeChoice(k, highlighted ? QStringLiteral("bonne réponse") : QString());
}

void TRadioGroup::describeChoice(int k, const QString &text)
{
    QRadioButton *button = choice(k);
    if (button->accessibleDescription() == text)
        return;
    button->setAccessibleDescription(text);
    // A screen reader speaks a new description of the focused control.
    QAccessibleEvent changed(button, QAccessible::DescriptionChanged);
    QAccessible::updateAccessibility(&changed);
}

bool TRadioGroup::isChoiceHighlighted(int k) const
{
    return choice(k)->font().bold();
}

bool TRadioGroup::event(QEvent *event)
{
    if (event->type() == QEvent::Show && !m_shown) {
        // Before the choices are painted.
        m_shown = true;
        for (int k = 0; k < choiceCount; ++k)
            fitChoice(k);
    }
    return QGroupBox::event(event);
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
    for (int k = 0; k < choiceCount; ++k)
        fitChoice(k);
}

} // namespace toolkit
