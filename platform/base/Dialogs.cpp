#include "platform/base/Dialogs.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDialog>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPointer>
#include <QUrl>
#include <QWidget>

QString ApplicationTitle()
{
    QString name = QCoreApplication::applicationName();
    return name.isEmpty() ? QStringLiteral("ルミナード") : name;
}

namespace
{
QPointer<QWidget> &registeredOwner()
{
    static QPointer<QWidget> owner;
    return owner;
}

QWidget *ownerOr(QWidget *owner)
{
    return owner ? owner : DialogOwner();
}

std::unique_ptr<IDialogs> &installed()
{
    static std::unique_ptr<IDialogs> dialogs = std::make_unique<QtDialogs>();
    return dialogs;
}

QMessageBox::Icon qtIcon(MsgIcon icon)
{
    switch (icon) {
    case MsgIcon::Information:
        return QMessageBox::Information;
    case MsgIcon::Question:
        return QMessageBox::Question;
    case MsgIcon::Warning:
        return QMessageBox::Warning;
    case MsgIcon::Error:
        return QMessageBox::Critical;
    case MsgIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}
} // namespace

void SetDialogOwner(QWidget *window)
{
    registeredOwner() = window;
}

QWidget *DialogOwner()
{
    return registeredOwner().data();
}

IDialogs &Dialogs()
{
    return *installed();
}

std::unique_ptr<IDialogs> SetDialogs(std::unique_ptr<IDialogs> dialogs)
{
    std::swap(installed(), dialogs);
    return dialogs;
}

MsgResult QtDialogs::MessageBox(const QString &text, const QString &caption, MsgButtons buttons,
                                MsgIcon icon, QWidget *owner)
{
    owner = ownerOr(owner);
    QMessageBox box(qtIcon(icon), caption, text, QMessageBox::NoButton, owner);
    // An owner that stays on top (the progress window) would otherwise hide its own question.
    if (owner && owner->window()->windowFlags().testFlag(Qt::WindowStaysOnTopHint))
        box.setWindowFlag(Qt::WindowStaysOnTopHint);
    switch (buttons) {
    case MsgButtons::Ok:
        box.setStandardButtons(QMessageBox::Ok);
        break;
    case MsgButtons::OkCancel:
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        break;
    case MsgButtons::YesNo:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        // Enter answers Yes, not whichever button Qt's style would pick.
        box.setDefaultButton(QMessageBox::Yes);
        break;
    }
    box.exec();
    // Only a pressed button answers; a box dismissed any other way must not read as consent.
    QAbstractButton *pressed = box.clickedButton();
    switch (pressed ? box.standardButton(pressed) : QMessageBox::NoButton) {
    case QMessageBox::Ok:
        return MsgResult::Ok;
    case QMessageBox::Yes:
        return MsgResult::Yes;
    case QMessageBox::No:
        return MsgResult::No;
    default:
        return buttons == MsgButtons::YesNo ? MsgResult::No : MsgResult::Cancel;
    }
}

void QtDialogs::ShowError(const QString &text)
{
    QMessageBox box(QMessageBox::Critical, ApplicationTitle(), text, QMessageBox::Ok,
                    DialogOwner());
    box.exec();
}

std::optional<QString> QtDialogs::InputQuery(const QString &caption, const QString &prompt,
                                             const QString &value)
{
    bool ok = false;
    QString text =
        QInputDialog::getText(DialogOwner(), caption, prompt, QLineEdit::Normal, value, &ok);
    if (!ok)
        return std::nullopt;
    return text;
}

QString QtDialogs::BrowseForFolder(const QString &title, const QString &start,
                                   const QStringList &places)
{
    QFileDialog dialog(DialogOwner(), title, start);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly, true);
    if (!places.isEmpty()) {
        // Qt's own dialog: a desktop's native one has no side bar the program can add to.
        dialog.setOption(QFileDialog::DontUseNativeDialog, true);
        QList<QUrl> sidebar = dialog.sidebarUrls();
        for (const QString &place : places)
            if (!sidebar.contains(QUrl::fromLocalFile(place)))
                sidebar << QUrl::fromLocalFile(place);
        dialog.setSidebarUrls(sidebar);
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

int QtDialogs::ShowModal(QDialog &dialog)
{
    return dialog.exec();
}

void QtDialogs::OpenUrl(const QString &url)
{
    QDesktopServices::openUrl(QUrl(url));
}
