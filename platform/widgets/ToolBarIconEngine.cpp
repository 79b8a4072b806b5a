#include "platform/widgets/ToolBarIconEngine.h"

#include <QApplication>
#include <QPainter>
#include <QStyle>
#include <QStyleOption>
#include <QToolBar>

TToolBarIconEngine::TToolBarIconEngine(QToolBar *bar, const QImage &plain, const QImage &doubled)
    : bar(bar), plain(plain), doubled(doubled)
{
}

QPixmap TToolBarIconEngine::pixmap(const QSize &size, QIcon::Mode mode, QIcon::State)
{
    // Qt asks for the slot in device pixels; the slot's layout size tells the screen's ratio.
    const int slot = bar ? bar->iconSize().width() : size.width();
    const qreal ratio = slot > 0 ? qreal(size.width()) / slot : 1;
    QPixmap result;
    if (ratio <= 1 || doubled.isNull()) {
        result = QPixmap::fromImage(plain);
    } else {
        // Centred in a transparent slot of the asked size, so Qt keeps the screen's ratio for
        // it instead of enlarging a smaller picture to the slot.
        const QSize side = (QSizeF(plain.size()) * ratio).toSize();
        QImage picture = doubled;
        picture.setDevicePixelRatio(1);
        if (picture.size() != side)
            picture = picture.scaled(side, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        QImage canvas(size, QImage::Format_ARGB32_Premultiplied);
        canvas.fill(Qt::transparent);
        QPainter painter(&canvas);
        painter.drawImage((size.width() - picture.width()) / 2,
                          (size.height() - picture.height()) / 2, picture);
        painter.end();
        result = QPixmap::fromImage(canvas);
    }
    if (mode != QIcon::Normal) {
        QStyleOption option;
        option.palette = QApplication::palette();
        result = QApplication::style()->generatedIconPixmap(mode, result, &option);
    }
    return result;
}

void TToolBarIconEngine::paint(QPainter *painter, const QRect &rect, QIcon::Mode mode,
                               QIcon::State state)
{
    const qreal ratio = painter->device() ? painter->device()->devicePixelRatioF() : 1;
    QPixmap shown = pixmap((QSizeF(rect.size()) * ratio).toSize(), mode, state);
    shown.setDevicePixelRatio(ratio);
    painter->drawPixmap(rect.topLeft(), shown);
}

QSize TToolBarIconEngine::actualSize(const QSize &size, QIcon::Mode, QIcon::State)
{
    return plain.size().boundedTo(size);
}

QIconEngine *TToolBarIconEngine::clone() const
{
    return new TToolBarIconEngine(bar, plain, doubled);
}
