#pragma once

#include <QList>

#include <QString>
#include <initializer_list>

class QRadioButton;
class QWidget;

namespace toolkit {

/// A caption as read aloud: each "&" that marks an access key removed, "&&" read as "&".
QString withoutAccessKeys(const QString &caption);

/// Hands the keyboard focus over when the controls that hold it are hidden: Qt would pass it on
/// to the next control in tab order, wrapping round to "Quitter" (where the next Space would end
/// the program) or losing it. Made before the controls are hidden; giveTo once the controls that
/// replace them show.
class FocusHandover
{
public:
    explicit FocusHandover(std::initializer_list<QWidget *> leaving);
    /// Gives the focus to next when one of the leaving controls held it and next can take it;
    /// otherwise the focus stays where it is (nowhere, if it was in a leaving control).
    void giveTo(QWidget *next) const;

private:
    bool m_held = false;
};

/// The push buttons of window are pressed by Enter alone: with Shift, Ctrl or Alt held, Enter
/// does nothing (Qt would press the focused button whatever the modifiers).
void pressButtonsOnPlainEnterOnly(QWidget *window);

/// Tab enters this exclusive set of radio buttons at its ticked one, as one stop; the arrow keys
/// move within it.
void tabEntersAtTickedButton(const QList<QRadioButton *> &set);

} // namespace toolkit
