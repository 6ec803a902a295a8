#include "toolkit/radio_group.h"

#include "toolkit/fonts.h"

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
