#pragma once
// A tool bar's icon: its slot is larger than the action list's 16 x 16 pictures, and a plain
// QIcon holding both densities lets Qt enlarge the double-density picture to fill the slot. This
// engine draws the picture of the screen's density at its own layout size, centred in the slot,
// so a scaled screen shows the same layout as an unscaled one, only sharper.
#include <QIconEngine>
#include <QImage>
#include <QPointer>

class QToolBar;

class TToolBarIconEngine : public QIconEngine
{
public:
    // plain: the 16 x 16 picture; doubled: its double-density version, or a null image.
    TToolBarIconEngine(QToolBar *bar, const QImage &plain, const QImage &doubled);

    void paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State state) override;
    QPixmap pixmap(const QSize &size, QIcon::Mode mode, QIcon::State state) override;
    QSize actualSize(const QSize &size, QIcon::Mode mode, QIcon::State state) override;
    QIconEngine *clone() const override;

private:
    QPointer<QToolBar> bar;
    QImage plain;
    QImage doubled;
};
