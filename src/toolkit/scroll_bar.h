#pragma once

#include <QScrollBar>

namespace toolkit {

/// A horizontal scroll bar as a classic Windows scroll bar control draws and moves it: a thumb of a
/// fixed size whatever the range (no page size), arrow keys that step the way they point, and a
/// focus frame inside its own rectangle while it has the focus. A press ends when a modal box opens
/// over it: one click is one step.
class TScrollBar : public QScrollBar
{
    Q_OBJECT

public:
    TScrollBar(int position, QWidget *parent);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    Qt::MouseButton m_pressed = Qt::NoButton;
};

} // namespace toolkit
