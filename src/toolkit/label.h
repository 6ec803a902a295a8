#pragma once

#include "toolkit/field_text.h"

#include <QLabel>

namespace toolkit {

/// A label showing plain text. With autoSize it fits its text whenever the text or the font
/// changes, up to the edge of its page or group: a longer text ends with "…" there, and its
/// tooltip and accessible name hold the whole. Without autoSize it keeps its geometry (and
/// centres its text when asked). A caption is cut to the field cap before anything lays it out.
/// Nothing is laid out before the label or its page is first shown: a label of a page or a window
/// not shown yet costs no font and no text layout, and is fitted once, as it shows. An empty
/// auto-size label takes no width and measures nothing.
class TLabel : public QLabel
{
    Q_OBJECT

public:
    TLabel(const QString &caption, QWidget *parent, bool autoSize);

    /// The caption as set, cut to the field cap.
    QString caption() const { return m_caption.text; }
    /// The caption as a screen reader gets it: up to 1,000 characters, then "…".
    QString spokenCaption() const { return toolkit::spokenText(m_caption); }
    void setCaption(QStringView caption);
    /// Whether the text shown ends with "…" because the caption does not fit.
    bool isElided() const { return m_elided; }
    /// Changes only the font's size in points; face, colour and place stay.
    void setFontSize(int points);
    int fontSize() const { return font().pointSize(); }
    /// The font colour, as the window draws it.
    void setFontColor(const QColor &color);

    /// How many times an auto-size label has fitted its text to its place (for tests).
    int layoutCount() const { return m_layoutCount; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void changeEvent(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    /// Shows the caption, cut with "…" where it would pass the edge of the parent, and sizes the
    /// label to it.
    void fitCaption();
    void paintWithinEmBox();

    toolkit::FieldText m_caption;
    bool m_autoSize;
    bool m_elided = false;
    bool m_shown = false; ///< it or its page shown once: from then on every change fits at once
    int m_layoutCount = 0;
};

} // namespace toolkit
