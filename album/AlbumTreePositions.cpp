#include "album/AlbumTreePositions.h"

#include <QTreeWidget>
#include <functional>
#include <utility>

namespace
{
// Visits nodes in display order with their depth until visit answers true; returns that node.
QTreeWidgetItem *walk(const QTreeWidget *tree,
                      const std::function<bool(QTreeWidgetItem *, int, int)> &visit)
{
    // Each entry: a node and its depth; children are pushed last to first, so the first child
    // is visited next.
    std::vector<std::pair<QTreeWidgetItem *, int>> stack;
    for (int i = tree->topLevelItemCount() - 1; i >= 0; --i)
        stack.emplace_back(tree->topLevelItem(i), 0);
    int position = 0;
    while (!stack.empty()) {
        const auto [node, depth] = stack.back();
        stack.pop_back();
        if (visit(node, position++, depth))
            return node;
        for (int i = node->childCount() - 1; i >= 0; --i)
            stack.emplace_back(node->child(i), depth + 1);
    }
    return nullptr;
}
} // namespace

QTreeWidgetItem *NodeAtDisplayPosition(const QTreeWidget *tree, int position)
{
    if (position < 0)
        return nullptr;
    return walk(tree, [&](QTreeWidgetItem *, int at, int) { return at == position; });
}

int DisplayPosition(const QTreeWidget *tree, const QTreeWidgetItem *node)
{
    if (!node)
        return -1;
    int result = -1;
    walk(tree, [&](QTreeWidgetItem *item, int at, int) {
        if (item != node)
            return false;
        result = at;
        return true;
    });
    return result;
}

TDisplayPositions::TDisplayPositions(const QTreeWidget *tree) : tree(tree)
{
    rebuild();
}

QTreeWidgetItem *TDisplayPositions::At(int position) const
{
    if (position < 0 || size_t(position) >= nodes.size())
        return nullptr;
    return nodes[size_t(position)];
}

bool TDisplayPositions::AddChild(int parentPosition, QTreeWidgetItem *child)
{
    QTreeWidgetItem *parent = At(parentPosition);
    if (!parent)
        return false;
    parent->addChild(child);
    // Only a parent on the last path puts its new last child at the end of the order.
    const size_t depth = size_t(depths[size_t(parentPosition)]);
    if (depth >= lastPath.size() || lastPath[depth] != parent) {
        rebuild();
        return true;
    }
    lastPath.resize(depth + 1);
    lastPath.push_back(child);
    nodes.push_back(child);
    depths.push_back(int(depth) + 1);
    return true;
}

void TDisplayPositions::rebuild()
{
    nodes.clear();
    depths.clear();
    walk(tree, [&](QTreeWidgetItem *node, int, int depth) {
        nodes.push_back(node);
        depths.push_back(depth);
        return false;
    });
    lastPath.clear();
    if (const int top = tree->topLevelItemCount()) {
        for (QTreeWidgetItem *node = tree->topLevelItem(top - 1); node;
             node = node->childCount() ? node->child(node->childCount() - 1) : nullptr)
            lastPath.push_back(node);
    }
}
