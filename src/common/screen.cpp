#include "common/screen.h"

#include <QCloseEvent>

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
