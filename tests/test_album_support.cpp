#include "tests/test_album_support.h"

#include "app/Program.h"
#include "platform/base/Timer.h"
#include "platform/text/ShiftJis.h"
#include "platform/widgets/OwnerDataListView.h"
#include "platform/widgets/TabSet.h"
#include "session/LoginForm.h"

#include <QDir>
#include <QLineEdit>
#include <QTreeWidget>

void AlbumFixture::SetUp()
{
    AppFixture::SetUp();
    service = std::make_unique<ServiceProcess>(serviceArguments);
    ASSERT_TRUE(service->isReady());
    if (needsTestHooks)
        TOVELA_REQUIRE_TEST_HOOKS_FOR(*service, "canned album replies and the request record");
    start(service->baseUrl());
    form->LoginDialog->EditEmail->setText(service->demoEmail());
    form->LoginDialog->EditPasswd->setText(service->demoPassword());
    ASSERT_TRUE(form->Login());
    form->DockTabSet1->setTabIndex(3);
    if (service->hooksAvailable())
        service->reset();
}

void AlbumFixture::loadFolders(const QByteArray &reply)
{
    service->cannedReply(folderPath(), reply);
    form->AlbumFolderLoad();
}

void AlbumFixture::cannedPictures(const QByteArray &list, const QByteArray &jpeg, int n)
{
    service->cannedReply(folderPath(), list);
    if (!jpeg.isEmpty()) {
        CannedReply thumbs;
        thumbs.path = imagePath();
        thumbs.body = jpeg;
        thumbs.count = n;
        thumbs.contentType = "image/jpeg";
        service->cannedReply(thumbs);
    }
}

void AlbumFixture::listFolder(int k)
{
    QTreeWidgetItem *node = nullptr;
    int position = 0;
    std::function<void(QTreeWidgetItem *)> walk = [&](QTreeWidgetItem *item) {
        if (position++ == k)
            node = item;
        for (int i = 0; i < item->childCount(); ++i)
            walk(item->child(i));
    };
    for (int i = 0; i < form->AlbumTreeView->topLevelItemCount(); ++i)
        walk(form->AlbumTreeView->topLevelItem(i));
    ASSERT_NE(node, nullptr);
    form->AlbumTreeView->setCurrentItem(node);
    for (int tick = 0; tick < 10 && form->StopTimer->Enabled(); ++tick)
        form->StopTimerAlbumBranch();
}

QList<RecordedRequest> AlbumFixture::requestsTo(const QString &path, const QString &part)
{
    QList<RecordedRequest> out;
    for (const RecordedRequest &r : service->requests())
        if (QString::fromLatin1(r.path) == path &&
            (part.isEmpty() || QString::fromLatin1(r.queryRaw).contains(part)))
            out.append(r);
    return out;
}

QStringList AlbumFixture::cacheFiles() const
{
    return QDir(form->CacheFolder).entryList(QDir::Files | QDir::Hidden, QDir::Name);
}

QStringList AlbumFixture::captions() const
{
    QStringList out;
    for (int i = 0; i < form->AlbumListView->ItemsCount(); ++i) {
        QString caption;
        int image = -1;
        form->AlbumListView->OnData(i, caption, image);
        out << caption;
    }
    return out;
}

QByteArray Records(const std::vector<QStringList> &records)
{
    QStringList lines;
    for (const QStringList &r : records)
        lines << r.join(QStringLiteral("<!--SEP-->"));
    return toShiftJis(lines.join(QStringLiteral("\r\n")));
}

void AlbumCannedFolders::SetUp()
{
    AlbumFixture::SetUp();
    if (IsSkipped() || HasFatalFailure())
        return;
    loadFolders(Records({{"OK"}, {"12", "0", "A"}, {"15", "1", "B"}}));
    svc().reset();
}

std::vector<qint32> PictureIds(const TForm1 &form)
{
    std::vector<qint32> out;
    for (const TAlbumImages &p : form.PictureTable)
        out.push_back(p.PictureId);
    return out;
}
