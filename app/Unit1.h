#pragma once
// The main window. One class for the life of the process: it is composed of the state of each
// subsystem (declared in that subsystem's folder) and holds its own widgets; its methods are
// defined in the folders of the subsystems that own them.
#include <QImage>
#include <QMainWindow>
#include <QString>
#include <memory>
#include <vector>

#include "album/AlbumState.h"
#include "app/WindowIndexes.h"
#include "localbrowser/ImgCache.h"
#include "localbrowser/LocalBrowserState.h"
#include "localbrowser/PcImages.h"
#include "platform/widgets/Action.h"
#include "platform/widgets/ActionBar.h"
#include "session/SessionState.h"
#include "spi/SpiState.h"
#include "upload/UploadState.h"

class QAction;
class QListWidget;
class QMenu;
class QMenuBar;
class QProgressBar;
class QToolBar;
class QTreeWidget;
class TForm2;
class TForm3;
class TImage;
class TImageList;
class TLoginDialog;
class TOwnerDataListView;
class TScrollBox;
class TShellTreeView;
class TSplitPane;
class TStatusBar;
class TTabSet;
class TTimer;
class TDecodeWorker;
struct TPcThumbnail;

class TForm1 : public QMainWindow,
               public TSessionState,
               public TLocalBrowserState,
               public TAlbumState,
               public TUploadState,
               public TSpiState
{
    Q_OBJECT
public:
    // The login dialog and the navigation window exist before the main window. The creation
    // event (FormCreate, the start-up sequence) is left to the owner: RunStartUp, once the
    // service host is set.
    TForm1(TLoginDialog *loginDialog, TForm3 *form3);
    ~TForm1() override;

    // ---- application shell (app/) ----
    QString DataFolder;  // ends in the path separator
    QString CacheFolder; // DataFolder + "ImageCache", or SettingsFallback + "ImageCache"
    // When DataFolder exists but cannot be written: the folder (ending in the separator) that
    // the settings and the cache are written to instead; empty otherwise.
    QString SettingsFallback;
    qint16 LastView = 0;
    bool NavigateWindow = true;
    QString ServiceHost; // "http://" + host[:port]

    TLoginDialog *LoginDialog;
    TForm3 *Form3;
    TForm2 *Form2 = nullptr; // created after the main window

    // Runs the creation event inside the error guard; when an error ends it early, the local
    // picture view is shown so that the window is usable.
    void RunStartUp();
    void FormCreate();
    void ViewSelect(int view);
    void DockTabSet1Change(int newTab, bool &allowChange);
    void FormCloseQuery(bool &canClose);
    // The settings file LoadIniFile reads: the fallback's once it holds one, else DataFolder's.
    QString SettingsReadPath() const;
    void ExitExecute();
    void ActHelpExecute();
    void ActNewVersionExecute();
    void ActShowNavigateWindowExecute();
    void ActDeleteExecute();
    void UrlJump(const QString &url);
    void LoadIniFile();
    void SaveIniFile();
    void StopTimerExecute();

    // Controls: the window's own, made by its construction and owned by it as Qt children.
    // Each is used by one or more subsystems, but they stay here with the construction that
    // builds and lays them out together, rather than being spread over the subsystems' state.
    TActionList *ActionManager1;
    TAction *ActLogin, *ActLogout, *ActRefresh, *Exit, *ActNetworkConfig, *ActFont, *ActVersion,
        *ActHelp, *ActRename, *ActDelete, *AcTUpFolder, *ActFileUpLoad, *ActReload, *ActGoOrder,
        *ActGoAddPrint, *ActMoveFolder, *ActAlbumImageProperty, *ActFileUp, *ActShowNavigateWindow,
        *ActNewVersion, *ActDispOrderPageUrl, *ActSusiePlugin;
    std::vector<TActionBar> ActionBars; // the six bar definitions, in order

    QMenuBar *ActionMainMenuBar1;
    TTabSet *DockTabSet1;
    TStatusBar *StatusBar1;
    QProgressBar *Gauge1;
    QImage UnknownFileImage, FolderImage, FolderUpImage;
    TImageList *IconImageList, *PcImageList, *AlbumImageList;
    TTimer *StopTimer, *PcImageDrawTimer;
    QMenu *DummyPopupMenu;

    QWidget *PcView;
    QToolBar *PcActionToolBar;
    TSplitPane *PcSplitter;
    TShellTreeView *PcTreeView;
    TOwnerDataListView *PcListView;
    QMenu *PcListPopupActionBar;
    QAction *N1;

    QWidget *OrderView;
    QToolBar *OrderActionToolBar;
    QListWidget *OrderListView;

    QWidget *BigImageView;
    TScrollBox *ScrollBox1;
    TImage *BigImage;

    QWidget *AlbumView;
    QToolBar *AlbumActionToolBar;
    TSplitPane *AlbumSplitter;
    QTreeWidget *AlbumTreeView;
    TOwnerDataListView *AlbumListView;
    QMenu *AlbumListPopupActionBar;
    QMenu *MoveToFolder;
    QAction *Delete1, *N3, *N5, *N6;

    // ---- service session (session/; state: SessionState.h) ----
    // The HTTP client with its cookie store (IdCookieManager1), owned as a child of the window.
    static class HttpClient *CreateHttpClient(QObject *owner);
    class HttpClient *IdHTTP1 = CreateHttpClient(this);
    void SetCookie();
    void GetCookie();
    QString GetHTTP(const QString &url);
    bool GetHTTPBin(const QString &url, const QString &fileName);
    bool Login();
    bool Logout();
    void LoginProc();
    void LogoutProc();
    QString OrderPageAddress() const;
    void ActLoginExecute();
    void ActLogoutExecute();
    void ActGoOrderExecute();
    void ActDispOrderPageUrlExecute();

    // ---- local picture browser (localbrowser/; state: LocalBrowserState.h) ----
    // Every picture decode of the window (thumbnails, both previews) runs on it, one at a time.
    // A member, it ends (its running decode finished) before the plug-in state, a base, lets
    // the plug-ins go.
    std::unique_ptr<TDecodeWorker> DecodeWorker;
    void BindLocalBrowserEvents();
    void StopTimerPcBranch();
    void PcTreeViewChange();
    void PcLoad(const QString &path);
    void PcListViewData(int index, QString &caption, int &imageIndex);
    void PcListViewDataHint(int start, int end);
    void PcImageDrawTimerTimer();
    void PcDispSmallImage(int index);
    void PcPlaceSmallImage(int index, uint32_t listing, const TPcThumbnail &thumbnail);
    // Puts a finished thumbnail into a slot; returns the slot, or -1 when none may be taken.
    int PcStoreThumbnail(int index, const QImage &thumbnail);
    void PcListViewDblClick();
    void PcShowBigImage(int index);
    void BigImageDblClick();
    void ScrollBox1DblClick();
    void BigImageMouseDown(Qt::MouseButton button, QPoint globalPos);
    void BigImageMouseMove(Qt::MouseButtons buttons, QPoint globalPos);
    void BigImageMouseUp(Qt::MouseButton button, QPoint globalPos);
    void PcFileUpRefresh();
    void PcListViewSelectItem();
    bool PcListViewKeyDown(int key, Qt::KeyboardModifiers modifiers);
    void PcListViewKeyUp(int key, Qt::KeyboardModifiers modifiers);
    void PcListViewMouseMove(Qt::MouseButtons buttons, QPoint pos);
    void ActFileUpExecute();

    // ---- online album (album/; state: AlbumState.h) ----
    void BindAlbumEvents();
    void StopTimerAlbumBranch();
    void AlbumFolderLoad();
    void AcTUpFolderExecute();
    void ActReloadExecute();
    void AlbumTreeViewChange(class QTreeWidgetItem *Node);
    void GoUpFolder();
    void ActMoveToFolder();
    void MoveToFolderAboutToShow();
    void AlbumLoad(int FolderId);
    bool AlbumSmallImgLoad(int PictureId);
    void AlbumListViewData(int index, QString &caption, int &imageIndex);
    void AlbumListViewDblClick();
    void AlbumShowBigImage(int Index);

    // ---- upload (upload/; state: UploadState.h) ----
    void ActFileUpLoadExecute();

    // ---- plug-in host (spi/; state: SpiState.h) ----
    void SetSpi();
    bool SelectFolderDialog();
    void ActSusiePluginExecute();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void CreateActions();
    void CreateBars();
    void CreateControls();
    void LoadResources();
};
