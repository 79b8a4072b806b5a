#include "platform/widgets/StatusBar.h"

#include <QLabel>

TStatusBar::TStatusBar(QWidget *parent) : QStatusBar(parent)
{
    setSizeGripEnabled(true);
}

int TStatusBar::AddPanel(int width)
{
    auto *label = new QLabel(this);
    label->setMinimumWidth(width);
    label->setFrameShape(QFrame::NoFrame);
    addWidget(label);
    panels.push_back(label);
    return static_cast<int>(panels.size()) - 1;
}

QString TStatusBar::PanelText(int index) const
{
    return panels.at(static_cast<size_t>(index))->text();
}

void TStatusBar::setPanelText(int index, const QString &text)
{
    panels.at(static_cast<size_t>(index))->setText(text);
}
