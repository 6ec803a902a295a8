#pragma once

class QWidget;

namespace toolkit {

/// Centres a top-level window, frame included as far as it is known, on its screen's available
/// area, once.
void centreOnScreen(QWidget *window);

/// Centres a shown top-level window, frame included, on its screen's available area; under a
/// window manager, again once the manager's frame is known (it arrives after the window maps).
void centreFramedWindow(QWidget *window);

/// Asks the window manager for a caption bar with the title alone: no menu, no minimise,
/// maximise or close button, and no resizing, with the X11 Motif hints and, under openbox, which
/// ignores them for its buttons, a window type it draws without minimise and maximise. Qt's own
/// flags still leave some managers drawing every button. Before the window maps.
void offerNoCaptionButtons(QWidget *window);

/// Makes the native window of a window not made yet, sending the icon it shows to the display
/// once: with an application icon set, Qt sends the application's icon as it makes a window and
/// the icon the window shows right after, each of every size, hundreds of kilobytes that the
/// window manager reads again each time.
void createSendingIconOnce(QWidget *window);

} // namespace toolkit
