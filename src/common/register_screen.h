#pragma once

#include "common/list_screen.h"
#include "common/register_form.h"
#include "dataset/dataset.h"
#include "dataset/transaction_area.h"

#include <QHash>

#include <memory>

class QBoxLayout;
class QGroupBox;
class QLineEdit;
class RegisterPanel;

// A register screen built once from its description: the list with its
// filter, search and sorting, the command buttons, the edit panel with its
// bound controls in their visual tab order, the edit flow with its checks,
// guards and close question, the leave checks, and the keys every screen
// answers alike (Enter filters, searches or presses the focused button; Esc
// is "Отказ" in an open panel and closes a browsing screen).
//
// A screen class derives from it only for what the description cannot say,
// through the hooks below.
class RegisterScreen : public ListScreen {
    Q_OBJECT
public:
    RegisterScreen(Prompter& prompter, kit::RegisterForm form, QWidget* parent = nullptr);
    ~RegisterScreen() override;

    const kit::RegisterForm& form() const { return form_; }
    // Null for a single-row screen.
    ListGrid* list() const { return list_; }
    // The further lists, in the order of the description.
    ListGrid* moreList(size_t i) const { return moreLists_.at(i); }
    // A screen that only reads has none.
    EditFlow& flow() const { return *flow_; }
    // The list's rows: the screen's own query or the shared cursor it shows.
    dataset::Dataset* listRows() const;

    // A control the description made, by its name, of the type asked;
    // a missing one is a programming error (std::logic_error).
    template <typename T>
    T* control(const QString& name) const
    {
        auto* typed = qobject_cast<T*>(controls_.value(name));
        if (!typed)
            missingControl(name);
        return typed;
    }
    // What is wrong with the description against the database as it is
    // read: a panel column missing from the cursor, a list column, key or
    // search field missing from the list's statement, two widgets of one
    // name. Empty when all is well; a test runs it over every screen.
    QStringList descriptionFaults() const;
    // What the panel's controls hold now, for the checks.
    kit::PanelValues values() const;
    // Reads the list for the first time (a single-row screen starts editing
    // its row), once the screen is wired.
    void start();

protected:
    // The row (or column) of command buttons, for a screen's buttons of its own.
    QBoxLayout* commandRow() const { return commandRow_; }
    // Runs when the focus leaves `control` for another control of the
    // screen, after the described leave checks passed (also before a save
    // when the control still has the focus).
    virtual void controlLeft(QWidget* control) { Q_UNUSED(control); }
    // Runs when the focus enters `control` from another control of the screen.
    virtual void controlEntered(QWidget* control) { Q_UNUSED(control); }
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool closeCheck() override;

private:
    void buildList();
    ListGrid* makeList(const kit::ListSpec& spec);
    dataset::Database& database() const;
    QWidget* buildSums(const kit::ListSpec& spec, ListGrid& list, QWidget* parent);
    QWidget* buildMoreList(const kit::ListSpec& spec);
    QWidget* buildPanel();
    QWidget* buildBrowsePart(QTableView* view);
    QGroupBox* buildFilterGroup(QWidget* parent);
    QGroupBox* buildSearchGroup(QWidget* parent);
    void arrange(QWidget* browse, QWidget* panel, const std::vector<QWidget*>& more);
    // The file row and the progress bar, when the description has them (file_choice.cpp).
    QWidget* buildFileChoice();
    QWidget* buildProgress();
    void chooseFile();
    void declareFlow();
    QPushButton* commandButton(const QString& name, const QString& caption, QWidget* parent);
    void focusMoved(QWidget* old, QWidget* now);
    bool leaveChecksPass(QWidget* old, bool onSave);
    // The panel's number fields hold nothing their domains refuse; else says so.
    bool numbersPass();
    bool leaveCheckPasses(const kit::LeaveCheck& c, bool onSave);
    bool guardHolds(const kit::Guard& g);
    [[noreturn]] void missingControl(const QString& name) const;

    kit::RegisterForm form_;
    QHash<QString, QWidget*> controls_;
    RegisterPanel* panel_ = nullptr;
    // The areas go after the queries that read through them.
    std::vector<std::unique_ptr<dataset::TransactionArea>> ownAreas_;
    std::vector<std::unique_ptr<dataset::Dataset>> queries_;
    std::unique_ptr<dataset::TransactionArea> guardArea_;
    ListGrid* list_ = nullptr;
    std::vector<ListGrid*> moreLists_;
    EditFlow* flow_ = nullptr;
    QBoxLayout* commandRow_ = nullptr;
    QWidget* browse_ = nullptr;
    QWidget* listPart_ = nullptr;  // the group around the grid, or the grid
    bool closingNow_ = false;      // the close check runs
    bool checking_ = false;        // a leave check is showing its message or returning the focus
    bool sized_ = false;
};
