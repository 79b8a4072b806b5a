#include "platform/widgets/ActionBar.h"

#include "platform/widgets/Action.h"
#include "platform/widgets/ImageList.h"
#include "platform/widgets/ToolBarIconEngine.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QPixmap>
#include <QToolBar>

#include <memory>

namespace
{
// A tool bar's icons keep their layout size in its larger slot at every density.
QIcon iconOf(TImageList *images, int index, QToolBar *bar)
{
    if (!images || index < 0 || index >= images->Count())
        return {};
    if (!bar)
        return images->Icon(index);
    const QImage doubled = images->image(index, 2);
    return QIcon(new TToolBarIconEngine(bar, images->image(index),
                                        doubled.devicePixelRatio() > 1 ? doubled : QImage()));
}

QAction *createLink(const TActionClientItem &item, TImageList *images, QObject *parent,
                    QToolBar *bar = nullptr)
{
    auto *shown = new QAction(parent);
    shown->setObjectName(item.Name);
    TAction *action = item.Action;
    const int image = item.ImageIndex >= 0 ? item.ImageIndex : (action ? action->ImageIndex : -1);
    shown->setIcon(iconOf(images, image, bar));
    if (!action) {
        shown->setText(item.Caption);
        shown->setEnabled(false);
        return shown;
    }
    // An item's own caption stands until the action's caption is changed; from then on the
    // item follows the action.
    auto own = std::make_shared<QString>(item.Caption);
    auto bound = std::make_shared<QString>(action->Caption());
    auto update = [shown, action, own, bound] {
        if (action->Caption() != *bound) {
            own->clear();
            *bound = action->Caption();
        }
        shown->setText(own->isEmpty() ? action->Caption() : *own);
        shown->setToolTip(action->Hint);
        shown->setStatusTip(action->Hint);
        shown->setCheckable(action->Checkable());
        shown->setChecked(action->Checked());
        shown->setEnabled(action->isShownEnabled());
    };
    update();
    QObject::connect(action, &TAction::changed, shown, update);
    // The shown check mark follows the action only; the handler decides the new state.
    QObject::connect(shown, &QAction::triggered, action, [action, update] {
        action->Execute();
        update();
    });
    return shown;
}
} // namespace

QAction *CreateActionLink(const TActionClientItem &item, TImageList *images, QObject *parent)
{
    return createLink(item, images, parent);
}

void BuildMenu(QMenu *menu, const std::vector<TActionClientItem> &items, TImageList *images)
{
    for (const TActionClientItem &item : items) {
        if (item.Separator) {
            menu->addSeparator()->setObjectName(item.Name);
        } else if (!item.Action && !item.Items.empty()) {
            QMenu *sub = menu->addMenu(item.Caption);
            sub->setObjectName(item.Name);
            BuildMenu(sub, item.Items, images);
        } else {
            menu->addAction(CreateActionLink(item, images, menu));
        }
    }
}

void BuildMenuBar(QMenuBar *bar, const TActionBar &def, TImageList *images)
{
    for (const TActionClientItem &item : def.Items) {
        if (item.Action) {
            bar->addAction(CreateActionLink(item, images, bar));
            continue;
        }
        QMenu *menu = bar->addMenu(item.Caption);
        menu->setObjectName(item.Name);
        BuildMenu(menu, item.Items, images);
    }
}

void BuildToolBar(QToolBar *bar, const TActionBar &def, TImageList *images)
{
    for (const TActionClientItem &item : def.Items) {
        if (item.Separator)
            bar->addSeparator();
        else
            bar->addAction(createLink(item, images, bar, bar));
    }
}
