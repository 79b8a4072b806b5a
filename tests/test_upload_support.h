#pragma once
// Upload tests drive the whole program against the stand-in service: pictures are real files
// in a temporary folder, put into the local list and selected as the browser would, and the
// batch's requests are read back from the service's record.
#include "app/Unit1.h"
#include "platform/widgets/OwnerDataListView.h"
#include "tests/support/AppFixture.h"
#include "tests/support/ServiceProcess.h"
#include "tests/support/TraceCapture.h"
#include "upload/UpLoadProgress.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <functional>
#include <memory>
#include <vector>

// One part of a recorded multipart body.
struct MultipartPart {
    QList<QPair<QByteArray, QByteArray>> headers; // as sent, names as written
    QByteArray data;
    QByteArray header(const QByteArray &name) const;
};

// Splits a whole multipart body by the boundary of contentType; empty when it is malformed.
QList<MultipartPart> parseMultipart(const QByteArray &contentType, const QByteArray &body);

// "p1.jpg" to "p<n>.jpg", the names the batch tests give their pictures.
QStringList PictureNames(int n);
// Bytes of a file, or its SHA-256.
QByteArray fileBytes(const QString &path);
QByteArray fileDigest(const QString &path);
// Writes size pseudo-random bytes (seeded) to path in 1 MB steps.
void writeGeneratedFile(const QString &path, qint64 size, quint64 seed);

// One picture of the session's order as the order page shows it in the browser.
struct OrderPageItem {
    QString name;
    QString imagePath; // its picture on the service ("/wis/order_image.php?...")
};

// One state of the progress window while it was visible: gauge, label.
struct ProgressState {
    int percent;
    QString label;
    bool operator==(const ProgressState &) const = default;
};

class UploadFixture : public AppFixture
{
protected:
    void SetUp() override;
    void TearDown() override;

    // Starts the service (with extra arguments) and the program against it.
    void startWith(const QStringList &serviceArguments = {});

    // A file of the picture folder (created with bytes) and its full path.
    QString addFile(const QString &name, const QByteArray &bytes);
    // Puts entries for names of folder into the local list and selects those in selected.
    void listAndSelect(const QString &folder, const QStringList &names,
                       const std::vector<int> &selected);
    // Runs the upload command as the pop-up menu item does.
    void runUpload();

    // The pictures of the session's print order, in the order they arrived, read from the
    // order page the program opens. The page's markup is the stand-in's own, no part of the
    // service interface: a test that reads it says so first (TOVELA_REQUIRE_ORDER_PAGE_MARKUP).
    QList<OrderPageItem> orderItems();
    QStringList orderNames();
    // Requests to the upload script, in order (test hooks).
    QList<RecordedRequest> uploadRequests();
    QString uploadPath() const;
    // The filename parameter of each upload request (raw bytes).
    QList<QByteArray> sentFileNames();

    // Called with every trace line the program writes.
    std::function<void(const QString &)> onTrace;
    std::unique_ptr<TraceCapture> trace;
    QStringList traceLines;
    // Distinct states the progress window showed while visible, in order.
    std::vector<ProgressState> progress;
    bool progressSeen = false;

    QTemporaryDir pictures;
    QString folder; // pictures.path()

    static const QString CompletionText;
};

// Skips a test that reads the print order back from the stand-in's order-page markup when it
// runs against another service (TOVELA_TEST_SERVICE), whose order page is its own HTML.
#define TOVELA_REQUIRE_ORDER_PAGE_MARKUP(service)                                                  \
    do {                                                                                           \
        if (!(service).hooksAvailable())                                                           \
            GTEST_SKIP() << "reads the print order from the stand-in's order-page markup, which "  \
                            "the service in TOVELA_TEST_SERVICE need not share";                   \
    } while (0)
