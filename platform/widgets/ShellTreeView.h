#pragma once
// The shell folder tree: folders only, hidden folders left out, rooted at the file-system
// root, indent 19, no expander on the root, no watching of the file system. Path() is the
// selected folder's path, or empty. OnChange runs when the user moves the selection.
#include <QTreeView>
#include <functional>
#include <memory>

class QFileIconProvider;
class QFileSystemModel;

class TShellTreeView : public QTreeView
{
    Q_OBJECT
public:
    explicit TShellTreeView(QWidget *parent = nullptr);
    ~TShellTreeView() override;

    QString Path() const;
    // Selects (and reveals) the node of a folder; returns false when it is not in the tree.
    bool SelectPath(const QString &path);
    std::function<void()> OnChange;

private:
    // The file-system model fills its folders in the background and may drop and re-insert
    // a node on the way; the current node is then lost without any change of the user's.
    // The selected path is kept here and the node selected again.
    void rememberCurrent();
    void restoreCurrent();

    // The model uses the provider (also from its own thread) until it is gone.
    std::unique_ptr<QFileIconProvider> icons;
    QFileSystemModel *fs;
    QString selectedPath;
    bool restoring = false;
};
