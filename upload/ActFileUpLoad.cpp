// The upload command: sends the selected local pictures to the service, one POST per picture,
// with the progress window and its cancel. Both upload commands (tool bar and pop-up) end here.
#include "app/Unit1.h"
#include "app/Unit3.h"
#include "platform/Dialogs.h"
#include "platform/FileNames.h"
#include "platform/Gauge.h"
#include "platform/HttpClient.h"
#include "platform/OwnerDataListView.h"
#include "platform/Trace.h"
#include "upload/UpLoadProgress.h"
#include "upload/UploadRequest.h"

#include <QCoreApplication>
#include <QScopeGuard>
#include <algorithm>
#include <exception>

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

} // namespace

// The tool bar button starts the same upload as the pop-up item.
void TForm1::ActFileUpExecute()
{
    ActFileUpLoadExecute();
}

void TForm1::SetUploadCancel(bool value)
{
    UploadCancel = value;
}

void TForm1::ActFileUpLoadExecute()
{
    // Whatever happens below, the guide moves on to its last page (the order page).
    const auto toOrderPage = qScopeGuard([this] { Form3->SetPage(3); });

    if (!SessionReady) {
        Dialogs().ShowMessage(QStringLiteral("お使いのパソコンでは画像の転送が行えません。"));
        return;
    }
    // The limit belongs to this invocation: a second one during a batch cannot clear it.
    bool LimitReached = false;
    UploadCancel = false;

    if (PcListView->SelCount() == 0) {
        Dialogs().MessageBox(QStringLiteral("画像を選択してください。"), QStringLiteral("エラー"),
                             MsgButtons::Ok, MsgIcon::Error);
        return;
    }

    // Selected items whose entries are pictures, in list order.
    std::vector<int> selected = PcListView->SelectedIndexes();
    std::sort(selected.begin(), selected.end());
    std::vector<int> pictures;
    for (int index : selected) {
        if (index < 0 || static_cast<size_t>(index) >= PcImages.size())
            continue;
        const TPcImages &entry = PcImages[static_cast<size_t>(index)];
        if (!entry.IsFolder && entry.IsPicture)
            pictures.push_back(index);
    }
    const int N = static_cast<int>(pictures.size());

    if (UploadBusy) {
        Dialogs().ShowMessage(QStringLiteral("現在画像転送中です"));
        return;
    }

    if (Dialogs().MessageBox(QStringLiteral("画像を送信します。宜しいですか？"),
                             QStringLiteral("確認"), MsgButtons::OkCancel,
                             MsgIcon::None) != MsgResult::Ok)
        return;

    {
        UploadBusy = true;
        ActGoAddPrint->setEnabled(false);
        ActFileUp->setEnabled(false);
        const auto endBatch = qScopeGuard([this] {
            Form2->Close();
            UploadList.clear();
            ActGoAddPrint->setEnabled(true);
            ActFileUp->setEnabled(true);
            UploadBusy = false;
        });
        UploadList.assign(static_cast<size_t>(N), TPcImages{});
        for (int k = 0; k < N; ++k) {
            const TPcImages &entry = PcImages[static_cast<size_t>(pictures[k])];
            UploadList[static_cast<size_t>(k)].Name = entry.Name;
            UploadList[static_cast<size_t>(k)].Folder = entry.Folder;
            UploadList[static_cast<size_t>(k)].RawName = entry.RawName;
        }

        Form2->show();
        ProcessMessages();

        for (int i = 0; i < N; ++i) {
            if (UploadCancel)
                continue;
            QList<HttpFormPart> body;

            Form2->ShowProgress(UploadPercent(i, N), N, i + 1);
            ProcessMessages();

            if (!LimitReached) {
                // A picture that cannot be sent is skipped without a word.
                try {
                    const TPcImages &item = UploadList[static_cast<size_t>(i)];
                    OutputDebugString(QStringLiteral("Start"));
                    body.append(UploadModeField());
                    OutputDebugString(QStringLiteral("Form Data Create"));
                    body.append(UploadFileField(FileSystemPath(item.Folder, item.NameBytes())));
                    OutputDebugString(QStringLiteral("HTTP Post Start"));
                    const QByteArray reply = IdHTTP1->post(
                        ServiceHost + QStringLiteral("/wis/wi_upload.php/") + SessionId, body);
                    if (IsLimitReply(reply))
                        LimitReached = true;
                    OutputDebugString(QStringLiteral("HTTP Post End"));
                } catch (const std::exception &) {
                }
            }

            body.clear();
            ProcessMessages();
        }
    }

    Dialogs().MessageBox(CompletionText, QStringLiteral("送信完了"), MsgButtons::Ok,
                         MsgIcon::Information);
}
