#pragma once

#include "dataset/dataset.h"
#include "fb/value.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QWidget>

#include <functional>
#include <optional>
#include <vector>

class QAbstractButton;
class ListGrid;
class Prompter;

namespace dataset {
class TransactionArea;
}

// The texts every list screen shows alike.
inline const QString kNoData = QStringLiteral("Няма данни!");
inline const QString kConfirmDelete = QStringLiteral("Моля, потвърдете изтриването!");
inline const QString kAskSave = QStringLiteral("Желаете ли да запишете!");
inline const QString kHeldElsewhere = QStringLiteral("Запишете или откажете корекцията в другия прозорец!");

// Add, correct, save, cancel and delete of one row of a shared cursor in an
// edit panel, with the guards, the confirmation and the close question, all
// under the cursor's area transaction with the one habit every screen
// follows: start the area if it is not running; insert or edit; post;
// commit; open the cursor again at the row; re-read the list.
//
// While editing, the panel is shown and the locked widgets (the grid) are
// disabled; browsing is the other way round. A database error on posting or
// committing is shown with the client's text, and the panel stays open with
// the transaction running; a failed delete is rolled back without a word.
//
// The screen declares its parts through the public members below and the
// setters, and connects its buttons; the signals tell it when a step is done
// so that it can fill the rest of its panel or select another row.
//
// A flow without a panel serves a list whose rows are added and corrected
// elsewhere (a dialog, an input box, another screen): only its delete is used.
class EditFlow : public QObject {
    Q_OBJECT
public:
    // A check of "Запис": when `passes` says no, `message` is shown and the
    // panel stays; or, for a check that `discards`, the pending row is
    // dropped as by "Отказ" (a row that can never be stored, such as a
    // duplicate the screen refuses for good).
    struct Check {
        std::function<bool()> passes;
        QString message;
        bool discards = false;
    };
    // A still-in-use guard of "Изтриване": when `inUse` says yes, `message` is shown.
    struct Guard {
        std::function<bool()> inUse;
        QString message;
    };
    // What the close question's Yes does when the minimal checks fail:
    // the screen stays open, or it closes all the same without saving.
    // A screen that refuses to close with its panel open shows its own message.
    enum class Closing { AskBeforeClosing, AskWhileClosing, Refuse };
    // Which path stores the row: the "Запис" button or Yes to the close question.
    enum class Saving { Button, Closing };

    EditFlow(Prompter& prompter, dataset::Dataset& cursor, QWidget* panel, QObject* parent = nullptr);

    // --- what the screen declares ---
    // The list the user picks rows from. `listKey` is the list's key field,
    // `cursorKey` the cursor's (the same name when empty). When the list is
    // the cursor itself, its current row is the selected one; otherwise the
    // cursor is moved to the row with the selected key.
    void setList(ListGrid& list, const QString& listKey, const QString& cursorKey = {});
    // The panel's first field, focused when the panel opens.
    void setFirstField(QWidget* field) { firstField_ = field; }
    // Disabled while the panel is open (the grid, the list's own buttons…).
    void lockWhileEditing(QWidget* widget) { locked_ << widget; }
    void setClosing(Closing closing, const QString& refusal = {});
    // Connects the command and panel buttons; any may be null.
    void connectButtons(QAbstractButton* add, QAbstractButton* correct, QAbstractButton* remove, QAbstractButton* save,
                        QAbstractButton* cancel);

    // Run by "Запис", in order.
    std::vector<Check> checks;
    // Run by Yes to the close question: the minimal checks (the "Запис" ones when empty).
    std::vector<Check> closingChecks;
    // Run by "Изтриване", in order, before anything starts.
    std::vector<Guard> guards;
    // Run by "Корекция", in order, once the list is known not to be empty
    // (a row that must never change).
    std::vector<Guard> correctGuards;
    // Copies into the row what the panel's bound controls do not write
    // themselves, after the checks and before the post.
    std::function<void(Saving)> beforePost;

    // --- state ---
    bool isEditing() const { return editing_; }
    dataset::Dataset& cursor() const { return *cursor_; }
    // The key of the row selected in the list (NULL when the list is empty);
    // guards look it up in their second cursors.
    fb::Value selectedKey() const;

    // --- the commands ---
    void add();
    void correct();
    bool save();
    void cancel();
    void remove();
    // Moves the open panel to another stored row, as when a key typed into
    // the panel turns out to be taken: the pending row is dropped (nothing of
    // it was posted), the cursor goes into edit on the row with `key` (the
    // cursor's key), the list selects it, it becomes the row "Отказ" returns
    // to, and panelOpened(false) fills the panel again. False, with the
    // panel closed as by "Отказ", when the row cannot be found.
    bool switchTo(const fb::Value& key);
    // A screen that is always editing its one row (the firm): the row goes
    // into edit, or a new one is started when the table is empty.
    void editSingleRow();
    // The screen's close check: true lets the screen close.
    bool closeCheck();

signals:
    // The panel opened for a new row or for the selected one: fill the rest of it.
    void panelOpened(bool adding);
    // The row was stored and the list re-read on it.
    void saved(const fb::Value& key);
    // The pending row was discarded (by "Отказ" or by No on closing).
    void cancelled();
    // A check that discards refused the row, after cancelled().
    void discardedByCheck();
    // A row was deleted and the list re-read.
    void removed();

private:
    enum class Outcome { Saved, CheckFailed, Discarded, DatabaseError };
    Outcome store(Saving saving);
    void discard(bool rereadList);
    bool listIsCursor() const;
    bool listIsEmpty() const;
    bool saidNoData();
    bool heldElsewhere();
    bool moveCursorToSelected();
    void recoverAfterFailedCommit(const fb::Value& key);
    // What was posted went down with a lost connection.
    struct Parked {
        bool inserting = false;
        fb::Value key;
    };
    void parkAfterLostConnection(const Parked& parked);
    bool putBack();
    void reopenCursor(const fb::Value& key);
    void rereadList(const fb::Value& key);
    void enterEditing(bool adding);
    void leaveEditing();
    dataset::TransactionArea& area() const;
    // What could not be done, with the engine's text below it.
    void showError(const QString& what, const std::exception& e);

    Prompter& prompter_;
    QPointer<dataset::Dataset> cursor_;
    QWidget* panel_;
    QPointer<ListGrid> list_;
    QString listKey_, cursorKey_;
    QWidget* firstField_ = nullptr;
    QList<QPointer<QWidget>> locked_;
    Closing closing_ = Closing::AskBeforeClosing;
    QString refusal_;
    bool editing_ = false;
    fb::Value remembered_;  // the list row selected when the panel opened
    std::optional<Parked> parked_;
};
