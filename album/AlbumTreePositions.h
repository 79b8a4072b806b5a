#pragma once
// Display positions of the album tree: nodes walked depth-first, parent before children,
// expanded or not; the root is at position 0.
class QTreeWidget;
class QTreeWidgetItem;

// The node at that position, or nullptr when there is none.
QTreeWidgetItem *NodeAtDisplayPosition(const QTreeWidget *tree, int position);
// The node's position, or -1 when it is not in the tree.
int DisplayPosition(const QTreeWidget *tree, const QTreeWidgetItem *node);
