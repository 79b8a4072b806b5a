#include "upload/UploadTally.h"

#include <QStringList>
#include <algorithm>

namespace
{
// More names would make a box taller than the screen; the count says how many were left out.
constexpr size_t MaxNamesShown = 10;
} // namespace

bool IsUploadFailure(UploadOutcome outcome)
{
    switch (outcome) {
    case UploadOutcome::Unreadable:
    case UploadOutcome::ConnectionFailed:
    case UploadOutcome::ErrorStatus:
    case UploadOutcome::TransferFailed:
        return true;
    case UploadOutcome::Arrived:
    case UploadOutcome::LimitReached:
    case UploadOutcome::NotSent:
    case UploadOutcome::Cancelled:
        break;
    }
    return false;
}

std::vector<TPcImages> UploadTally::Failed() const
{
    std::vector<TPcImages> out;
    for (size_t i = 0; i < Outcomes.size() && i < Pictures.size(); ++i)
        if (IsUploadFailure(Outcomes[i]))
            out.push_back(Pictures[i]);
    return out;
}

int UploadTally::LimitCount() const
{
    return static_cast<int>(std::count_if(Outcomes.begin(), Outcomes.end(), [](UploadOutcome o) {
        return o == UploadOutcome::LimitReached || o == UploadOutcome::NotSent;
    }));
}

QString UploadFailureText(int total, const std::vector<TPcImages> &failed)
{
    QStringList names;
    for (size_t i = 0; i < failed.size() && i < MaxNamesShown; ++i)
        names << failed[i].Name;
    if (failed.size() > MaxNamesShown)
        names << QStringLiteral("ほか %1 個").arg(failed.size() - MaxNamesShown);
    return QStringLiteral("%1個中 %2個の画像を送信できませんでした。\n\n")
               .arg(total)
               .arg(failed.size()) +
           names.join(QLatin1Char('\n')) +
           QStringLiteral("\n\n送信できなかった画像をもう一度送信しますか？");
}

QString UploadLimitText(int count)
{
    return QStringLiteral("ご注文頂ける枚数の上限に達したため、%1個の画像は送信されませんでした。")
        .arg(count);
}
