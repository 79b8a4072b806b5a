#pragma once
// Placeholder of the login dialog until the session work lands: an empty modal dialog.
#include <QDialog>

class TLoginDialog : public QDialog
{
    Q_OBJECT
public:
    explicit TLoginDialog(QWidget *parent = nullptr) : QDialog(parent)
    {
        setObjectName(QStringLiteral("LoginDialog"));
        setWindowTitle(QStringLiteral("ログイン"));
    }
};
