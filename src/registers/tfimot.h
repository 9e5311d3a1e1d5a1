#pragma once

#include "common/list_screen.h"
#include "dataset/dataset.h"
#include "registers/owner_picker.h"

#include <initializer_list>

class QButtonGroup;
class QGroupBox;
class QLabel;
class QLineEdit;
class NumberField;
class QRadioButton;
class QTableView;
class SortSwitch;
class TDM;

// The plot editor ("Имот"): one plot in one edit. The plot row is the shared
// plot cursor TZemq, in edit while the editor is open; its categories
// (KATEGORIQ, listed with their coefficients through TKat), its owners'
// shares (TSobstv) and its history persons (TIstoriq) are written as each
// is confirmed, all inside the plot transaction IBTImot, which only "Запис"
// commits and "Отказ" rolls back with everything written during the edit.
//
// The plot's area and equalised area are the sums over its categories; the
// owners' areas are typed and checked against them when the plot is saved.
// Owners and persons are chosen in the owners register opened as a picker.
class TFImot : public ListScreen, public OwnerPickerClient {
    Q_OBJECT
public:
    // `ownersDirection` is the owners register's run-long sort switch, for
    // its pickers; `areaName` the cadastral area the land browser shows.
    TFImot(TDM& dm, Prompter& prompter, SortSwitch& ownersDirection, const QString& areaName,
           QWidget* parent = nullptr);

    // Shows or hides the share list's "Собственост" (the plot number dialog
    // leaves it hidden; a correction shows it).
    void showShareOwnership(bool shown);

    void ownerPicked(OwnerPick pick, int idHora) override;
    void pendingRowCancelled(OwnerPick pick) override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // A command button beside a list and the step it runs.
    struct Command {
        const char* name;
        const char* caption;
        void (TFImot::*step)();
    };
    // An edit of an owners' panel: its name, its label and where it is kept.
    // An edit of an owners' panel: text, or an area of the column's domain.
    struct PanelEdit {
        const char* name;
        const char* label;
        QLineEdit** edit = nullptr;
        NumberField** area = nullptr;
        const char* table = nullptr;
        const char* column = nullptr;
    };
    void arrangeList(QGroupBox* box, QTableView* view, std::initializer_list<Command> commands, QWidget* panel);
    QWidget* ownersPanel(QGroupBox* box, const char* name, std::initializer_list<PanelEdit> edits, const char* okName,
                         void (TFImot::*ok)());
    QWidget* buildHeader(const QString& areaName);
    QWidget* buildPlotData();
    QGroupBox* buildDocuments();
    QGroupBox* buildConsolidation();
    QGroupBox* buildCategories();
    QGroupBox* buildShares();
    QGroupBox* buildHistory();
    QWidget* buildTotals();
    QLineEdit* boundEdit(const char* name, const char* column, QWidget* parent);
    void declareFlow();
    std::vector<EditFlow::Check> saveChecks();
    void beforePost(EditFlow::Saving saving);
    void ended();

    void showPlot();
    void consolidationChosen();
    void recomputeAreas();
    void recomputeShareSums();
    double shareSum(dataset::Dataset& rows, const char* field) const;

    void addCategory();
    void correctCategory();
    void removeCategory();
    void editCategory(bool adding);

    bool shareInContract();
    void addShare();
    void correctShare();
    void removeShare();
    void openSharePanel();
    void shareAreaLeft();
    void closeSharePanel();
    void addPerson();
    void correctPerson();
    void removePerson();
    void openHistoryPanel();
    void closeHistoryPanel();
    void showOwnersPanel(QWidget* panel, bool shown);
    bool ownersPanelOpen() const;
    // Said when a save or a pick comes while an owners' panel is open.
    static const QString kClosePanel;
    void openPicker(OwnerPick pick, const fb::Value& owner);
    bool removeRow(dataset::Dataset& rows);
    void storeShareOwner(OwnerPick pick, int idHora);

    TDM& dm_;
    SortSwitch& ownersDirection_;
    dataset::Dataset TKat;
    EditFlow* flow_ = nullptr;
    ListGrid* categories_ = nullptr;
    ListGrid* shares_ = nullptr;
    ListGrid* history_ = nullptr;

    NumberField* edPolPl = nullptr;
    NumberField* edKomasIP = nullptr;
    QLineEdit* edKomasIN = nullptr;
    QButtonGroup* obrab_ = nullptr;
    QButtonGroup* consolidation_ = nullptr;
    QWidget* panelSobstv = nullptr;
    NumberField* edDka = nullptr;
    QLineEdit* edChast = nullptr;
    NumberField* edPrDka = nullptr;
    QWidget* panelIstoriq = nullptr;
    NumberField* edIstDka = nullptr;
    QLineEdit* edIstChast = nullptr;
    QLineEdit* edVidSobstv = nullptr;
    QLabel* lblPlosht = nullptr;
    QLabel* lblPrPlosht = nullptr;
    QLabel* lblRed = nullptr;
    QLabel* lblRedDiff = nullptr;
    QLabel* lblPrRed = nullptr;
    QLabel* lblPrRedDiff = nullptr;
};
