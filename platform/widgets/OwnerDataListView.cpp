#include "platform/widgets/OwnerDataListView.h"

#include "platform/widgets/ImageList.h"

#include <QGuiApplication>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPixmap>
#include <QScrollBar>

class TOwnerDataListView::Model : public QAbstractListModel
{
public:
    explicit Model(TOwnerDataListView *view) : QAbstractListModel(view), view(view) {}

    int rowCount(const QModelIndex &parent) const override
    {
        return parent.isValid() ? 0 : view->count;
    }

    QVariant data(const QModelIndex &index, int role) const override
    {
        if (!index.isValid() || index.row() >= view->count)
            return {};
        if (role == Qt::SizeHintRole)
            return view->itemSize();
        if (role != Qt::DisplayRole && role != Qt::DecorationRole)
            return {};
        QString caption;
        int image = -1;
        if (view->OnData)
            view->OnData(index.row(), caption, image);
        if (role == Qt::DisplayRole)
            return caption;
        TImageList *list = view->images;
        if (!list || image < 0 || image >= list->Count())
            return view->emptyPicture();
        return QPixmap::fromImage(list->image(image));
    }

    void reset()
    {
        beginResetModel();
        endResetModel();
    }

    void rowsChanged(int first, int last)
    {
        if (first > last || view->count == 0)
            return;
        emit dataChanged(this->index(first), this->index(last));
    }

private:
    TOwnerDataListView *view;
};

TOwnerDataListView::TOwnerDataListView(QWidget *parent) : QListView(parent), model(new Model(this))
{
    setViewMode(QListView::IconMode);
    setMovement(QListView::Static);
    setResizeMode(QListView::Adjust);
    setWrapping(true);
    setUniformItemSizes(true);
    setIconSize(QSize(100, 100));
    setGridSize(QSize(116, 132));
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setSelectionRectVisible(true);
    setMouseTracking(true);
    setTextElideMode(Qt::ElideMiddle);
    setModel(model);
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        if (OnSelectionChange)
            OnSelectionChange();
    });
}

QSize TOwnerDataListView::itemSize() const
{
    const QSize icon = iconSize();
    return {gridSize().width() - 8, icon.height() + 2 * fontMetrics().height() + 6};
}

QPixmap TOwnerDataListView::emptyPicture() const
{
    // An item without a picture keeps the picture's place, so its caption stays where it will
    // be once the thumbnail arrives.
    if (blank.size() != iconSize()) {
        blank = QPixmap(iconSize());
        blank.fill(Qt::transparent);
    }
    return blank;
}

void TOwnerDataListView::setItemsCount(int n)
{
    count = n < 0 ? 0 : n;
    model->reset();
    hintDirty = true;
    viewport()->update();
}

void TOwnerDataListView::setLargeImages(TImageList *list)
{
    images = list;
    if (list)
        connect(list, &TImageList::changed, this, [this](int) { viewport()->update(); });
}

void TOwnerDataListView::UpdateItems(int first, int last)
{
    first = std::max(first, 0);
    last = std::min(last, count - 1);
    model->rowsChanged(first, last);
}

int TOwnerDataListView::SelCount() const
{
    return static_cast<int>(selectionModel()->selectedIndexes().size());
}

bool TOwnerDataListView::Selected(int index) const
{
    return index >= 0 && index < count && selectionModel()->isSelected(model->index(index));
}

void TOwnerDataListView::setSelected(int index, bool on)
{
    if (index < 0 || index >= count)
        return;
    selectionModel()->select(model->index(index),
                             on ? QItemSelectionModel::Select : QItemSelectionModel::Deselect);
}

std::vector<int> TOwnerDataListView::SelectedIndexes() const
{
    std::vector<int> rows;
    for (const QModelIndex &index : selectionModel()->selectedIndexes())
        rows.push_back(index.row());
    std::sort(rows.begin(), rows.end());
    return rows;
}

