#pragma once
// Every modal box, the input box, the folder browser, modal forms and the shell's "open"
// go through this one interface, so tests can install a scripted one that records and answers
// (tests/support/ScriptedDialogs.h).
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

class QDialog;
class QWidget;

// Button sets, icons and answers of the message boxes.
enum class MsgButtons { Ok, OkCancel, YesNo };
enum class MsgIcon { None, Information, Question, Warning, Error };
enum class MsgResult { Ok, Cancel, Yes, No };

// The application title: caption of every plain notice.
QString ApplicationTitle();

// The window that owns every box whose caller names no other: the main window, which registers
// itself when it is created. A box stands above its owner and is centred on it.
void SetDialogOwner(QWidget *window);
QWidget *DialogOwner();

class IDialogs
{
public:
    virtual ~IDialogs() = default;
    // A system message box with its own caption, buttons and icon, owned by owner (the main
    // window when null). A box closed without a button answers Cancel (No for Yes/No); Yes is
    // the default button of a Yes/No box (Enter answers it).
    virtual MsgResult MessageBox(const QString &text, const QString &caption, MsgButtons buttons,
                                 MsgIcon icon, QWidget *owner = nullptr) = 0;
    // A plain notice: one OK button, the application title as caption.
    void ShowMessage(const QString &text)
    {
        MessageBox(text, ApplicationTitle(), MsgButtons::Ok, MsgIcon::None);
    }
    // The standard error box for an error that reached the event guard.
    virtual void ShowError(const QString &text) = 0;
    // One-line text input; nullopt when cancelled.
    virtual std::optional<QString> InputQuery(const QString &caption, const QString &prompt,
                                              const QString &value) = 0;
    // Folder browser starting at start; places are offered in its side bar beside the usual
    // ones. Empty when cancelled.
    virtual QString BrowseForFolder(const QString &title, const QString &start,
                                    const QStringList &places) = 0;
    // Runs a modal form and returns its result code (QDialog::Accepted / Rejected).
    virtual int ShowModal(QDialog &dialog) = 0;
    // The shell's default "open" action; failures are not reported.
    virtual void OpenUrl(const QString &url) = 0;
};

IDialogs &Dialogs();
// Installs another implementation (tests); returns the one that was installed.
std::unique_ptr<IDialogs> SetDialogs(std::unique_ptr<IDialogs> dialogs);

// The real one, on QMessageBox, QInputDialog, QFileDialog and QDesktopServices.
class QtDialogs : public IDialogs
{
public:
    MsgResult MessageBox(const QString &text, const QString &caption, MsgButtons buttons,
                         MsgIcon icon, QWidget *owner = nullptr) override;
    void ShowError(const QString &text) override;
    std::optional<QString> InputQuery(const QString &caption, const QString &prompt,
                                      const QString &value) override;
    QString BrowseForFolder(const QString &title, const QString &start,
                            const QStringList &places) override;
    int ShowModal(QDialog &dialog) override;
    void OpenUrl(const QString &url) override;
};
