#pragma once

#include <QGroupBox>
#include <QRadioButton>
#include <QStringList>

#include <array>

/// A column of six radio buttons with captions of their own, an item index set by the learner's
/// clicks only, and a click signal for a click that ticks an unticked choice.
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

    /// Shows text as it stands on choice k ("&" is not an access key there).
    void setChoiceCaption(int k, const QString &text);
    /// Unticks all six without any signal of this group, although the set is exclusive.
    void uncheckAll();
    /// Font face and size of every choice; colour and bold kept.
    void setChoicesFont(const QString &family, int points);
    /// Normal look (window text, regular) or the highlighted correct choice (green, bold).
    void setChoiceHighlighted(int k, bool highlighted);
    bool isChoiceHighlighted(int k) const;

signals:
    /// The learner ticked an unticked choice; itemIndex() is its position.
    void choiceClicked();

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void arrangeChoices();

    std::array<QRadioButton *, choiceCount> m_choices {};
    QStringList m_items;
    int m_itemIndex = -1;
};
