#pragma once

#include <QListWidget>

namespace toolkit {

/// A list with check boxes whose items end with "…" where they pass its right edge (no
/// horizontal scrolling), with the whole name as their tooltip; an empty list paints a hint in
/// its viewport (not as an item, which could be ticked and selected) and gives it to screen
/// readers.
class TCheckListView : public QListWidget
{
    Q_OBJECT

public:
    explicit TCheckListView(QWidget *parent);

    /// What the empty list says; nothing once it holds an item.
    void setEmptyHint(const QString &hint);
    QString emptyHint() const { return m_emptyHint; }
    /// Whether row shows its text cut with "…".
    bool isRowElided(int row) const;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QString m_emptyHint;
};

} // namespace toolkit
