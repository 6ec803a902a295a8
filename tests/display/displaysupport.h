#pragma once

#include <QList>
#include <QMessageBox>
#include <QObject>
#include <QPoint>
#include <QStringList>
#include <QTimer>

#include <functional>

class QWidget;

/// What a learner saw in one message box.
struct SeenBox
{
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QString title;
    QString text;
};

/// Watches for real message boxes while the event loop runs (nested loops included), records each
/// one once, and answers it as a learner would: after a short look, a click on OK.
class BoxWatcher : public QObject
{
    Q_OBJECT

public:
    explicit BoxWatcher(int answerAfterMs = 150);

    /// Runs first when a box shows, before it is answered (for example to let the mouse go).
    void onShown(std::function<void(QMessageBox *)> action) { m_onShown = std::move(action); }

    QList<SeenBox> seen;
    QStringList texts() const;

private:
    void look();

    QTimer m_poll;
    int m_answerAfterMs;
    std::function<void(QMessageBox *)> m_onShown;
};

/// How long a real-display test waits for what it expects before it fails: generous, so that a
/// loaded machine only makes it slower. Every wait polls its condition and ends once it holds.
constexpr int displayWaitMs = 30000;

/// True when no message box is on screen.
bool noBoxShown();

/// Sends real input through the X server (xdotool); fails the test when it cannot.
bool xdotool(const QStringList &arguments);

/// The screen position of a point of widget, as X knows it.
QPoint screenPoint(const QWidget *widget, QPoint local);

/// Takes the message-box collectors away, so that the program shows its real boxes.
void showRealBoxes();
