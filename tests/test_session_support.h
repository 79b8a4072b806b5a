#pragma once
// Session tests drive a real main window. bareWindow() builds one whose start-up has not run,
// so a test decides every request it makes; AppFixture::start() runs the whole start-up.
#include "app/Unit1.h"
#include "app/Unit3.h"
#include "platform/net/HttpClient.h"
#include "session/LoginForm.h"
#include "tests/support/AppFixture.h"

#include <chrono>
#include <memory>

class SessionFixture : public AppFixture
{
protected:
    void TearDown() override
    {
        bare.reset();
        bareForm3.reset();
        bareLogin.reset();
        AppFixture::TearDown();
    }

    TForm1 &bareWindow(const QString &serviceHost)
    {
        bareLogin = std::make_unique<TLoginDialog>();
        bareForm3 = std::make_unique<TForm3>();
        bare = std::make_unique<TForm1>(bareLogin.get(), bareForm3.get());
        bare->ServiceHost = serviceHost;
        // A stalled reply ends after three seconds instead of a minute: still long enough that
        // a busy machine (or a sanitizer build) does not look like a stall.
        bare->IdHTTP1->setStallLimit(1, std::chrono::seconds(3));
        return *bare;
    }

    // Texts of every box shown so far.
    std::vector<QString> texts() const { return dialogs->texts(); }

    std::unique_ptr<TLoginDialog> bareLogin;
    std::unique_ptr<TForm3> bareForm3;
    std::unique_ptr<TForm1> bare;
};

inline const QString CommunicationError =
    QStringLiteral("通信エラーが発生しました。\n\rネットワークの設定を確認してください。");
inline const QString CookieMessage =
    QStringLiteral("クッキー情報が取得出来ませんでした。\n\r接続環境をご確認ください。");