int TOwnerDataListView::ItemIndex() const
{
    auto rows = SelectedIndexes();
    return rows.empty() ? -1 : rows.front();
}

void TOwnerDataListView::SelectAll()
{
    if (count > 0)
        selectionModel()->select(QItemSelection(model->index(0), model->index(count - 1)),
                                 QItemSelectionModel::Select);
}

void TOwnerDataListView::ClearSelection()
{
    selectionModel()->clearSelection();
}

std::pair<int, int> TOwnerDataListView::VisibleRange() const
{
    if (count == 0 || !isVisible())
        return {-1, -1};
    const QRect area = viewport()->rect();
    // Item rectangles grow monotonically with the index in this layout: binary search both
    // ends instead of walking every item.
    auto firstBelowTop = [&] {
        int lo = 0, hi = count - 1, found = count;
        while (lo <= hi) {
            int mid = (lo + hi) / 2;
            if (visualRect(model->index(mid)).bottom() >= area.top()) {
                found = mid;
                hi = mid - 1;
            } else {
                lo = mid + 1;
            }
        }
        return found;
    };
    auto lastAboveBottom = [&] {
        int lo = 0, hi = count - 1, found = -1;
        while (lo <= hi) {
            int mid = (lo + hi) / 2;
            if (visualRect(model->index(mid)).top() <= area.bottom()) {
                found = mid;
                lo = mid + 1;
            } else {
                hi = mid - 1;
            }
        }
        return found;
    };
    int start = firstBelowTop();
    int end = lastAboveBottom();
    if (start >= count || end < start)
        return {-1, -1};
    return {start, end};
}

void TOwnerDataListView::announceHint(bool force)
{
    if (!OnDataHint)
        return;
    auto range = VisibleRange();
    if (range.first < 0)
        return;
    if (!force && !hintDirty && range == lastHint)
        return;
    lastHint = range;
    hintDirty = false;
    OnDataHint(range.first, range.second);
}

void TOwnerDataListView::paintEvent(QPaintEvent *event)
{
    announceHint(false);
    QListView::paintEvent(event);
}

void TOwnerDataListView::resizeEvent(QResizeEvent *event)
{
    QListView::resizeEvent(event);
    hintDirty = true;
}

void TOwnerDataListView::showEvent(QShowEvent *event)
{
    QListView::showEvent(event);
    hintDirty = true;
}

void TOwnerDataListView::scrollContentsBy(int dx, int dy)
{
    QListView::scrollContentsBy(dx, dy);
    hintDirty = true;
}

void TOwnerDataListView::mouseDoubleClickEvent(QMouseEvent *event)
{
    QListView::mouseDoubleClickEvent(event);
    if (OnDblClick)
        OnDblClick();
}

void TOwnerDataListView::mouseMoveEvent(QMouseEvent *event)
{
    if (OnMouseMove)
        OnMouseMove(event->buttons(), event->position().toPoint());
    QListView::mouseMoveEvent(event);
}

void TOwnerDataListView::mousePressEvent(QMouseEvent *event)
{
    pressed = event->buttons();
    QListView::mousePressEvent(event);
}

void TOwnerDataListView::mouseReleaseEvent(QMouseEvent *event)
{
    pressed = event->buttons();
    QListView::mouseReleaseEvent(event);
}

Qt::MouseButtons TOwnerDataListView::HeldButtons() const
{
    // A press on the list holds the mouse grab, so its release comes here too.
    return pressed | QGuiApplication::mouseButtons();
}

void TOwnerDataListView::keyPressEvent(QKeyEvent *event)
{
    if (OnKeyDown && OnKeyDown(event->key(), event->modifiers())) {
        event->accept();
        return;
    }
    QListView::keyPressEvent(event);
}

void TOwnerDataListView::keyReleaseEvent(QKeyEvent *event)
{
    QListView::keyReleaseEvent(event);
    if (OnKeyUp && !event->isAutoRepeat())
        OnKeyUp(event->key(), event->modifiers());
}
