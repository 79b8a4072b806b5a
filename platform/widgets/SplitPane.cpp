#include "platform/widgets/SplitPane.h"

TSplitPane::TSplitPane(QWidget *parent) : QSplitter(Qt::Horizontal, parent)
{
    setHandleWidth(6);
    setChildrenCollapsible(false);
    connect(this, &QSplitter::splitterMoved, this, [this] {
        if (laidOut)
            pending = sizes().value(0, pending);
    });
}

int TSplitPane::LeftWidth() const
{
    return laidOut ? sizes().value(0, pending) : pending;
}

void TSplitPane::setLeftWidth(int width)
{
    pending = std::max(0, width);
    if (laidOut)
        apply();
}

void TSplitPane::apply()
{
    if (count() < 2)
        return;
    // The left pane is as wide as it is told, down to nothing: its own minimum size (about 70
    // pixels for a tree) would otherwise clamp the width read from the settings.
    QWidget *left = widget(0);
    if (left->sizePolicy().horizontalPolicy() != QSizePolicy::Ignored) {
        QSizePolicy policy = left->sizePolicy();
        policy.setHorizontalPolicy(QSizePolicy::Ignored);
        left->setSizePolicy(policy);
        left->setMinimumWidth(0);
    }
    const int total = width() - handleWidth();
    setSizes({pending, std::max(0, total - pending)});
}

void TSplitPane::showEvent(QShowEvent *event)
{
    QSplitter::showEvent(event);
    if (!laidOut) {
        laidOut = true;
        apply();
    }
}

void TSplitPane::resizeEvent(QResizeEvent *event)
{
    QSplitter::resizeEvent(event);
    if (laidOut)
        apply();
}
