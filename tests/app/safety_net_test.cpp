#include "app/safety_net.h"

#include "support/scripted_prompter.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <stdexcept>

namespace {

// A slot that throws, as a screen's would on a fault of the program; the
// click that runs it is delivered through the net as every event is.
TEST(SafetyNet, AnExceptionFromASlotIsLoggedAndSaidAndTheWindowStays)
{
    QTemporaryDir folder;
    testsupport::ScriptedPrompter prompter;
    SafetyNet net(prompter, folder.path());
    QWidget window;
    window.setWindowTitle(QStringLiteral("Имот"));
    auto* button = new QPushButton(QStringLiteral("Добавяне"), &window);
    QObject::connect(button, &QPushButton::clicked,
                     [] { throw std::logic_error("TSobstv: not in insert or edit state"); });
    window.show();

    QMouseEvent press(QEvent::MouseButtonPress, QPointF(2, 2), QPointF(2, 2), button->mapToGlobal(QPointF(2, 2)),
                      Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(2, 2), QPointF(2, 2), button->mapToGlobal(QPointF(2, 2)),
                        Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    EXPECT_TRUE(net.deliver(button, [&] { return QApplication::sendEvent(button, &press); }));
    EXPECT_FALSE(net.deliver(button, [&] { return QApplication::sendEvent(button, &release); }));

    ASSERT_EQ(prompter.shown().size(), 1);
    EXPECT_EQ(prompter.shown().first(),
              QStringLiteral("Неочаквана грешка: действието не е завършено. Екранът „Имот“ остава отворен с "
                             "въведеното в него; проверете данните и опитайте отново.\n\n"
                             "TSobstv: not in insert or edit state"));
    EXPECT_TRUE(window.isVisible());
    QFile log(net.logPath());
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    const QString logged = QString::fromUtf8(log.readAll());
    EXPECT_TRUE(logged.contains(QStringLiteral("\tИмот\tTSobstv: not in insert or edit state\n")))
        << logged.toStdString();

    // Whatever is thrown, the delivery goes on; one failure is said once.
    EXPECT_FALSE(net.deliver(&window, []() -> bool { throw 42; }));
    EXPECT_EQ(prompter.shown().size(), 2);
    EXPECT_TRUE(prompter.shown().last().endsWith(QStringLiteral("(неизвестна грешка)")));
}

}  // namespace
