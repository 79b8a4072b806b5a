#pragma once
// Message boxes, input boxes, the folder browser and modal forms answered from scripts, and
// every one of them recorded, for tests and benchmarks that drive the real windows.
#include "platform/base/Dialogs.h"

#include <QString>
#include <QStringList>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

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
        QStringList places = {};  // a folder browser's side-bar places
    };

    MsgResult MessageBox(const QString &text, const QString &caption, MsgButtons buttons,
                         MsgIcon icon, QWidget *owner = nullptr) override;
    void ShowError(const QString &text) override;
    std::optional<QString> InputQuery(const QString &caption, const QString &prompt,
                                      const QString &value) override;
    QString BrowseForFolder(const QString &title, const QString &start,
                            const QStringList &places) override;
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
