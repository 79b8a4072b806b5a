#pragma once
// A command of the action list: caption, category, hint, help keyword, image, check state and
// an execute handler. An action without a handler is shown disabled wherever it appears.
#include <QObject>
#include <QString>
#include <functional>
#include <memory>
#include <vector>

class QAction;
class TImageList;

class TAction : public QObject
{
    Q_OBJECT
public:
    explicit TAction(const QString &name, QObject *parent = nullptr);

    QString Name;
    QString Category;
    QString Hint;
    QString HelpKeyword;
    int ImageIndex = -1;

    QString Caption() const { return caption; }
    void setCaption(const QString &text);
    // The stored Enabled property; what the user sees is isShownEnabled().
    bool Enabled() const { return enabled; }
    void setEnabled(bool on);
    bool Checked() const { return checked; }
    void setChecked(bool on);
    bool Checkable() const { return checkable; }
    void setCheckable(bool on);
    bool HasHandler() const { return static_cast<bool>(OnExecute); }
    bool isShownEnabled() const { return enabled && HasHandler(); }
    void setOnExecute(std::function<void()> handler);

    // Runs the handler when the action is shown enabled; returns whether it ran.
    bool Execute();

signals:
    void changed();

private:
    std::function<void()> OnExecute;
    QString caption;
    bool enabled = true;
    bool checked = false;
    bool checkable = false;
};

// The action list: owns its actions and knows the image list their images come from.
class TActionList : public QObject
{
    Q_OBJECT
public:
    explicit TActionList(QObject *parent = nullptr) : QObject(parent) {}
    TAction *add(const QString &name);
    TAction *find(const QString &name) const;
    const std::vector<TAction *> &actions() const { return list; }
    TImageList *Images = nullptr;

private:
    std::vector<TAction *> list;
};
