#pragma once

#include <QList>
#include <QString>

class QRadioButton;
class QWidget;

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
