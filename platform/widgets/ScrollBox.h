#pragma once
// A scroll box holding one control at its own size; double clicks on the empty area are
// reported, as the preview needs.
#include <QScrollArea>
#include <functional>

class TScrollBox : public QScrollArea
{
    Q_OBJECT
public:
    explicit TScrollBox(QWidget *parent = nullptr);
    std::function<void()> OnDblClick;

protected:
    void mouseDoubleClickEvent(QMouseEvent *event) override;
};
