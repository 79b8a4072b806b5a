#include "platform/widgets/ShellTreeView.h"

#include <QDir>
#include <QFileIconProvider>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QTimer>

namespace
{
// The shell's icons and folder type names. The model gathers every entry of a folder, files
// too, and names a file's type from the MIME database's descriptions, which it reads whole for
// that; the tree never shows a file, so a file's type name is a fixed one.
class FolderIconProvider : public QFileIconProvider
{
public:
    QString type(const QFileInfo &info) const override
    {
        return info.isFile() ? QStringLiteral("File") : QFileIconProvider::type(info);
    }
};
} // namespace

TShellTreeView::TShellTreeView(QWidget *parent)
    : QTreeView(parent), icons(std::make_unique<FolderIconProvider>()),
      fs(new QFileSystemModel(this))
{
    fs->setIconProvider(icons.get());
    fs->setFilter(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Drives);
    fs->setReadOnly(true);
    // No automatic refresh: the tree shows the folders as it first read them, and a folder
    // made or removed later changes nothing until the tree reads that place again.
    fs->setOption(QFileSystemModel::DontWatchForChanges);
    fs->setRootPath(QDir::rootPath());
    // Connected before the view's selection model connects, so that a current node moved
    // by a removal is known as such when the selection model reports it.
    connect(fs, &QAbstractItemModel::rowsAboutToBeRemoved, this,
            [this](const QModelIndex &parent, int first, int last) {
                for (QModelIndex i = currentIndex(); i.isValid(); i = i.parent())
                    if (i.parent() == parent && i.row() >= first && i.row() <= last)
                        restoring = true;
            });
    // The header is hidden before the model comes: a visible header measures its captions
    // (in a bold face of their own) at the first layout.
    header()->hide();
    setModel(fs);
    for (int column = 1; column < fs->columnCount(); ++column)
        hideColumn(column);
    setIndentation(19);
    setRootIsDecorated(false);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setContextMenuPolicy(Qt::CustomContextMenu);
    // At start a node is selected (the home folder) and nothing is listed: the change handler
    // is attached only afterwards by the owner.
    const QString home = QDir::homePath();
    if (QModelIndex start = fs->index(home); start.isValid()) {
        setCurrentIndex(start);
        scrollTo(start);
    }
    rememberCurrent();
    connect(selectionModel(), &QItemSelectionModel::currentChanged, this, [this] {
        if (restoring)
            return;
        rememberCurrent();
        if (OnChange)
            OnChange();
    });
    auto check = [this] {
        restoring = false;
        QMetaObject::invokeMethod(
            this, [this] { restoreCurrent(); }, Qt::QueuedConnection);
    };
    connect(fs, &QAbstractItemModel::rowsRemoved, this, check);
    connect(fs, &QAbstractItemModel::layoutChanged, this, check);
    connect(fs, &QAbstractItemModel::modelReset, this, check);
}

TShellTreeView::~TShellTreeView()
{
    delete fs;
}

void TShellTreeView::rememberCurrent()
{
    const QModelIndex index = currentIndex();
    selectedPath = index.isValid() ? fs->filePath(index) : QString();
}

void TShellTreeView::restoreCurrent()
{
    const QModelIndex current = currentIndex();
    const QString currentPath = current.isValid() ? fs->filePath(current) : QString();
    if (selectedPath.isEmpty() || currentPath == selectedPath)
        return;
    if (QDir(selectedPath).exists()) {
        if (QModelIndex index = fs->index(selectedPath); index.isValid()) {
            restoring = true;
            setCurrentIndex(index);
            restoring = false;
        }
        return;
    }
    // The folder itself is gone. The tree does not watch the file system, so this starts no
    // listing: the path follows the node now current, and the next pick lists as usual.
    rememberCurrent();
}

QString TShellTreeView::Path() const
{
    // The selected folder, also while the model refills and the node is being restored.
    return selectedPath;
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
