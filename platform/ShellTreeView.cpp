#include "platform/ShellTreeView.h"

#include <QDir>
#include <QFileSystemModel>
#include <QHeaderView>

TShellTreeView::TShellTreeView(QWidget *parent) : QTreeView(parent), fs(new QFileSystemModel(this))
{
    fs->setFilter(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Drives);
    fs->setReadOnly(true);
    fs->setRootPath(QDir::rootPath());
    setModel(fs);
    for (int column = 1; column < fs->columnCount(); ++column)
        hideColumn(column);
    header()->hide();
    setSelectionMode(QAbstractItemView::SingleSelection);
    setContextMenuPolicy(Qt::CustomContextMenu);
    // At start a node is selected (the home folder) and nothing is listed: the change handler
    // is attached only afterwards by the owner.
    const QString home = QDir::homePath();
    if (QModelIndex start = fs->index(home); start.isValid()) {
        setCurrentIndex(start);
        scrollTo(start);
    }
    connect(selectionModel(), &QItemSelectionModel::currentChanged, this, [this] {
        if (OnChange)
            OnChange();
    });
}

QString TShellTreeView::Path() const
{
    QModelIndex index = currentIndex();
    if (!index.isValid())
        return {};
    return fs->filePath(index);
}

bool TShellTreeView::SelectPath(const QString &path)
{
    QModelIndex index = fs->index(path);
    if (!index.isValid())
        return false;
    scrollTo(index);
    setCurrentIndex(index);
    return true;
}
