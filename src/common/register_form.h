#pragma once

#include "common/edit_flow.h"
#include "common/list_grid.h"
#include "common/list_statement.h"
#include "dataset/domain.h"
#include "fb/transaction.h"
#include "fb/value.h"

#include <QDate>
#include <QHash>
#include <QSize>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>
#include <vector>

class SortSwitch;

namespace dataset {
class Database;
class Dataset;
class TransactionArea;
}  // namespace dataset

// A register screen told as data: its caption, its list (grid, statement,
// columns, filter boxes, search box, sorting), the cursor the panel edits,
// the panel's fields, the save checks, the in-use guards and how it closes.
// RegisterScreen builds the whole screen from it once; a screen class adds
// only what cannot be told here.
namespace kit {

// What the panel's controls hold when a check runs, by the control's name.
class PanelValues {
public:
    struct Entry {
        QString text = {};     // an edit's text, a drop-down's shown item, a date as typed
        bool chosen = false;   // a drop-down with an item chosen
        bool checked = false;  // a check box
        bool enabled = true;
        QDate date = {};  // a date field's date (invalid when blank or impossible)
    };
    void set(const QString& control, Entry entry) { entries_.insert(control, std::move(entry)); }
    const Entry& operator[](const QString& control) const;

    QString text(const QString& control) const { return (*this)[control].text; }
    // Blanks alone are no name: a required text of blanks counts as empty.
    bool filled(const QString& control) const { return !text(control).trimmed().isEmpty(); }
    bool chosen(const QString& control) const { return (*this)[control].chosen; }
    bool checked(const QString& control) const { return (*this)[control].checked; }
    bool enabled(const QString& control) const { return (*this)[control].enabled; }
    QDate date(const QString& control) const { return (*this)[control].date; }

private:
    QHash<QString, Entry> entries_;
};

// One check of the panel: when `passes` says no, `message` is shown, after
// the focus went back to the `focus` control where one is named.
struct Check {
    std::function<bool(const PanelValues&)> passes;
    QString message;
    QString focus = {};

    // The control holds some text ("Няма данни!" for an empty identifier…).
    static Check filled(const QString& control, const QString& message);
    // The drop-down has an item chosen.
    static Check chosen(const QString& control, const QString& message);
    // The control's text, when there is any, reads as a number (with a
    // comma or a full stop), as a bound control stores it.
    static Check number(const QString& control, const QString& message);
};

// The first check that fails, in order; nothing when all pass.
const Check* firstFailing(const std::vector<Check>& checks, const PanelValues& values);

// A check run when the focus leaves a control of the panel, and again by
// "Запис" and by Yes to the close question before anything is stored. A
// refusing one sends the focus back to the control and stops the save; a
// warning lets the focus move on and the save go.
struct LeaveCheck {
    QString control;
    Check check;
    bool refuses = true;
};

// A still-in-use guard of "Изтриване": when the selected key is found in
// `column` of `table` (a keyed query under a read transaction of the
// screen's own) or in `field` of a second cursor the data module keeps,
// `message` is shown and nothing is deleted.
struct Guard {
    QString table;
    QString column;
    dataset::Dataset* cursor = nullptr;
    QString message;

