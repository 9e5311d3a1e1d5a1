#pragma once

#include <QApplication>
#include <QKeyEvent>
#include <QString>
#include <QWidget>

namespace testsupport {

// Types text into a widget as key presses carrying that text, as a user
// would (QTest::keyClicks takes ASCII only, and Cyrillic is what is typed here).
inline void typeText(QWidget* widget, const QString& text)
{
    for (QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QApplication::sendEvent(widget, &press);
    }
}

}  // namespace testsupport
