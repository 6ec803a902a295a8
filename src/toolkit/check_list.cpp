#include "toolkit/check_list.h"

#include <QHelpEvent>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QToolTip>

namespace toolkit {

namespace {

/// Where an item's text goes, less the margins the style keeps inside it.
int textRoom(const QStyleOptionViewItem &option)
{
    const QWidget *widget = option.widget;
    QStyle *style = widget ? widget->style() : nullptr;
    if (!style)
        return option.rect.width();
    const QRect text = style->subElementRect(QStyle::SE_ItemViewItemText, &option, widget);
    const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, widget) + 1;
    return text.width() - 2 * margin;
}

/// Items no wider than the viewport, so that the style cuts a long name with "…"; the tooltip of
/// a cut name is the whole name.
class ElidingDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        if (const auto *view = qobject_cast<const QAbstractItemView *>(option.widget))
            size.setWidth(std::min(size.width(), view->viewport()->width()));
        return size;
    }

    bool isElided(const QStyleOptionViewItem &option, const QModelIndex &index) const
    {
        QStyleOptionViewItem item = option;
        initStyleOption(&item, index);
        return item.fontMetrics.horizontalAdvance(item.text) > textRoom(item);
    }

    bool helpEvent(QHelpEvent *event, QAbstractItemView *view, const QStyleOptionViewItem &option,
                   const QModelIndex &index) override
    {
        if (event->type() != QEvent::ToolTip)
            return QStyledItemDelegate::helpEvent(event, view, option, index);
        if (isElided(option, index))
            QToolTip::showText(event->globalPos(), index.data(Qt::DisplayRole).toString(), view,
                               option.rect);
        else
            QToolTip::hideText();
        return true;
    }
};

} // namespace

TCheckListView::TCheckListView(QWidget *parent) : QListWidget(parent)
{
    setItemDelegate(new ElidingDelegate(this));
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setTextElideMode(Qt::ElideRight);
}

void TCheckListView::setEmptyHint(const QString &hint)
{
    m_emptyHint = hint;
    setAccessibleDescription(count() == 0 ? hint : QString());
    viewport()->update();
}

bool TCheckListView::isRowElided(int row) const
{
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    const QModelIndex index = model()->index(row, 0);
    option.rect = visualRect(index);
    return static_cast<const ElidingDelegate *>(itemDelegate())->isElided(option, index);
}

void TCheckListView::paintEvent(QPaintEvent *event)
{
    QListWidget::paintEvent(event);
    if (count() > 0 || m_emptyHint.isEmpty())
        return;
    QPainter painter(viewport());
    painter.setPen(palette().color(QPalette::PlaceholderText));
    QTextOption wrap(Qt::AlignLeft | Qt::AlignTop);
    // A folder's path has no spaces to break at.
    wrap.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    painter.drawText(QRectF(viewport()->rect().adjusted(4, 4, -4, -4)), m_emptyHint, wrap);
}

} // namespace toolkit
