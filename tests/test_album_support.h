#pragma once
// Album tests: a started program logged in with the service's demo account, the album tab
// current. Suites whose tests answer with the stand-in's canned replies say so with
// needsTestHooks; the others use the album the service really has.
#include "app/Unit1.h"
#include "tests/support/AppFixture.h"
#include "tests/support/ServiceProcess.h"
#include "tests/test_local_support.h"

#include <QStringList>
#include <vector>

class AlbumFixture : public AppFixture
{
protected:
    void SetUp() override;
    ServiceProcess &svc() { return *service; }

    QString folderPath() const { return QStringLiteral("/wis/wi_folder.php/") + form->SessionId; }
    QString imagePath() const { return QStringLiteral("/wis/wi_image.php/") + form->SessionId; }
    // The folder list the service answers next, then AlbumFolderLoad.
    void loadFolders(const QByteArray &reply);
    // Queues a picture list and n thumbnails (0: every thumbnail asked for) of jpeg.
    void cannedPictures(const QByteArray &list, const QByteArray &jpeg = {}, int n = 0);
    // Selects the tree node at display position k and runs the album branch until idle.
    void listFolder(int k);
    // Requests to path since the last reset whose query holds part.
    QList<RecordedRequest> requestsTo(const QString &path, const QString &part = {});
    // Names of the files in the cache folder.
    QStringList cacheFiles() const;
    QStringList captions() const;

    // Extra command-line arguments of the stand-in, set before SetUp.
    QStringList serviceArguments;
    // Set before SetUp by suites that need the stand-in's test hooks: they skip elsewhere.
    bool needsTestHooks = false;
};

// Suites whose every folder is listed from canned replies: folder A (id 12) and inside it
// B (id 15), loaded before each test, with the request record emptied afterwards.
class AlbumCannedFolders : public AlbumFixture
{
protected:
    AlbumCannedFolders() { needsTestHooks = true; }
    void SetUp() override;
};

// The picture ids of the album list, in list order.
std::vector<qint32> PictureIds(const TForm1 &form);

// Records of a line-record reply: fields joined by the marker, records by CR LF.
QByteArray Records(const std::vector<QStringList> &records);
