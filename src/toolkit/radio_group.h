#pragma once

#include "toolkit/field_text.h"

#include <QGroupBox>
#include <QRadioButton>
#include <QStringList>

#include <array>

namespace toolkit {

/// A column of six radio buttons with captions of their own, an item index set by the learner's
/// clicks only, and a click signal for a click that ticks an unticked choice. The captions are
/// fitted to their rows from the group's first show on: a group never shown lays out no text.
class TRadioGroup : public QGroupBox
{
    Q_OBJECT

public:
    static constexpr int choiceCount = 6;

    explicit TRadioGroup(QWidget *parent);

    QRadioButton *choice(int k) const { return m_choices.at(std::size_t(k)); }
    /// Position of the choice the learner last ticked, -1 before any.
    int itemIndex() const { return m_itemIndex; }
    /// The group's own list of item texts, which never shows.
    const QStringList &items() const { return m_items; }

    /// Shows text as it stands on choice k ("&" is not an access key there), cut to the field
    /// cap; a text that passes the group's edge ends with "…", its tooltip and accessible name
    /// holding the whole.
    void setChoiceCaption(int k, QStringView text);
    /// The caption of choice k as set (cut to the field cap).
    QString choiceCaption(int k) const { return m_captions.at(std::size_t(k)).text; }
    /// The caption of choice k as a screen reader gets it: up to 1,000 characters, then "…".
    QString spokenChoiceCaption(int k) const
    {
        return toolkit::spokenText(m_captions.at(std::size_t(k)));
    }
    /// Whether choice k shows its caption cut with "…".
    bool isChoiceElided(int k) const;
    /// Unticks all six without any signal of this group, although the set is exclusive.
    void uncheckAll();
    /// Font face and size of every choice, in the pinyin face when they show pinyin; colour and
    /// bold kept.
    void setChoicesFont(const QString &family, int points, bool pinyinText);
    /// Normal look (window text, regular) or the highlighted correct choice (green, bold).
    void setChoiceHighlighted(int k, bool highlighted);
    bool isChoiceHighlighted(int k) const;
    /// What a screen reader tells of choice k besides its caption, such as the verdict on it;
    /// announced as it changes.
    void describeChoice(int k, const QString &text);

signals:
    /// The learner ticked an unticked choice; itemIndex() is its position.
    void choiceClicked();

protected:
    bool event(QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void arrangeChoices();
    /// Shows choice k's caption in the room its row leaves for text.
    void fitChoice(int k);

    std::array<QRadioButton *, choiceCount> m_choices {};
    std::array<toolkit::FieldText, choiceCount> m_captions {};
    QStringList m_items;
    int m_itemIndex = -1;
    bool m_shown = false; ///< shown at least once: from then on every change fits at once
};

} // namespace toolkit
