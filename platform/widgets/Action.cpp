#include "platform/widgets/Action.h"

TAction::TAction(const QString &name, QObject *parent) : QObject(parent), Name(name)
{
    setObjectName(name);
}

void TAction::setCaption(const QString &text)
{
    if (caption == text)
        return;
    caption = text;
    emit changed();
}

void TAction::setEnabled(bool on)
{
    if (enabled == on)
        return;
    enabled = on;
    emit changed();
}

void TAction::setChecked(bool on)
{
    if (checked == on)
        return;
    checked = on;
    emit changed();
}

void TAction::setCheckable(bool on)
{
    checkable = on;
    emit changed();
}

void TAction::setOnExecute(std::function<void()> handler)
{
    OnExecute = std::move(handler);
    emit changed();
}

bool TAction::Execute()
{
    if (!isShownEnabled())
        return false;
    OnExecute();
    return true;
}

TAction *TActionList::add(const QString &name)
{
    auto *action = new TAction(name, this);
    list.push_back(action);
    return action;
}

TAction *TActionList::find(const QString &name) const
{
    for (TAction *action : list)
        if (action->Name == name)
            return action;
    return nullptr;
}
