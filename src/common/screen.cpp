#include "common/screen.h"

#include <QCloseEvent>
#include <QMdiArea>
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

void Screen::openBeside(QWidget* screen)
{
    screen->setAttribute(Qt::WA_DeleteOnClose);
    QMdiArea* area = nullptr;
    for (QWidget* w = parentWidget(); w && !area; w = w->parentWidget())
        area = qobject_cast<QMdiArea*>(w);
    if (area)
        area->addSubWindow(screen)->setAttribute(Qt::WA_DeleteOnClose);
    screen->show();
}
