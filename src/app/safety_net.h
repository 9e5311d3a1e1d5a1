#pragma once

#include <QApplication>
#include <QString>

#include <functional>

class Prompter;

// No exception that escapes a screen's event handler ends the program: the
// event's delivery catches it, writes it with the time and the window to a
// log beside the register, and tells the user in Bulgarian. The screen
// stays open with its edit pending, so nothing typed is lost.
class SafetyNet {
public:
    SafetyNet(Prompter& prompter, QString logFolder) : prompter_(prompter), logFolder_(std::move(logFolder)) {}

    // The log's name, in the log folder.
    static QString logFileName() { return QStringLiteral("ARVENTA.log"); }
    QString logPath() const;

    // Runs one delivery; an exception it throws is caught, logged and said.
    bool deliver(QObject* receiver, const std::function<bool()>& delivery);

private:
    void caught(QObject* receiver, const QString& detail);

    Prompter& prompter_;
    QString logFolder_;
    bool saying_ = false;
};

// The program's application: every event goes through its safety net once
// one is given.
class ArventaApplication : public QApplication {
public:
    ArventaApplication(int& argc, char** argv) : QApplication(argc, argv) {}
    void setSafetyNet(SafetyNet* net) { net_ = net; }
    bool notify(QObject* receiver, QEvent* event) override;

private:
    SafetyNet* net_ = nullptr;
};
