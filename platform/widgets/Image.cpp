#include "platform/widgets/Image.h"

#include <QMouseEvent>
#include <QPainter>

TImage::TImage(QWidget *parent) : QWidget(parent) {}

void TImage::setPicture(const QImage &image)
{
    picture = image;
    if (AutoSize)
        resize(sizeHint());
    update();
}

QSize TImage::sizeHint() const
{
    return picture.isNull() ? QSize(0, 0) : picture.deviceIndependentSize().toSize();
}

void TImage::paintEvent(QPaintEvent *)
{
    if (picture.isNull())
        return;
    QPainter painter(this);
    // On a screen whose pixel ratio is not the picture's, the picture keeps its size in layout
    // pixels and is filtered smoothly instead of having its pixels repeated or dropped.
    if (picture.devicePixelRatio() != devicePixelRatioF())
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(0, 0, picture);
}

void TImage::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (OnDblClick)
        OnDblClick();
    event->accept();
}

void TImage::mousePressEvent(QMouseEvent *event)
{
    if (OnMouseDown)
        OnMouseDown(event->button(), event->globalPosition().toPoint());
    event->accept();
}

void TImage::mouseMoveEvent(QMouseEvent *event)
{
    if (OnMouseMove)
        OnMouseMove(event->buttons(), event->globalPosition().toPoint());
    event->accept();
}

void TImage::mouseReleaseEvent(QMouseEvent *event)
{
    if (OnMouseUp)
        OnMouseUp(event->button(), event->globalPosition().toPoint());
    event->accept();
}
