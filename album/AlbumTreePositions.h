#pragma once
// Display positions of the album tree: nodes walked depth-first, parent before children,
// expanded or not; the root is at position 0. The walks keep their own stack, so a tree of
// any depth is walked without recursion.
#include <vector>

class QTreeWidget;
class QTreeWidgetItem;

// The node at that position, or nullptr when there is none.
QTreeWidgetItem *NodeAtDisplayPosition(const QTreeWidget *tree, int position);
// The node's position, or -1 when it is not in the tree.
int DisplayPosition(const QTreeWidget *tree, const QTreeWidgetItem *node);

// The node at every display position of a tree that is built by adding last children, kept
// up to date as nodes are added, so that finding a parent by position costs nothing. A folder
// list in depth-first order only ever adds a node at the end of the display order; a node
// added anywhere else moves the nodes after it, and the index is then built again by a walk.
class TDisplayPositions
{
public:
    explicit TDisplayPositions(const QTreeWidget *tree);
    // The node at position, or nullptr.
    QTreeWidgetItem *At(int position) const;
    // Adds child as the last child of the node at parentPosition and records it; false (and
    // child left alone) when no node is at that position.
    bool AddChild(int parentPosition, QTreeWidgetItem *child);

private:
    void rebuild();

    const QTreeWidget *tree;
    std::vector<QTreeWidgetItem *> nodes; // by display position
    std::vector<int> depths;              // by display position; top-level nodes are 0
    // The last node in display order and its ancestors, by depth: the only nodes whose new
    // last child lands at the end of the display order.
    std::vector<QTreeWidgetItem *> lastPath;
};
