#pragma once

#include <QLabel>

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
