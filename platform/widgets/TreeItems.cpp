#include "platform/widgets/TreeItems.h"

#include <QTreeWidget>
#include <vector>

void DeleteTreeItems(QTreeWidget *tree)
{
    // Out of the view first: one pass over each subtree, and no model signal per item later.
    std::vector<QTreeWidgetItem *> path;
    while (const int count = tree->topLevelItemCount())
        path.push_back(tree->takeTopLevelItem(count - 1));
    // Down to a leaf along last children, then the leaf is taken off its parent and deleted.
    // Taking a leaf is cheap; taking an inner node walks its whole subtree, so none is taken.
    while (!path.empty()) {
        QTreeWidgetItem *item = path.back();
        if (const int children = item->childCount()) {
            path.push_back(item->child(children - 1));
            continue;
        }
        path.pop_back();
        if (QTreeWidgetItem *parent = item->parent())
            parent->takeChild(parent->childCount() - 1);
        delete item;
    }
}
