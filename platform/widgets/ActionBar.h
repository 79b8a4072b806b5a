#pragma once
// Bar definitions: the menu bar, tool bars and pop-up menus are all built from items that
// point at actions of the action list. An item may show a caption and image of its own; the
// shown QAction follows the action's enabled, checked and (without an own caption) caption.
#include <QString>
#include <vector>

class QAction;
class QObject;
class QMenu;
class QMenuBar;
class QToolBar;
class QWidget;
class TAction;
class TImageList;

struct TActionClientItem {
    QString Name;
    TAction *Action = nullptr; // none: a sub-menu heading (or a separator)
    QString Caption;           // empty: the action's caption
    int ImageIndex = -1;       // -1: the action's image
    bool Separator = false;
    std::vector<TActionClientItem> Items;
};

struct TActionBar {
    QString Name;
    std::vector<TActionClientItem> Items;
};

// The QAction that shows one item; owned by parent.
QAction *CreateActionLink(const TActionClientItem &item, TImageList *images, QObject *parent);
void BuildMenu(QMenu *menu, const std::vector<TActionClientItem> &items, TImageList *images);
void BuildMenuBar(QMenuBar *bar, const TActionBar &def, TImageList *images);
void BuildToolBar(QToolBar *bar, const TActionBar &def, TImageList *images);
