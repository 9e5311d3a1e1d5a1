#include "common/screen.h"

#include <QCloseEvent>
#include <QEventLoop>
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

bool Screen::event(QEvent* event)
{
    if (event->type() == QEvent::Show && !frameWatched_) {
        // Inside the work area the frame is what becomes active.
        if (auto* frame = qobject_cast<QMdiSubWindow*>(parentWidget())) {
            frameWatched_ = true;
            connect(frame, &QMdiSubWindow::windowStateChanged, this,
                    [this](Qt::WindowStates before, Qt::WindowStates now) {
                        if (!(before & Qt::WindowActive) && (now & Qt::WindowActive))
                            becameActive();
                    });
        }
    }
    if (event->type() == QEvent::WindowActivate && isWindow())
        becameActive();
    return QWidget::event(event);
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

void Screen::comeForward()
{
    auto* frame = qobject_cast<QMdiSubWindow*>(parentWidget());
    QWidget* window = frame ? static_cast<QWidget*>(frame) : this;
    if (window->isMinimized())
        window->showNormal();
    if (frame && frame->mdiArea())
        frame->mdiArea()->setActiveSubWindow(frame);
    else
        window->raise();
    window->activateWindow();
}

void runModally(Screen* screen, QWidget* returnTo)
{
    screen->setWindowFlag(Qt::Window);
    screen->setWindowModality(Qt::ApplicationModal);
    QEventLoop loop;
    QObject::connect(screen, &QObject::destroyed, &loop, &QEventLoop::quit);
    screen->show();
    loop.exec();
    returnTo->activateWindow();
    returnTo->setFocus();
}
