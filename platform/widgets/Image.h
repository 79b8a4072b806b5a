#pragma once
// A picture control: shows a QImage at its own size in layout pixels (auto-size), with the
// mouse events the views need.
#include <QImage>
#include <QWidget>
#include <functional>

class TImage : public QWidget
{
    Q_OBJECT
public:
    explicit TImage(QWidget *parent = nullptr);

    const QImage &Picture() const { return picture; }
    void setPicture(const QImage &image);
    bool AutoSize = true;

    std::function<void()> OnDblClick;
    std::function<void(Qt::MouseButton button, QPoint globalPos)> OnMouseDown;
    std::function<void(Qt::MouseButtons buttons, QPoint globalPos)> OnMouseMove;
    std::function<void(Qt::MouseButton button, QPoint globalPos)> OnMouseUp;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    QImage picture;
};
