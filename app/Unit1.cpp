#include "app/Unit1.h"

#include "album/AlbumNodeIcon.h"
#include "album/AlbumStopOnClose.h"
#include "app/Unit3.h"
#include "platform/base/Application.h"
#include "platform/base/Dialogs.h"
#include "platform/base/Timer.h"
#include "platform/graphics/DecodeWorker.h"
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

// A control under the name the window's code and the tests find it by.
template <class Widget> Widget *named(Widget *widget, const char *name)
{
    widget->setObjectName(QLatin1String(name));
    return widget;
}

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
    DecodeWorker = std::make_unique<TDecodeWorker>();
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

namespace
{
// The tab strip above the views: one tab per view, at the strip's start margin.
void createTabStrip(TForm1 &form, QWidget *client, QVBoxLayout *column)
{
    form.DockTabSet1 = named(new TTabSet(client), "DockTabSet1");
    form.DockTabSet1->setFont(PixelFont(QStringLiteral("ＭＳ Ｐゴシック"), 13));
    form.DockTabSet1->setShape(QTabBar::RoundedNorth);
    form.DockTabSet1->setDrawBase(true);
    form.DockTabSet1->setExpanding(false);
    form.DockTabSet1->setStyleSheet(QStringLiteral("QTabBar::tab { height: 25px; }"));
    for (const QString &caption :
         {QStringLiteral("あなたの パ ソ コ ン"), QStringLiteral("　注　文　"),
          QStringLiteral("　画　像　"), QStringLiteral("ア ル バ ム")})
        form.DockTabSet1->addTab(caption);
    form.DockTabSet1->OnChange = [&form](int newTab, bool &allow) {
        form.DockTabSet1Change(newTab, allow);
    };
    auto *tabRow = new QHBoxLayout;
    tabRow->setContentsMargins(20, 0, 0, 0); // the strip's start margin
    tabRow->addWidget(form.DockTabSet1);
    tabRow->addStretch();
    column->addLayout(tabRow);
}

// View 0: the local pictures, the folder tree beside the picture list.
QWidget *createPcView(TForm1 &form, QWidget *views)
{
    form.PcView = viewPanel(QStringLiteral("PcView"), views);
    form.PcActionToolBar = named(new QToolBar(form.PcView), "PcActionToolBar");
    form.PcActionToolBar->setFixedHeight(52);
    form.PcActionToolBar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    form.PcView->layout()->addWidget(form.PcActionToolBar);
    form.PcSplitter = named(new TSplitPane(form.PcView), "PcSplitter");
    form.PcTreeView = named(new TShellTreeView(form.PcSplitter), "PcTreeView");
    form.PcListView = named(new TOwnerDataListView(form.PcSplitter), "PcListView");
    form.PcListView->setLargeImages(form.PcImageList);
    form.PcSplitter->addWidget(form.PcTreeView);
    form.PcSplitter->addWidget(form.PcListView);
    form.PcSplitter->setStretchFactor(1, 1);
    form.PcView->layout()->addWidget(form.PcSplitter);
    form.DummyPopupMenu = named(new QMenu(&form), "DummyPopupMenu");
    // Right-clicking the folder tree opens the empty menu, that is: nothing.
    QObject::connect(form.PcTreeView, &QWidget::customContextMenuRequested, form.DummyPopupMenu,
                     [&form](QPoint) {
                         if (!form.DummyPopupMenu->isEmpty())
                             form.DummyPopupMenu->popup(QCursor::pos());
                     });
    return form.PcView;
}

// View 1: the order view, an empty frame.
QWidget *createOrderView(TForm1 &form, QWidget *views)
{
    form.OrderView = viewPanel(QStringLiteral("OrderView"), views);
    form.OrderActionToolBar = named(new QToolBar(form.OrderView), "OrderActionToolBar");
    form.OrderView->layout()->addWidget(form.OrderActionToolBar);
    form.OrderListView = named(new QListWidget(form.OrderView), "OrderListView");
    form.OrderListView->setViewMode(QListView::IconMode);
    form.OrderView->layout()->addWidget(form.OrderListView);
    return form.OrderView;
}

// View 2: the full-size preview.
QWidget *createBigImageView(TForm1 &form, QWidget *views)
{
    form.BigImageView = viewPanel(QStringLiteral("BigImageView"), views);
    form.ScrollBox1 = named(new TScrollBox(form.BigImageView), "ScrollBox1");
    form.BigImage = named(new TImage, "BigImage");
    form.ScrollBox1->setWidget(form.BigImage);
    form.BigImageView->layout()->addWidget(form.ScrollBox1);
    return form.BigImageView;
}

// View 3: the online album, the folder tree beside the picture list.
QWidget *createAlbumView(TForm1 &form, QWidget *views)
{
    form.AlbumView = viewPanel(QStringLiteral("AlbumView"), views);
    form.AlbumActionToolBar = named(new QToolBar(form.AlbumView), "AlbumActionToolBar");
    form.AlbumActionToolBar->setFixedHeight(26);
    form.AlbumActionToolBar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    form.AlbumActionToolBar->setIconSize(QSize(16, 16));
    form.AlbumView->layout()->addWidget(form.AlbumActionToolBar);
    form.AlbumSplitter = named(new TSplitPane(form.AlbumView), "AlbumSplitter");
    form.AlbumTreeView = named(new QTreeWidget(form.AlbumSplitter), "AlbumTreeView");
    form.AlbumTreeView->setHeaderHidden(true);
    form.AlbumTreeView->setIconSize(QSize(16, 16));
    auto *top = new QTreeWidgetItem(form.AlbumTreeView, {QStringLiteral("トップ")});
    top->setIcon(0, AlbumNodeIcon(*form.IconImageList));
    form.AlbumListView = named(new TOwnerDataListView(form.AlbumSplitter), "AlbumListView");
    form.AlbumListView->setLargeImages(form.AlbumImageList);
    form.AlbumSplitter->addWidget(form.AlbumTreeView);
    form.AlbumSplitter->addWidget(form.AlbumListView);
    form.AlbumSplitter->setStretchFactor(1, 1);
    form.AlbumView->layout()->addWidget(form.AlbumSplitter);
    return form.AlbumView;
}

// The status bar, and the gauge that the upload shows in it.
void createStatusBar(TForm1 &form)
{
    form.StatusBar1 = named(new TStatusBar(&form), "StatusBar1");
    form.StatusBar1->AddPanel(50);
    form.setStatusBar(form.StatusBar1);

    form.Gauge1 = named(new QProgressBar(&form), "Gauge1");
    form.Gauge1->setFixedSize(169, 21);
    form.Gauge1->setTextVisible(false);
    form.Gauge1->setStyleSheet(QStringLiteral("QProgressBar::chunk { background: blue; }"));
    form.Gauge1->hide();
}

void createTimers(TForm1 &form)
{
    form.StopTimer = new TTimer(&form);
    form.StopTimer->setInterval(TimerInterval);
    form.StopTimer->OnTimer = [&form] { form.StopTimerExecute(); };
    form.PcImageDrawTimer = new TTimer(&form);
    form.PcImageDrawTimer->setInterval(TimerInterval);
}
} // namespace

void TForm1::CreateControls()
{
    ActionMainMenuBar1 = named(new QMenuBar(this), "ActionMainMenuBar1");
    ActionMainMenuBar1->setFont(PixelFont(QStringLiteral("MS UI Gothic"), 12));
    ActionMainMenuBar1->setNativeMenuBar(false);
    setMenuBar(ActionMainMenuBar1);

    auto *client = new QWidget(this);
    auto *column = new QVBoxLayout(client);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    setCentralWidget(client);
    createTabStrip(*this, client, column);

    // The four views share one cell; exactly one is visible at a time.
    auto *views = new QWidget(client);
    auto *cell = new QGridLayout(views);
    cell->setContentsMargins(0, 0, 0, 0);
    column->addWidget(views, 1);
    cell->addWidget(createPcView(*this, views), 0, 0);
    cell->addWidget(createOrderView(*this, views), 0, 0);
    cell->addWidget(createBigImageView(*this, views), 0, 0);
    cell->addWidget(createAlbumView(*this, views), 0, 0);

    createStatusBar(*this);
    createTimers(*this);
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
