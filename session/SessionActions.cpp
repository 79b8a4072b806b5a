// The session's commands: the login dialog loop, logout, and the order page.
#include "app/Unit1.h"

#include "platform/base/Dialogs.h"
#include "session/LoginForm.h"

QString TForm1::OrderPageAddress() const
{
    return ServiceHost + QStringLiteral("/wis/order.php?mode=select&sid=") + SessionId;
}

void TForm1::ActLoginExecute()
{
    // The dialog keeps the entries of a failed attempt when it comes back.
    while (Dialogs().ShowModal(*LoginDialog) == QDialog::Accepted) {
        if (Login())
            return;
    }
}

void TForm1::ActLogoutExecute()
{
    Logout();
    Dialogs().ShowMessage(QStringLiteral("ログアウトしました。"));
}

void TForm1::ActGoOrderExecute()
{
    UrlJump(OrderPageAddress());
}

void TForm1::ActDispOrderPageUrlExecute()
{
    // Shown for copying; whatever the user does with the box changes nothing.
    Dialogs().InputQuery(QStringLiteral("注文ページへのURL"), QString(), OrderPageAddress());
}
