#pragma once
// The main window. One class holds the program's state for the life of the process; its
// methods are defined in the folders of the subsystems that own them.
#include <QImage>
#include <QMainWindow>
#include <QString>
#include <memory>
#include <vector>

#include "album/AlbumFolder.h"
#include "album/AlbumImages.h"
#include "app/WindowIndexes.h"
#include "localbrowser/ImgCache.h"
#include "localbrowser/PcImages.h"
#include "platform/widgets/Action.h"
#include "platform/widgets/ActionBar.h"

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
class TSPIs;

class TForm1 : public QMainWindow
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
    bool Spi = false;
    QString SpiFolder;
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

    // Controls.
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

    // ---- service session (session/) ----
    QString SessionId; // saved in the settings under KvoSessionId
    QString UserName;  // display name from the service; empty when logged out
    bool LoggedIn = false;
    bool SessionReady = false;
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

    // ---- local picture browser (localbrowser/) ----
    std::vector<TPcImages> PcImages;
    uint8_t PcLoadState = 4; // STOPED_PC (localbrowser/PcLoadState.h)
    int32_t PcHintStart = 0;
    int32_t PcHintEnd = 0;
    bool PcDrawing = false;
    TImgCache PcImgCache;
    // Entries whose new thumbnail found no free slot (more than 80 items on screen): retried
    // once the list announces another range.
    std::vector<int> PcDroppedThumbnails;
    // Preview press tracking; a left-button drag scrolls the picture.
    bool BigImagePressed = false;
    QPoint BigImagePressPos;
    QPoint BigImageScrollOrigin;
    void BindLocalBrowserEvents();
    void ResetLocalBrowserState();
    void StopTimerPcBranch();
    void PcTreeViewChange();
    void PcLoad(const QString &path);
    void PcListViewData(int index, QString &caption, int &imageIndex);
    void PcListViewDataHint(int start, int end);
    void PcImageDrawTimerTimer();
    void PcDispSmallImage(int index);
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

    // ---- online album (album/) ----
    bool AlbumLoaded = false;
    std::vector<TAlbumFolder> FolderTable;  // entry k: the tree node at display position k
    std::vector<TAlbumImages> PictureTable; // entry n: item n of AlbumListView
    quint8 AlbumLoadState = 9;              // STOPED_ALBUM (album/AlbumLoadState.h)
    void BindAlbumEvents();
    void ResetAlbumState();
    void StopTimerAlbumBranch();
    void AlbumFolderLoad();
    void AcTUpFolderExecute();
    void ActReloadExecute();
    void AlbumTreeViewChange(class QTreeWidgetItem *Node);
    void GoUpFolder();
    void ActMoveToFolder();
    // Folder items beyond the first MoveToFolderEagerItems of the last load, in order; they
    // join the submenu when it is about to be shown (see AlbumFolderLoad).
    std::vector<class QAction *> MoveToFolderPending;
    void MoveToFolderAboutToShow();
    void AlbumLoad(int FolderId);
    bool AlbumSmallImgLoad(int PictureId);
    void AlbumListViewData(int index, QString &caption, int &imageIndex);
    void AlbumListViewDblClick();
    void AlbumShowBigImage(int Index);

    // ---- upload (upload/) ----
    bool UploadBusy = false;   // a batch runs
    bool UploadCancel = false; // set by the progress window's cancel button
    bool UploadClosed = false; // the window closed while a batch ran: it ends without a word
    // The running batch: a snapshot of the pictures to send (Name and Folder only), taken
    // when the batch starts so that browsing meanwhile does not change it. Empty otherwise.
    std::vector<TPcImages> UploadList;
    void ActFileUpLoadExecute();
    void SetUploadCancel(bool value);

    // ---- plug-in host (spi/) ----
    // The plug-in collection: none until SetSpi first runs, then kept for the whole run.
    std::unique_ptr<TSPIs> SPIs;
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
