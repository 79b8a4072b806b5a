#pragma once
// An owner-data list view in icon mode: it holds only an item count; captions and image
// indexes come from OnData when an item is drawn, pictures from the attached image list.
// OnDataHint(start, end) announces the range of items visible in the viewport whenever that
// range may have changed (show, scroll, resize, item count).
#include <QAbstractListModel>
#include <QListView>
#include <QPixmap>
#include <functional>

class TImageList;

class TOwnerDataListView : public QListView
{
    Q_OBJECT
public:
    explicit TOwnerDataListView(QWidget *parent = nullptr);

    int ItemsCount() const { return count; }
    void setItemsCount(int n);
    void Clear() { setItemsCount(0); }
    void setLargeImages(TImageList *images);
    // Redraws items first..last (their data is asked again).
    void UpdateItems(int first, int last);

    // Selection.
    int SelCount() const;
    bool Selected(int index) const;
    void setSelected(int index, bool on);
    std::vector<int> SelectedIndexes() const;
    int ItemIndex() const; // the lowest selected index, -1 when none
    void SelectAll();
    void ClearSelection();

    // The mouse buttons held now, as the window system and this list's own presses tell.
    Qt::MouseButtons HeldButtons() const;

    // Every item has the same size: the picture and two lines of caption below it.
    QSize itemSize() const;

    // The visible range now, or {-1, -1} when nothing is visible.
    std::pair<int, int> VisibleRange() const;

    std::function<void(int index, QString &caption, int &imageIndex)> OnData;
    std::function<void(int start, int end)> OnDataHint;
    std::function<void()> OnDblClick;
    std::function<void()> OnSelectionChange;
    // Returning true swallows the key.
    std::function<bool(int key, Qt::KeyboardModifiers modifiers)> OnKeyDown;
    std::function<void(int key, Qt::KeyboardModifiers modifiers)> OnKeyUp;
    std::function<void(Qt::MouseButtons buttons, QPoint pos)> OnMouseMove;

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void scrollContentsBy(int dx, int dy) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;

private:
    class Model;
    void announceHint(bool force);
    QPixmap emptyPicture() const;

    Model *model;
    TImageList *images = nullptr;
    int count = 0;
    std::pair<int, int> lastHint{-2, -2};
    bool hintDirty = true;
    mutable QPixmap blank;
    Qt::MouseButtons pressed;
};
