#pragma once

#include <QWidget>

// The base of every child screen. A screen in the main window's work area
// keeps its frame inside the area, however it grows (a panel opened, a list
// read): the frame is moved back and bounded to the area's room, and content
// that cannot be shown in that room scrolls inside the screen instead.
//
// Closing a screen (by itself or because the
// main window closes) first asks its close check; a screen that refuses stays
// open. A screen that does close says so through closed(), which is how the
// main window's registry empties its reference to it.
class Screen : public QWidget {
    Q_OBJECT
public:
    explicit Screen(QWidget* parent = nullptr);

    // Closes the screen's window (its frame inside the main window).
    void closeWindow();
    // Shows another screen where this one is shown: in a frame of the main
    // window's work area, or as a window of its own. It closes by itself.
    void openBeside(QWidget* screen);
    // Brings the screen's window to the front as the active one, restored
    // when it was minimised.
    void comeForward();
    // For a user whose role may read what the screen shows but not change
    // it: every command that changes the register ("Добавяне", "Корекция",
    // "Изтриване", "Запис", "Изплати рента"…) is hidden and stays so
    // whatever the screen later does with it. The database refuses such a
    // change from him anyway; this spares him the refusal.
    void limitToReading();
    bool readingOnly() const { return readingOnly_; }

signals:
    void closed();

protected:
    // The close check: the unsaved-work question and the like. True lets the
    // screen close.
    virtual bool closeCheck() { return true; }
    // Runs once the screen is sure to close: commit or close what it holds.
    virtual void aboutToClose() {}
    // Runs each time the screen's window becomes the active one: its frame
    // in the main window's work area, or its own window (a screen that shows
    // what other screens change reads it again here).
    virtual void becameActive() {}

    void closeEvent(QCloseEvent* event) override;
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void watchFrame();
    void keepInsideArea();
    QSize scrollInside();

    void hideChangingCommands();

    bool readingOnly_ = false;
    bool frameWatched_ = false;
    bool fitting_ = false;
    bool scrolling_ = false;
};

// Shows a screen as a modal window of its own over its parent's window and
// returns once the screen has closed and freed itself; the focus then goes
// back to `returnTo` (a picker that reads its list again, say).
void runModally(Screen* screen, QWidget* returnTo);
