#pragma once
// Drives the real message boxes (QtDialogs) in tests: installs them for the life of the
// guard and acts on each box as it comes up, the way a user or the window system would.
#include "platform/base/Dialogs.h"

#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <QStringList>
#include <QTimer>
#include <functional>
#include <memory>

class RealBoxes
{
public:
    // act is called with every box once it is shown; it must close it (a button, reject()).
    explicit RealBoxes(std::function<void(QMessageBox &)> act) : act(std::move(act))
    {
        previous = SetDialogs(std::make_unique<QtDialogs>());
        QObject::connect(&poll, &QTimer::timeout, [this] { check(); });
        poll.start(5);
    }
    ~RealBoxes() { SetDialogs(std::move(previous)); }
    RealBoxes(const RealBoxes &) = delete;
    RealBoxes &operator=(const RealBoxes &) = delete;

    QStringList texts; // of every box seen, in order

private:
    void check()
    {
        for (QWidget *w : QApplication::topLevelWidgets()) {
            auto *box = qobject_cast<QMessageBox *>(w);
            if (!box || !box->isVisible() || box == handled)
                continue;
            handled = box;
            texts << box->text();
            act(*box);
            return;
        }
    }

    std::function<void(QMessageBox &)> act;
    std::unique_ptr<IDialogs> previous;
    QTimer poll;
    // The box acted on; a later box may take its address once it is gone.
    QPointer<QMessageBox> handled;
};
