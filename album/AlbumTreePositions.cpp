#include "album/AlbumTreePositions.h"

#include <QTreeWidget>
#include <functional>

namespace
{
// Visits nodes in display order until visit answers true; returns that node.
QTreeWidgetItem *walk(const QTreeWidget *tree,
                      const std::function<bool(QTreeWidgetItem *, int)> &visit)
{
    int position = 0;
    std::function<QTreeWidgetItem *(QTreeWidgetItem *)> down =
        [&](QTreeWidgetItem *node) -> QTreeWidgetItem * {
        if (visit(node, position++))
            return node;
        for (int i = 0; i < node->childCount(); ++i)
            if (QTreeWidgetItem *found = down(node->child(i)))
                return found;
        return nullptr;
    };
    for (int i = 0; i < tree->topLevelItemCount(); ++i)
        if (QTreeWidgetItem *found = down(tree->topLevelItem(i)))
            return found;
    return nullptr;
}
} // namespace

QTreeWidgetItem *NodeAtDisplayPosition(const QTreeWidget *tree, int position)
{
    if (position < 0)
        return nullptr;
    return walk(tree, [&](QTreeWidgetItem *, int at) { return at == position; });
}

int DisplayPosition(const QTreeWidget *tree, const QTreeWidgetItem *node)
{
    if (!node)
        return -1;
    int result = -1;
    walk(tree, [&](QTreeWidgetItem *item, int at) {
        if (item != node)
            return false;
        result = at;
        return true;
    });
    return result;
}
