#pragma once

#include <QMainWindow>

#include <vector>

class QAction;
class QLabel;
class QMdiArea;
class QToolBar;
class Prompter;
class Screen;
class ScreenRegistry;
class TDM;

// The main window: a multi-document frame with the menu and the toolbar.
// Every command opens one screen through the registry (at most one of each
// kind); the three service commands refuse while any screen is open.
class TFMain : public QMainWindow {
    Q_OBJECT
public:
    TFMain(TDM& dm, Prompter& prompter, ScreenRegistry& registry, QWidget* parent = nullptr);
    ~TFMain() override;

    ScreenRegistry& registry() const { return registry_; }
    QMdiArea* mdiArea() const { return mdi_; }
    // Enables the menu items and buttons whose screens the registry can make.
    void updateCommands();

    // Runs a menu command by the menu item's name ("mHora"…), as a click would.
    void runCommand(const QString& itemName);
    // Opens the kind's screen unless one is open (then nothing happens).
    void openScreen(const QString& kind, bool modal = false);
    // Shows the label of an archived farming year: "… 2014/2015" for 2015.
    void showOldPeriod(int archiveYear);

    static QString caption(const QString& firmName, int firmKind, const QString& responsiblePerson);

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
public:
    struct Command;

private:
    static const std::vector<Command>& commands();
    void buildMenu();
    void buildToolBar();
    void run(const Command& c);
    bool allScreensClosed();
    void present(Screen* screen, bool modal);
    void openRentGoodsReport();
    void about();
    void showDatabase();
    // A lost connection is made again by the next step; the user is told how it went.
    void watchConnection();
    // The caption of the firm the data module holds; the product's name alone without one.
    QString firmCaption() const;
    std::vector<Screen*> openScreens() const;

    TDM& dm_;
    Prompter& prompter_;
    ScreenRegistry& registry_;
    QMdiArea* mdi_;
    QToolBar* toolBar_ = nullptr;
    QLabel* labStopGod_ = nullptr;
    QAction* labStopGodAction_ = nullptr;
    QLabel* labDatabase_ = nullptr;
    bool shown_ = false;
};
