#include "toolkit/check_list.h"

#include <QApplication>
#include <QHelpEvent>
#include <QPainter>
#include <QRawFont>
#include <QStyledItemDelegate>
#include <QToolTip>

#include <algorithm>
#include <optional>

namespace toolkit {

namespace {

// The letters a lesson name may hold for its row to take the height measured once.
constexpr char16_t firstPrintable = u' ';
constexpr char16_t lastPrintable = u'~';

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
        const auto *view = qobject_cast<const QAbstractItemView *>(option.widget);
        if (!view || index.data(Qt::SizeHintRole).isValid())
            return QStyledItemDelegate::sizeHint(option, index);
        QStyleOptionViewItem item = option;
        initStyleOption(&item, index);
        const int room = view->viewport()->width();
        // Every row spans the viewport whatever its own width, so only its height needs the text:
        // shaping each of hundreds of names at start-up to learn it cost more than the rest of
        // the list's work together.
        if (isPrintableAscii(item.text)) {
            if (const std::optional<int> height = asciiRowHeight(item))
                return {room, *height};
        }
        QSize size = sizeOf(item);
        size.setWidth(std::min(size.width(), room));
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

private:
    /// The row of a printable ASCII text, for one font, style and set of item features (the
    /// lesson list's items have no pictures).
    struct AsciiRow
    {
        QFont font;
        QStyleOptionViewItem::ViewItemFeatures features;
        const QStyle *style;
        /// None when the first font lacks a printable ASCII letter: each text is then measured.
        std::optional<int> height;
    };

    static bool isPrintableAscii(const QString &text)
    {
        return !text.isEmpty() && std::all_of(text.cbegin(), text.cend(), [](QChar c) {
            return c.unicode() >= firstPrintable && c.unicode() <= lastPrintable;
        });
    }

    static QStyle *styleOf(const QStyleOptionViewItem &item)
    {
        return item.widget ? item.widget->style() : QApplication::style();
    }

    static QSize sizeOf(const QStyleOptionViewItem &item)
    {
        return styleOf(item)->sizeFromContents(QStyle::CT_ItemViewItem, &item, QSize(),
                                               item.widget);
    }

    std::optional<int> asciiRowHeight(const QStyleOptionViewItem &item) const
    {
        const QStyle *style = styleOf(item);
        if (!m_asciiRow || m_asciiRow->font != item.font || m_asciiRow->features != item.features
            || m_asciiRow->style != style)
            m_asciiRow = AsciiRow {item.font, item.features, style, measuredAsciiRow(item)};
        return m_asciiRow->height;
    }

    /// A line takes its height from the fonts that draw its letters: when the first font has
    /// every printable ASCII letter, no other font draws such a text, and one measured letter
    /// gives the height of them all.
    static std::optional<int> measuredAsciiRow(const QStyleOptionViewItem &item)
    {
        const QRawFont first = QRawFont::fromFont(item.font);
        for (char16_t letter = firstPrintable; letter <= lastPrintable; ++letter) {
            if (!first.supportsCharacter(QChar(letter)))
                return std::nullopt;
        }
        QStyleOptionViewItem letter = item;
        letter.text = QStringLiteral("x");
        return sizeOf(letter).height();
    }

    mutable std::optional<AsciiRow> m_asciiRow;
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
