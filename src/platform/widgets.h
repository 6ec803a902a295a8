#pragma once

#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>
#include <QScrollBar>

#include <array>

namespace platform {

/// A caption as read aloud: each "&" that marks an access key removed, "&&" read as "&".
QString withoutAccessKeys(const QString &caption);

/// Hides widget; when it holds the keyboard focus, no control keeps it. Qt would pass the focus on
/// to the next control, wrapping round to "Quitter", where the next Space would end the program.
void hideLeavingNoFocus(QWidget *widget);

/// The push buttons of window are pressed by Enter alone: with Shift, Ctrl or Alt held, Enter
/// does nothing (Qt would press the focused button whatever the modifiers).
void pressButtonsOnPlainEnterOnly(QWidget *window);

/// Tab enters this exclusive set of radio buttons at its ticked one, as one stop; the arrow keys
/// move within it.
void tabEntersAtTickedButton(const QList<QRadioButton *> &set);

} // namespace platform

/// A label showing plain text. With autoSize it fits its text whenever the text or the font
/// changes; without, it keeps its geometry (and centres its text when asked).
class TLabel : public QLabel
{
    Q_OBJECT

public:
    TLabel(const QString &caption, QWidget *parent, bool autoSize);

    QString caption() const { return text(); }
    void setCaption(const QString &caption);
    /// Changes only the font's size in points; face, colour and place stay.
    void setFontSize(int points);
    int fontSize() const { return font().pointSize(); }
    /// The font colour, as the window draws it.
    void setFontColor(const QColor &color);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void changeEvent(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    bool m_autoSize;
};

/// A horizontal scroll bar with the classic fixed-size thumb and arrow keys that step the way
/// they point. A press ends when a modal box opens over it: one click is one step.
class TScrollBar : public QScrollBar
{
    Q_OBJECT

public:
    TScrollBar(int position, QWidget *parent);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    Qt::MouseButton m_pressed = Qt::NoButton;
};

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
