#include "app/Unit1.h"

#include "album/AlbumNodeIcon.h"
#include "album/AlbumStopOnClose.h"
#include "app/Unit3.h"
#include "platform/base/Application.h"
#include "platform/base/Dialogs.h"
#include "platform/base/Timer.h"
#include "platform/graphics/ResourceImages.h"
#include "platform/widgets/Image.h"
#include "platform/widgets/ImageList.h"
#include "platform/widgets/OwnerDataListView.h"
#include "platform/widgets/PixelFont.h"
#include "platform/widgets/ScrollBox.h"
#include "platform/widgets/ShellTreeView.h"
#include "platform/widgets/SplitPane.h"
#include "platform/widgets/StatusBar.h"
#include "platform/widgets/TabSet.h"
#include "platform/widgets/TreeItems.h"
#include "spi/SPIs.h"
#include "upload/UploadStopOnClose.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QGuiApplication>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QToolBar>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace
{
// Both timers tick every 100 ms: StopTimer starts a listing, PcImageDrawTimer draws one
// thumbnail.
constexpr int TimerInterval = 100;

QWidget *viewPanel(const QString &name, QWidget *parent)
{
    auto *panel = new QWidget(parent);
    panel->setObjectName(name);
    auto *layout = new QVBoxLayout(panel);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    return panel;
}
} // namespace

TForm1::TForm1(TLoginDialog *loginDialog, TForm3 *form3)
    : QMainWindow(nullptr),
      ServiceHost(QStringLiteral("http://") + QStringLiteral(TOVELA_SERVICE_HOST)),
      LoginDialog(loginDialog), Form3(form3)
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Quovi.格安デジカメプリント ルミナード v20080101"));
    setFont(PixelFont(QStringLiteral("Tahoma"), 11));
    // Every box of the program stands above the main window unless another owner is named.
    SetDialogOwner(this);
    LoadResources();
    CreateActions();
    CreateControls();
    CreateBars();
    BindLocalBrowserEvents();
    BindAlbumEvents();
}

void TForm1::RunStartUp()
{
    if (!guarded([this] { FormCreate(); }))
        guarded([this] { ViewSelect(ViewIndex::Pc); });
}

TForm1::~TForm1()
{
    // The album tree may be deep enough that Qt's recursive item deletion would overflow.
    DeleteTreeItems(AlbumTreeView);
}

void TForm1::LoadResources()
{
    // The window icon in every size the desktop's icon theme has of it, so that the window
    // system need not scale it at any size or pixel ratio.
    QStringList iconSizes;
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256})
        iconSizes << (size == 64 ? QStringLiteral(":/icons/tovela.png")
                                 : QStringLiteral(":/icons/tovela%1.png").arg(size));
    setWindowIcon(LazyResourceIcon(iconSizes));
    // The stock thumbnails at the highest pixel ratio among the screens: a double-density
    // picture is also sharp when scaled down for a plain screen.
    const qreal ratio = qGuiApp->devicePixelRatio();
    UnknownFileImage = LoadResourceImage(QStringLiteral(":/thumbs/unknown.png"), ratio);
    FolderImage = LoadResourceImage(QStringLiteral(":/thumbs/folder.png"), ratio);
    FolderUpImage = LoadResourceImage(QStringLiteral(":/thumbs/folderup.png"), ratio);

    IconImageList = new TImageList(16, 16, this);
    // In the order of IconIndex.
    for (const char *name : {"up", "album", "album_selected", "addprint"})
        IconImageList->AddResource(QStringLiteral(":/icons/%1.png").arg(QLatin1String(name)));
    PcImageList = new TImageList(100, 100, this);
    AlbumImageList = new TImageList(100, 100, this);
}

