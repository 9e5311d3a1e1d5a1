#pragma once

#include "common/edit_flow.h"
#include "common/list_grid.h"
#include "common/list_statement.h"
#include "common/register_form.h"

#include <QString>

#include <functional>
#include <initializer_list>
#include <tuple>
#include <optional>
#include <vector>

namespace dataset {
class Dataset;
}

// An editor of one header row and its lines told as data: a plot with its
// categories and owners, a contract with its plots, a receipt with its
// lines. The header row and every line written while the editor is open
// stay inside one transaction (the header cursor's area): "Запис" commits
// them together, "Отказ" rolls them all back, and the close question asks
// which. EditorScreen builds the screen from it once.
namespace kit {

// A command beside a line list: its button and the step it runs.
struct LineCommand {
    QString name;  // "bitSobstDob"
    QString caption;
    std::function<void()> step;
    // The step needs a line: on an empty list `noLine` is said instead
    // ("Няма данни!" when empty).
    bool needsLine = false;
    QString noLine = {};
    // Asked first: a guard that holds says its message and the step does not run.
    std::vector<EditFlow::Guard> guards = {};
};

// A command in one line.
LineCommand command(const char* name, const char* caption, std::function<void()> step, bool needsLine = false,
                    const QString& noLine = {}, std::vector<EditFlow::Guard> guards = {});

// A panel under a line list that edits the selected line in place. It is
// left only through its one button: the checks in order, then the number
// fields' domains, then `store`, true when the line was stored, and the
// panel closes.
struct LinePanel {
    QString name;  // "panelSobstv"
    std::vector<FieldSpec> fields;
    QString ok;  // the button's name: "bitSobstOK"
    std::vector<Check> checks;
    std::function<bool()> store;
    QString okCaption = QStringLiteral("OK");
};

// One list of the lines: its group, grid, columns and commands.
struct LineList {
    QString group;  // the group's caption: "Собственици"
    QString grid;   // "jvdbgridSobstv"
    dataset::Dataset* rows = nullptr;
    std::vector<ListColumn> columns;
    // The rows' own statement, when the list is a query (read inside the
    // edit's transaction, so that lines written during the edit are listed).
    std::optional<ListStatement> statement = {};
    int visibleRows = 4;
    std::vector<LineCommand> commands;
    std::optional<LinePanel> panel = {};
};

// A part of the header's fields, bound to the header row; in a group box
// when it has a caption.
struct HeaderGroup {
    QString name;  // the panel's object name
    QString caption = {};
    std::vector<FieldSpec> fields;
};

struct EditorForm {
    QString kind;  // the screen's object name: "TFImot"
    QString caption;
    // The row edited, in edit while the editor is open. Its area's
    // transaction holds the whole edit.
    dataset::Dataset* header = nullptr;
    std::vector<HeaderGroup> groups;  // the left column, top to bottom
    std::vector<LineList> lines;      // the right column, top to bottom
    QString firstField = {};          // focused when the editor opens
    QString save = QStringLiteral("bitZapis");
    QString cancel = QStringLiteral("bitOtkaz");
    // "Запис" and Yes to the close question refuse while a line's panel is
    // open, with this message.
    QString closePanelFirst = {};
};

// A bound field in one line: its kind, name, label, column and place.
FieldSpec field(FieldSpec::Kind kind, const char* name, const char* label, const char* column, int row = 0,
                int col = 0);
// A drop-down over `list` bound to its key column, with a "..." button
// named `button` beside it where one is given.
FieldSpec lookupField(const char* name, const char* label, int row, dataset::Dataset& list, const char* key,
                      const char* shows, const char* button = "");
// Radio buttons bound to `column`, one per choice.
FieldSpec radioField(const char* name, const char* label, const char* column, int row,
                     std::vector<FieldSpec::Choice> choices);
// Text fields (a date for a column named in `dates`) two to a row, as paper
// documents list them: name, label, column.
std::vector<FieldSpec> pairedFields(std::initializer_list<std::tuple<const char*, const char*, const char*>> fields,
                                    std::initializer_list<const char*> dates = {});

}  // namespace kit
