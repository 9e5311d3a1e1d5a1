#include "app/safety_net.h"

#include "common/prompter.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QTextStream>
#include <QWidget>

#include <exception>

namespace {

// The window the user was working in: its caption, else its object name.
QString windowOf(QObject* receiver)
{
    auto* widget = qobject_cast<QWidget*>(receiver);
    if (!widget)
        return receiver ? receiver->objectName() : QString();
    QWidget* window = widget->window();
    return window->windowTitle().isEmpty() ? window->objectName() : window->windowTitle();
}

}  // namespace

QString SafetyNet::logPath() const
{
    return QDir(logFolder_).filePath(logFileName());
}

bool SafetyNet::deliver(QObject* receiver, const std::function<bool()>& delivery)
{
    try {
        return delivery();
    } catch (const std::exception& e) {
        caught(receiver, QString::fromUtf8(e.what()));
    } catch (...) {
        caught(receiver, QStringLiteral("(неизвестна грешка)"));
    }
    return false;
}

void SafetyNet::caught(QObject* receiver, const QString& detail)
{
    const QString window = windowOf(receiver);
    QFile log(logPath());
    if (log.open(QIODevice::Append | QIODevice::Text)) {
        QTextStream out(&log);
        out << QDateTime::currentDateTime().toString(Qt::ISODate) << '\t' << window << '\t'
            << QString(detail).replace(QLatin1Char('\n'), QLatin1String(" | ")) << '\n';
    }
    // A message box runs events of its own; a second failure meanwhile is
    // logged, not stacked on the user.
    if (saying_)
        return;
    saying_ = true;
    prompter_.message(QStringLiteral("Неочаквана грешка: действието не е завършено. Екранът „%1“ остава отворен "
                                     "с въведеното в него; проверете данните и опитайте отново.\n\n%2")
                          .arg(window, detail));
    saying_ = false;
}

bool ArventaApplication::notify(QObject* receiver, QEvent* event)
{
    if (!net_)
        return QApplication::notify(receiver, event);
    return net_->deliver(receiver, [&] { return QApplication::notify(receiver, event); });
}
