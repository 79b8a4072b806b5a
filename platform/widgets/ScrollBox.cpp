#include "platform/widgets/ScrollBox.h"

#include <QMouseEvent>

TScrollBox::TScrollBox(QWidget *parent) : QScrollArea(parent)
{
    setWidgetResizable(false);
    setFrameShape(QFrame::NoFrame);
}

void TScrollBox::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (OnDblClick)
        OnDblClick();
    event->accept();
}
