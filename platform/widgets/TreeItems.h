#pragma once
// Deleting the items of a tree widget without recursion. QTreeWidgetItem's destructor deletes
// its children recursively, so clear() or the widget's end overflows the stack on a deep
// enough tree (a chain of 200,000 nested folders); this takes the items apart leaf first.
class QTreeWidget;

void DeleteTreeItems(QTreeWidget *tree);
