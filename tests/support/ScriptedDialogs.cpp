#include "tests/support/ScriptedDialogs.h"

#include <QDialog>

namespace
{
QWidget *ownerOr(QWidget *owner)
{
    return owner ? owner : DialogOwner();
}
} // namespace

MsgResult ScriptedDialogs::MessageBox(const QString &text, const QString &caption,
                                      MsgButtons buttons, MsgIcon icon, QWidget *owner)
{
    boxes.push_back({Kind::Message, text, caption, buttons, icon, ownerOr(owner)});
    if (onMessage) {
        if (auto answer = onMessage(boxes.back()))
            return *answer;
    }
    if (!answers.empty()) {
        MsgResult answer = answers.front();
        answers.pop_front();
        return answer;
    }
    return buttons == MsgButtons::YesNo ? MsgResult::Yes : MsgResult::Ok;
}

void ScriptedDialogs::ShowError(const QString &text)
{
    boxes.push_back(
        {Kind::Error, text, ApplicationTitle(), MsgButtons::Ok, MsgIcon::Error, DialogOwner()});
}

std::optional<QString> ScriptedDialogs::InputQuery(const QString &caption, const QString &prompt,
                                                   const QString &value)
{
    boxes.push_back({Kind::Input, prompt + QLatin1Char('\n') + value, caption});
    if (inputs.empty())
        return std::nullopt;
    const bool cancelled = !inputs.front().has_value();
    QString text = cancelled ? QString() : *inputs.front();
    inputs.pop_front();
    if (cancelled)
        return std::nullopt;
    return text;
}

QString ScriptedDialogs::BrowseForFolder(const QString &title, const QString &start,
                                         const QStringList &places)
{
    Box box{Kind::Folder, start, title};
    box.places = places;
    boxes.push_back(box);
    if (folders.empty())
        return {};
    QString answer = folders.front();
    folders.pop_front();
    return answer;
}

int ScriptedDialogs::ShowModal(QDialog &dialog)
{
    boxes.push_back({Kind::Modal, dialog.objectName(), dialog.windowTitle()});
    if (modals.empty())
        return QDialog::Rejected;
    auto script = std::move(modals.front());
    modals.pop_front();
    return script(dialog);
}

void ScriptedDialogs::OpenUrl(const QString &url)
{
    urls.push_back(url);
}

std::vector<QString> ScriptedDialogs::texts() const
{
    std::vector<QString> out;
    for (const Box &box : boxes)
        if (box.kind == Kind::Message || box.kind == Kind::Error)
            out.push_back(box.text);
    return out;
}

ScriptedDialogsGuard::ScriptedDialogsGuard()
{
    auto scripted = std::make_unique<ScriptedDialogs>();
    dialogs = scripted.get();
    previous = SetDialogs(std::move(scripted));
}

ScriptedDialogsGuard::~ScriptedDialogsGuard()
{
    SetDialogs(std::move(previous));
}