    static Guard inTable(const QString& table, const QString& column, const QString& message)
    {
        return {table, column, nullptr, message};
    }
    static Guard inCursor(dataset::Dataset& cursor, const QString& field, const QString& message)
    {
        return {{}, field, &cursor, message};
    }
};

// One control of the panel.
struct FieldSpec {
    enum class Kind {
        Text,    // a line edit over a text column (Windows-1251 letters only)
        Digits,  // a line edit taking digits only
        Masked,  // a line edit with the column's edit mask
        Number,  // a number field of the column's domain (or `domain`)
        Date,    // a date field with its calendar
        Check,   // a check box storing `checked` or `unchecked`
        Lookup,  // a drop-down over `list`, bound to `column` or moving the list
        Shown,   // a label showing `column`, which the panel does not change
        Radio,   // a row of radio buttons, one per choice, storing the chosen one's value
    };
    // Radio: one button, its object name, its text and the value it stores.
    struct Choice {
        QString name;
        QString text;
        fb::Value value;
    };
    QString name;         // the object name: "dbedEGN"
    QString label;        // beside it ("ЕГН/ЕИН:"); a check box carries it as its text
    QString column = {};  // the cursor's column; empty for a control not bound to the row
    Kind kind = Kind::Text;
    int row = 0, col = 0, span = 1;  // place in the panel's grid: label at col, control after it
    int length = 0;                  // most characters typed; 0 for the column's size
    QString pattern = {};            // Text: what may be typed, as a regular expression ("[0-9/]{0,5}")
    // Number: the values taken, when not the bound column's own; the
    // message names the field by its label.
    std::optional<dataset::Domain> domain = {};
    // Lookup: the list, its key and the column it shows.
    dataset::Dataset* list = nullptr;
    QString listKey = {}, listShows = {};
    // Check: the values stored when ticked and not.
    fb::Value checked = {}, unchecked = {};
    std::vector<Choice> choices = {};
    int minimumWidth = 0;    // in characters; 0 for the kit's default (a drop-down's) or none (an edit's)
    QString labelName = {};  // the label's object name, where one is asked for
    // A small button "..." of the screen's own right beside the control
    // (opening the list a drop-down offers); the screen connects it.
    QString button = {};
};

// One filter box of the group "Филтриране".
struct FilterSpec {
    QString name;   // "edFilterIme"
    QString label;  // "Име/Наименование:"
    FilterCondition condition;
    // A date box: the day typed goes into the condition as 'yyyy-mm-dd'
    // (the fragment casts it), and a day that does not exist is refused
    // before anything is read.
    bool date = false;
};

// A button of the screen's own beside a list; the screen connects it.
struct ButtonSpec {
    QString name;
    QString caption;
};

// A sum under a list: `field` added up over the list's rows, each value as
// shown (three decimals), in the label `name` after the text `label`, with
// `suffix`. With `onceFor`, only the first row of each value of `onceFor`
// adds (a plot listed once per contract line counts once, in any order).
// Worked out again whenever the list's rows are read. Money sums show two
// decimals (`decimals` 2, `suffix` " лв").
struct SumSpec {
    QString name;   // "labSumPlosht"
    QString label;  // "Общо площ:"
    QString field;
    QString onceFor = {};
    QString suffix = QStringLiteral(" дка");
    int decimals = 3;
    // The number of rows (of values of `onceFor`) instead of a sum of `field`.
    bool count = false;
};

// A money sum under a list: two decimals and " лв".
inline SumSpec moneySum(const char* name, const char* label, const char* field)
{
    return SumSpec{.name = QLatin1String(name),
                   .label = QString::fromUtf8(label),
                   .field = QLatin1String(field),
                   .suffix = QStringLiteral(" лв"),
                   .decimals = 2};
}

// A list of a register screen.
struct ListSpec {
    QString grid;        // "jvdbgridHora"
    QString group = {};  // the caption of the group around it; empty for none
    QString groupName = {};
    // The screen's own list query, read through `area` (a read transaction of
    // the screen's own, `areaName` or "IBT" + the query's name, when null),
    // or a shared cursor shown as it is.
    QString query = {};
    dataset::TransactionArea* area = nullptr;
    QString areaName = {};
    fb::TransactionOptions areaOptions = {};  // the isolation of the screen's own read transaction
    dataset::Dataset* cursor = nullptr;
    ListStatement statement = {};
    // The query reads only the rows the grid shows and the rest as it
    // scrolls on (a long list mostly looked at); its sums then come from
    // the statement's own `sums` select.
    bool readOnDemand = false;
    bool commitOnReread = true;
    // Runs before every read of the list (figures kept in a table brought up
    // to date first); a database error it throws is shown as a read's is.
    std::function<void()> beforeRead = {};
    std::vector<ListColumn> columns;
    QString key;  // the list's key field ("ID_HORA")
    // The first list's go into the command row, a further list's in a column beside it.
    std::vector<ButtonSpec> buttons = {};
    std::vector<FilterSpec> filters = {};
    // The search box ("Въведете ЕГН/ЕИН:"), digits only, over `searchField`.
    QString searchBox = {}, searchLabel = {}, searchField = {};
    int searchLength = 0;
    // Where "Търси" starts: below the selected row, or at the top (the first
    // match in the list's order).
    ListGrid::SearchFrom searchFrom = ListGrid::SearchFrom::NextRow;
    // Whether Backspace deletes in the search box (Delete always does).
    bool searchTakesBackspace = true;
    // Sorting by a column title with the screen kind's run-long switch.
    SortForm sort = {};
    SortSwitch* direction = nullptr;
    bool marker = false;
    bool sortOnDoubleClick = false;
    bool doubleClickCorrects = false;
    int visibleRows = 12;  // the grid opens tall enough for these
    std::vector<SumSpec> sums = {};
    // A further list whose query takes the parameter `masterParam` from the
    // field `masterField` of the first list's current row, read again as
    // that row changes (an owner's plots under the owners).
    QString masterParam = {}, masterField = {};
};

// The command buttons' names; an empty name leaves the button out.
struct Commands {
    QString add = QStringLiteral("bitDob");
    QString correct = QStringLiteral("bitKor");
    QString remove = QStringLiteral("bitDel");
    QString exit = QStringLiteral("bitExit");
    // "Добавяне" and "Корекция" open a dialog or another screen of the
    // screen's own instead of the panel: the kit makes the buttons and
    // leaves them to the screen.
    bool screenAddsAndCorrects = false;
};

// A file the screen works on (a form to fill), chosen in a row above its
// list: `prompt`, the field `edit` and "..." (`button`) beside it. "..."
// opens a file dialog with `filter` starting at the field's text and puts
// the chosen path in the field; the folder that was current before the
// dialog is made current again afterwards.
struct FileChoice {
    QString prompt = {};  // empty: the screen has no file row
    QString edit = QStringLiteral("edFileName");
    QString button = QStringLiteral("btnOpen");
    QString filter = {};
};

struct RegisterForm {
    enum class Layout {
        CommandsBelow,   // commands, filter and search below the list; the panel covers them while open
        CommandsBeside,  // commands beside the list, the panel below it (its place kept)
        SingleRow,       // no list: the panel is the screen, always editing one row
    };
    QString kind;  // the screen's object name: "TFHora"
    QString caption;
    Layout layout = Layout::CommandsBelow;
    bool fixedSize = false;
    bool modal = false;

