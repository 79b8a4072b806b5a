// The upload command: sends the selected local pictures to the service, one POST per picture,
// with the progress window and its cancel. Both upload commands (tool bar and pop-up) end here.
// A batch counts what became of each picture and says so at its end: the completion message
// only when nothing failed, otherwise the failed pictures by name with the offer to send
// exactly those again, and how many the service's limit kept out.
#include "app/Unit1.h"
#include "app/Unit3.h"
#include "platform/base/Dialogs.h"
#include "platform/net/HttpClient.h"
#include "platform/net/NetworkWorker.h"
#include "platform/system/FileNames.h"
#include "platform/widgets/Gauge.h"
#include "platform/widgets/OwnerDataListView.h"
#include "upload/UpLoadProgress.h"
#include "upload/UploadRequest.h"
#include "upload/UploadStopOnClose.h"
#include "upload/UploadTally.h"

#include <QCoreApplication>
#include <QScopeGuard>
#include <algorithm>

namespace
{

const QString CompletionText = QStringLiteral(
    "送信完了しました。\n\r続けて送信して頂ければ最高3,000枚まで一度にご注文頂けます。");

// The gauge before picture i (from 0) of n. A batch of one has no steps; its only picture is
// the whole batch, so it shows 100.
int UploadPercent(int i, int n)
{
    return n <= 1 ? 100 : GaugePercent(i, n);
}

void ProcessMessages()
{
    QCoreApplication::processEvents();
}

// The batch takes the window's commands and shows the progress window.
void UploadBatchStart(TForm1 &form, const std::vector<TPcImages> &pictures)
{
    // A batch sent again is the user's new request: an earlier cancel does not stop it.
    form.UploadCancel = false;
    form.UploadClosed = false;
    form.UploadBusy = true;
    form.ActGoAddPrint->setEnabled(false);
    form.ActFileUp->setEnabled(false);
    form.UploadList = pictures;

    form.Form2->show();
    ProcessMessages();
}

// Picture i of the batch: skipped after a cancel, shown, then sent unless the service's limit
// was reached before it.
UploadOutcome UploadPicture(TForm1 &form, int i, bool limitReached)
{
    if (form.UploadCancel || form.UploadClosed)
        return UploadOutcome::Cancelled;
    const int N = static_cast<int>(form.UploadList.size());

    form.Form2->ShowProgress(UploadPercent(i, N), N, i + 1);
    ProcessMessages();

    UploadOutcome outcome = UploadOutcome::NotSent;
    if (!limitReached) {
        const TPcImages &item = form.UploadList[static_cast<size_t>(i)];
        const UploadPictureRequest request{
            form.ServiceHost + QStringLiteral("/wis/wi_upload.php/") + form.SessionId,
            FileSystemPath(item.Folder, item.NameBytes())};
        // The window goes on processing its events while the picture travels: the cancel
        // button and a close are read then and take effect after this picture.
        outcome = SendPicture(form.IdHTTP1->worker(), request);
    }

    ProcessMessages();
    return outcome;
}

// The window and the commands come back; the batch's list is emptied.
void UploadBatchEnd(TForm1 &form)
{
    form.Form2->Close();
    form.UploadList.clear();
    form.ActGoAddPrint->setEnabled(true);
    form.ActFileUp->setEnabled(true);
    form.UploadBusy = false;
}

UploadTally UploadBatch(TForm1 &form, const std::vector<TPcImages> &pictures)
{
    UploadTally tally;
    tally.Pictures = pictures;
    UploadBatchStart(form, pictures);
    // Whatever happens to the pictures, the batch ends.
    const auto end = qScopeGuard([&form] { UploadBatchEnd(form); });
    bool limitReached = false;
    for (int i = 0; i < static_cast<int>(pictures.size()); ++i) {
        const UploadOutcome outcome = UploadPicture(form, i, limitReached);
        limitReached = limitReached || outcome == UploadOutcome::LimitReached;
        tally.Outcomes.push_back(outcome);
    }
    return tally;
}

// The batch's ending words; returns the pictures the user chose to send again. A window
// closed meanwhile hears nothing more and sends nothing again.
std::vector<TPcImages> UploadBatchReport(TForm1 &form, const UploadTally &tally)
{
    if (form.UploadClosed)
        return {};
    const std::vector<TPcImages> failed = tally.Failed();
    const int limited = tally.LimitCount();
    if (failed.empty() && limited == 0) {
        Dialogs().MessageBox(CompletionText, QStringLiteral("送信完了"), MsgButtons::Ok,
                             MsgIcon::Information);
        return {};
    }
    bool again = false;
    if (!failed.empty())
        again =
            Dialogs().MessageBox(UploadFailureText(static_cast<int>(tally.Pictures.size()), failed),
                                 QStringLiteral("送信エラー"), MsgButtons::YesNo,
                                 MsgIcon::Warning) == MsgResult::Yes;
    // The limit belongs to this batch's ending, before any batch sent again begins.
    if (limited > 0)
        Dialogs().ShowMessage(UploadLimitText(limited));
    return again ? failed : std::vector<TPcImages>{};
}

} // namespace

// The tool bar button starts the same upload as the pop-up item.
void TForm1::ActFileUpExecute()
{
    ActFileUpLoadExecute();
}

void UploadStopOnClose(TForm1 &form)
{
    // The picture travelling now finishes or fails on its own; the progress window goes with
    // the main window, and the batch ends after that picture without a box.
    if (!form.UploadBusy)
        return;
    form.UploadClosed = true;
    form.Form2->Close();
}

void TForm1::ActFileUpLoadExecute()
{
    // Whatever happens below, the guide moves on to its last page (the order page).
    const auto toOrderPage = qScopeGuard([this] { Form3->SetPage(3); });

    if (!SessionReady) {
        Dialogs().ShowMessage(QStringLiteral("お使いのパソコンでは画像の転送が行えません。"));
        return;
    }
    UploadCancel = false;

    if (PcListView->SelCount() == 0) {
        Dialogs().MessageBox(QStringLiteral("画像を選択してください。"), QStringLiteral("エラー"),
                             MsgButtons::Ok, MsgIcon::Error);
        return;
    }

    // Selected items whose entries are pictures, in list order. The batch keeps only what it
    // sends by (name and folder), so browsing meanwhile does not change it.
    std::vector<int> selected = PcListView->SelectedIndexes();
    std::sort(selected.begin(), selected.end());
    std::vector<TPcImages> pictures;
    for (int index : selected) {
        if (index < 0 || static_cast<size_t>(index) >= PcImages.size())
            continue;
        const TPcImages &entry = PcImages[static_cast<size_t>(index)];
        if (entry.IsFolder || !entry.IsPicture)
            continue;
        TPcImages item;
        item.Name = entry.Name;
        item.Folder = entry.Folder;
        item.RawName = entry.RawName;
        pictures.push_back(item);
    }

    if (UploadBusy) {
        Dialogs().ShowMessage(QStringLiteral("現在画像転送中です"));
        return;
    }

    if (Dialogs().MessageBox(QStringLiteral("画像を送信します。宜しいですか？"),
                             QStringLiteral("確認"), MsgButtons::OkCancel,
                             MsgIcon::None) != MsgResult::Ok)
        return;

    // The user's Yes to sending the failed pictures again confirms the next batch: it starts
    // at once and ends the same way.
    do {
        pictures = UploadBatchReport(*this, UploadBatch(*this, pictures));
    } while (!pictures.empty());
}