void TForm1::CreateControls()
{
    ActionMainMenuBar1 = new QMenuBar(this);
    ActionMainMenuBar1->setObjectName(QStringLiteral("ActionMainMenuBar1"));
    ActionMainMenuBar1->setFont(PixelFont(QStringLiteral("MS UI Gothic"), 12));
    ActionMainMenuBar1->setNativeMenuBar(false);
    setMenuBar(ActionMainMenuBar1);

    auto *client = new QWidget(this);
    auto *column = new QVBoxLayout(client);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    setCentralWidget(client);

    DockTabSet1 = new TTabSet(client);
    DockTabSet1->setObjectName(QStringLiteral("DockTabSet1"));
    DockTabSet1->setFont(PixelFont(QStringLiteral("ＭＳ Ｐゴシック"), 13));
    DockTabSet1->setShape(QTabBar::RoundedNorth);
    DockTabSet1->setDrawBase(true);
    DockTabSet1->setExpanding(false);
    DockTabSet1->setStyleSheet(QStringLiteral("QTabBar::tab { height: 25px; }"));
    for (const QString &caption :
         {QStringLiteral("あなたの パ ソ コ ン"), QStringLiteral("　注　文　"),
          QStringLiteral("　画　像　"), QStringLiteral("ア ル バ ム")})
        DockTabSet1->addTab(caption);
    DockTabSet1->OnChange = [this](int newTab, bool &allow) { DockTabSet1Change(newTab, allow); };
    auto *tabRow = new QHBoxLayout;
    tabRow->setContentsMargins(20, 0, 0, 0); // the strip's start margin
    tabRow->addWidget(DockTabSet1);
    tabRow->addStretch();
    column->addLayout(tabRow);

    // The four views share one cell; exactly one is visible at a time.
    auto *views = new QWidget(client);
    auto *cell = new QGridLayout(views);
    cell->setContentsMargins(0, 0, 0, 0);
    column->addWidget(views, 1);

    // View 0: the local pictures.
    PcView = viewPanel(QStringLiteral("PcView"), views);
    PcActionToolBar = new QToolBar(PcView);
    PcActionToolBar->setObjectName(QStringLiteral("PcActionToolBar"));
    PcActionToolBar->setFixedHeight(52);
    PcActionToolBar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    PcView->layout()->addWidget(PcActionToolBar);
    PcSplitter = new TSplitPane(PcView);
    PcSplitter->setObjectName(QStringLiteral("PcSplitter"));
    PcTreeView = new TShellTreeView(PcSplitter);
    PcTreeView->setObjectName(QStringLiteral("PcTreeView"));
    PcListView = new TOwnerDataListView(PcSplitter);
    PcListView->setObjectName(QStringLiteral("PcListView"));
    PcListView->setLargeImages(PcImageList);
    PcSplitter->addWidget(PcTreeView);
    PcSplitter->addWidget(PcListView);
    PcSplitter->setStretchFactor(1, 1);
    PcView->layout()->addWidget(PcSplitter);
    DummyPopupMenu = new QMenu(this);
    DummyPopupMenu->setObjectName(QStringLiteral("DummyPopupMenu"));
    // Right-clicking the folder tree opens the empty menu, that is: nothing.
    connect(PcTreeView, &QWidget::customContextMenuRequested, DummyPopupMenu, [this](QPoint) {
        if (!DummyPopupMenu->isEmpty())
            DummyPopupMenu->popup(QCursor::pos());
    });
    cell->addWidget(PcView, 0, 0);

    // View 1: the order view, an empty frame.
    OrderView = viewPanel(QStringLiteral("OrderView"), views);
    OrderActionToolBar = new QToolBar(OrderView);
    OrderActionToolBar->setObjectName(QStringLiteral("OrderActionToolBar"));
    OrderView->layout()->addWidget(OrderActionToolBar);
    OrderListView = new QListWidget(OrderView);
    OrderListView->setObjectName(QStringLiteral("OrderListView"));
    OrderListView->setViewMode(QListView::IconMode);
    OrderView->layout()->addWidget(OrderListView);
    cell->addWidget(OrderView, 0, 0);

    // View 2: the full-size preview.
    BigImageView = viewPanel(QStringLiteral("BigImageView"), views);
    ScrollBox1 = new TScrollBox(BigImageView);
    ScrollBox1->setObjectName(QStringLiteral("ScrollBox1"));
    BigImage = new TImage;
    BigImage->setObjectName(QStringLiteral("BigImage"));
    ScrollBox1->setWidget(BigImage);
    BigImageView->layout()->addWidget(ScrollBox1);
    cell->addWidget(BigImageView, 0, 0);

    // View 3: the online album.
    AlbumView = viewPanel(QStringLiteral("AlbumView"), views);
    AlbumActionToolBar = new QToolBar(AlbumView);
    AlbumActionToolBar->setObjectName(QStringLiteral("AlbumActionToolBar"));
    AlbumActionToolBar->setFixedHeight(26);
    AlbumActionToolBar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    AlbumActionToolBar->setIconSize(QSize(16, 16));
    AlbumView->layout()->addWidget(AlbumActionToolBar);
    AlbumSplitter = new TSplitPane(AlbumView);
    AlbumSplitter->setObjectName(QStringLiteral("AlbumSplitter"));
    AlbumTreeView = new QTreeWidget(AlbumSplitter);
    AlbumTreeView->setObjectName(QStringLiteral("AlbumTreeView"));
    AlbumTreeView->setHeaderHidden(true);
    AlbumTreeView->setIconSize(QSize(16, 16));
    auto *top = new QTreeWidgetItem(AlbumTreeView, {QStringLiteral("トップ")});
    top->setIcon(0, AlbumNodeIcon(*IconImageList));
    AlbumListView = new TOwnerDataListView(AlbumSplitter);
    AlbumListView->setObjectName(QStringLiteral("AlbumListView"));
    AlbumListView->setLargeImages(AlbumImageList);
    AlbumSplitter->addWidget(AlbumTreeView);
    AlbumSplitter->addWidget(AlbumListView);
    AlbumSplitter->setStretchFactor(1, 1);
    AlbumView->layout()->addWidget(AlbumSplitter);
    cell->addWidget(AlbumView, 0, 0);

    StatusBar1 = new TStatusBar(this);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    StatusBar1->AddPanel(50);
    setStatusBar(StatusBar1);

    Gauge1 = new QProgressBar(this);
    Gauge1->setObjectName(QStringLiteral("Gauge1"));
    Gauge1->setFixedSize(169, 21);
    Gauge1->setTextVisible(false);
    Gauge1->setStyleSheet(QStringLiteral("QProgressBar::chunk { background: blue; }"));
    Gauge1->hide();

    StopTimer = new TTimer(this);
    StopTimer->setInterval(TimerInterval);
    StopTimer->OnTimer = [this] { StopTimerExecute(); };
    PcImageDrawTimer = new TTimer(this);
    PcImageDrawTimer->setInterval(TimerInterval);
}

void TForm1::closeEvent(QCloseEvent *event)
{
    bool canClose = true;
    guarded([&] { FormCloseQuery(canClose); });
    if (canClose) {
        AlbumStopOnClose(*this);
        UploadStopOnClose(*this);
        event->accept();
    } else
        event->ignore();
}