    ListSpec list = {};
    Commands commands = {};
    // A screen that only reads has no panel and no cursor: its lists read
    // their queries from this database.
    dataset::Database* database = nullptr;
    // Read-only lists of the screen's own queries, each in its group with
    // its buttons beside it, below the panel; read when the screen starts.
    std::vector<ListSpec> moreLists = {};
    FileChoice file = {};
    // A progress bar (0 to 100) at the bottom of the screen, hidden except
    // while the screen shows it during a long step ("ProgressBar1").
    QString progress = {};

    // The panel edits `cursor`; its key is the cursor's own key field.
    dataset::Dataset* cursor = nullptr;
    QString panel = {};  // "panelHora"
    std::vector<FieldSpec> fields = {};
    QString firstField = {};  // focused when the panel opens; the first field when empty
    QString saveButton = QStringLiteral("bitZapis");
    QString cancelButton = QStringLiteral("bitOtkaz");

    std::vector<Check> checks = {};         // "Запис", in order
    std::vector<Check> closingChecks = {};  // Yes to the close question; the "Запис" ones when empty
    std::vector<LeaveCheck> leaveChecks = {};
    std::vector<Guard> guards = {};  // "Изтриване", in order
    EditFlow::Closing closing = EditFlow::Closing::AskBeforeClosing;
    QString refusal = {};  // the message of a screen that refuses to close while editing
};

}  // namespace kit
