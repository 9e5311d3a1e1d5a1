#include "common/screen.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCloseEvent>
#include <QEventLoop>
#include <QLayout>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScrollArea>
#include <QStyle>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

namespace {

// The frame at the size it wants, within the work area's room: placed first,
// so that a frame too large for the room starts at its corner.
void placeFrame(QMdiSubWindow* frame, QSize wanted)
{
    const QSize space = frame->parentWidget()->size();
    const QPoint inside(std::clamp(frame->x(), 0, std::max(0, space.width() - wanted.width())),
                        std::clamp(frame->y(), 0, std::max(0, space.height() - wanted.height())));
    if (inside != frame->pos())
        frame->move(inside);
    if (wanted == frame->size() && wanted.width() <= space.width() && wanted.height() <= space.height())
        return;
    // A frame of fixed size stays fixed, at the size there is room for.
    if (frame->minimumSize() == frame->maximumSize())
        frame->setFixedSize(wanted.boundedTo(space));
    else
        frame->resize(wanted.boundedTo(space));
}

}  // namespace

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

namespace {

// The commands that change the register, as every screen captions them.
const QStringList kChangingCommands = {
    QStringLiteral("Добавяне"),
    QStringLiteral("Корекция"),
    QStringLiteral("Изтриване"),
    QStringLiteral("Запис"),
    QStringLiteral("Прекратяване"),
    QStringLiteral("Изплащане на остатъка"),
    QStringLiteral("Връщане"),
    QStringLiteral("Изплати рента"),
    QStringLiteral("Изтриване на плащането"),
    QStringLiteral("Прехвърляне на данните"),
};

// Keeps a command hidden and disabled, whatever its screen later asks of it.
class KeptFromUse : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        auto* command = static_cast<QAbstractButton*>(watched);
        if (event->type() == QEvent::EnabledChange && command->isEnabled())
            command->setEnabled(false);
        else if (event->type() == QEvent::ShowToParent)
            QMetaObject::invokeMethod(command, &QWidget::hide, Qt::QueuedConnection);
        return false;
    }
};

}  // namespace

void Screen::limitToReading()
{
    readingOnly_ = true;
    hideChangingCommands();
}

void Screen::hideChangingCommands()
{
    for (QAbstractButton* command : findChildren<QAbstractButton*>()) {
        if (command->property("keptFromUse").toBool() || !kChangingCommands.contains(command->text()))
            continue;
        command->setProperty("keptFromUse", true);
        command->setEnabled(false);
        command->hide();
        command->installEventFilter(new KeptFromUse(command));
    }
}

bool Screen::event(QEvent* event)
{
    // Panels a screen builds late get their commands kept from use too.
    if (readingOnly_ && (event->type() == QEvent::Show || event->type() == QEvent::LayoutRequest))
        hideChangingCommands();
    if (event->type() == QEvent::Show && !frameWatched_)
        watchFrame();
    if (event->type() == QEvent::WindowActivate && isWindow())
        becameActive();
    const bool handled = QWidget::event(event);
    if (event->type() == QEvent::Show || event->type() == QEvent::LayoutRequest)
        keepInsideArea();
    return handled;
}

void Screen::watchFrame()
{
    auto* frame = qobject_cast<QMdiSubWindow*>(parentWidget());
    if (!frame)
        return;
    frameWatched_ = true;
    // Inside the work area the frame is what becomes active.
    connect(frame, &QMdiSubWindow::windowStateChanged, this, [this](Qt::WindowStates before, Qt::WindowStates now) {
        if (!(before & Qt::WindowActive) && (now & Qt::WindowActive))
            becameActive();
    });
    frame->installEventFilter(this);
}

bool Screen::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == parentWidget() && (event->type() == QEvent::Resize || event->type() == QEvent::Move))
        keepInsideArea();
    return QWidget::eventFilter(watched, event);
}

// The frame lies inside the work area's room: moved back when it stands
// out, bounded when it is larger. What the screen cannot be shown in that
// room scrolls inside it.
void Screen::keepInsideArea()
{
    auto* frame = qobject_cast<QMdiSubWindow*>(parentWidget());
    QWidget* room = frame ? frame->parentWidget() : nullptr;
    if (!room || fitting_ || !frame->isVisible() || frame->isMaximized() || frame->isMinimized())
        return;
    fitting_ = true;
    const QSize space = room->size();
    const QSize decoration = frame->size() - size();
    const QLayout* content = layout();
    const QSize least = !content                                             ? minimumSize()
                        : content->sizeConstraint() == QLayout::SetFixedSize ? content->totalSizeHint()
                                                                             : content->totalMinimumSize();
    const QSize needed = least + decoration;
    if (!scrolling_ && (needed.width() > space.width() || needed.height() > space.height())) {
        const QSize wanted = frame->size().expandedTo(scrollInside() + decoration);
        placeFrame(frame, wanted);
        // The work area places a frame it shows after this: placed once more then.
        QTimer::singleShot(0, this, [this, wanted] {
            auto* placed = qobject_cast<QMdiSubWindow*>(parentWidget());
            if (!placed || fitting_)
                return;
            fitting_ = true;
            placeFrame(placed, wanted);
            fitting_ = false;
        });
    } else {
        placeFrame(frame, frame->size());
    }
    fitting_ = false;
}

// The screen's content moves into a scroll area that fills the screen; a
// content of fixed size keeps it there. The field that takes the focus is
// scrolled into view. Returns the size that shows all of it.
QSize Screen::scrollInside()
{
    QLayout* content = layout();
    if (!content)
        return size();
    scrolling_ = true;
    auto* inner = new QWidget;
    inner->setObjectName(QStringLiteral("scrolledContent"));
    inner->setLayout(content);  // takes the layout and its widgets over from the screen
    auto* scroll = new QScrollArea(this);
    scroll->setObjectName(QStringLiteral("scrollScreen"));
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    scroll->setWidget(inner);
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(scroll);
    scroll->show();  // the screen may be shown already
    connect(qApp, &QApplication::focusChanged, scroll, [scroll](QWidget*, QWidget* now) {
        if (now && scroll->widget()->isAncestorOf(now))
            scroll->ensureWidgetVisible(now);
    });
    setMinimumSize(0, 0);
    setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    const int bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, scroll);
    return inner->sizeHint().expandedTo(inner->minimumSize()) + QSize(bar, bar);
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
