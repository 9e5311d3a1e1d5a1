#include "common/screen.h"

#include <QCloseEvent>
#include <QMdiSubWindow>

Screen::Screen(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_DeleteOnClose);
}

void Screen::closeEvent(QCloseEvent* event)
{
    if (!closeCheck()) {
        event->ignore();
        return;
    }
    aboutToClose();
    event->accept();
    emit closed();
}

void Screen::closeWindow()
{
    auto* frame = qobject_cast<QMdiSubWindow*>(parentWidget());
    (frame ? static_cast<QWidget*>(frame) : this)->close();
}
