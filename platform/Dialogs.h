#pragma once
// Every modal box, the input box, the folder browser, modal forms and the shell's "open"
// go through this one interface, so tests can install a scripted one that records and answers.
#include <QString>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QDialog;
class QWidget;

// Button sets and answers with the meaning of the system's message boxes.
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
    // window when null). A box closed without a button answers Cancel (No for Yes/No).
    virtual MsgResult MessageBox(const QString &text, const QString &caption, MsgButtons buttons,
                                 MsgIcon icon, QWidget *owner = nullptr) = 0;
    // A plain notice: one OK button, the application title as caption.
    void ShowMessage(const QString &text)
    {
        MessageBox(text, ApplicationTitle(), MsgButtons::Ok, MsgIcon::None);
    }
    // The toolkit's standard error display for an error that reached the event guard.
    virtual void ShowError(const QString &text) = 0;
    // One-line text input; nullopt when cancelled.
    virtual std::optional<QString> InputQuery(const QString &caption, const QString &prompt,
                                              const QString &value) = 0;
    // Folder browser; empty when cancelled.
    virtual QString BrowseForFolder(const QString &title, const QString &start) = 0;
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
    QString BrowseForFolder(const QString &title, const QString &start) override;
    int ShowModal(QDialog &dialog) override;
    void OpenUrl(const QString &url) override;
};

// Records every box and answers from scripts; unscripted boxes get the first button,
// input boxes and modal forms are cancelled.
class ScriptedDialogs : public IDialogs
{
public:
    enum class Kind { Message, Error, Input, Folder, Modal };
    struct Box {
        Kind kind;
        QString text;
        QString caption;
        MsgButtons buttons = MsgButtons::Ok;
        MsgIcon icon = MsgIcon::None;
        QWidget *owner = nullptr; // the window the box belongs to
    };

    MsgResult MessageBox(const QString &text, const QString &caption, MsgButtons buttons,
                         MsgIcon icon, QWidget *owner = nullptr) override;
    void ShowError(const QString &text) override;
    std::optional<QString> InputQuery(const QString &caption, const QString &prompt,
                                      const QString &value) override;
    QString BrowseForFolder(const QString &title, const QString &start) override;
    int ShowModal(QDialog &dialog) override;
    void OpenUrl(const QString &url) override;

    // Texts of the recorded message and error boxes, in order.
    std::vector<QString> texts() const;

    std::vector<Box> boxes;
    std::vector<QString> urls;
    std::deque<MsgResult> answers;
    // Called with each message box before it is answered; may return an answer.
    std::function<std::optional<MsgResult>(const Box &)> onMessage;
    std::deque<std::optional<QString>> inputs;
    std::deque<QString> folders;
    // Each modal form is handed to the next script, which fills it and returns the result.
    std::deque<std::function<int(QDialog &)>> modals;
};

// Installs a ScriptedDialogs for the life of the guard (tests).
class ScriptedDialogsGuard
{
public:
    ScriptedDialogsGuard();
    ~ScriptedDialogsGuard();
    ScriptedDialogs *operator->() { return dialogs; }
    ScriptedDialogs &operator*() { return *dialogs; }

private:
    ScriptedDialogs *dialogs;
    std::unique_ptr<IDialogs> previous;
};
