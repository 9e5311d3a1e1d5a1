#pragma once

#include "common/editor_screen.h"
#include "dataset/dataset.h"
#include "registers/owner_picker.h"

class NumberField;
class QLabel;
class SortSwitch;
class TDM;

// The plot editor ("Имот"): one plot in one edit. The plot row is the shared
// plot cursor TZemq, in edit while the editor is open; its categories
// (KATEGORIQ, listed with their coefficients through TKat), its owners'
// shares (TSobstv) and its history persons (TIstoriq) are written as each
// is confirmed, all inside the plot transaction IBTImot, which only "Запис"
// (or Yes to the close question) commits and "Отказ" rolls back with
// everything written during the edit.
//
// The plot's area and equalised area are the sums over its categories; the
// owners' areas are typed and checked against them when the plot is saved.
// Owners and persons are chosen in the owners register opened as a picker.
class TFImot : public EditorScreen, public OwnerPickerClient {
    Q_OBJECT
public:
    // `ownersDirection` is the owners register's run-long sort switch, for
    // its pickers; `areaName` the cadastral area the land browser shows.
    TFImot(TDM& dm, Prompter& prompter, SortSwitch& ownersDirection, const QString& areaName,
           QWidget* parent = nullptr);

    // Shows or hides the lists' "Собственост" (the plot number dialog
    // leaves it hidden; a correction shows it).
    void showShareOwnership(bool shown);

    void ownerPicked(OwnerPick pick, int idHora) override;
    void pendingRowCancelled(OwnerPick pick) override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::vector<kit::HeaderGroup> headerGroups();
    std::vector<kit::LineList> lineLists();
    QWidget* buildTotals();
    std::vector<EditFlow::Check> saveChecks();
    void beforePost();
    void ended();

    void showPlot();
    void consolidationChosen();
    void recomputeAreas();
    void recomputeShareSums();
    double shareSum(dataset::Dataset& rows, const char* field) const;

    void editCategory(bool adding);
    void removeCategory();

    bool shareInContract();
    void openSharePanel();
    bool storeShare();
    void openHistoryPanel();
    bool storeHistory();
    void openPicker(OwnerPick pick, const fb::Value& owner);
    void storeOwner(OwnerPick pick, int idHora);

    TDM& dm_;
    SortSwitch& ownersDirection_;
    // The plot's categories with their coefficients, read inside the plot transaction.
    dataset::Dataset TKat;
    NumberField* edPolPl = nullptr;
    NumberField* edKomasIP = nullptr;
    NumberField* edDka = nullptr;
    NumberField* edPrDka = nullptr;
    NumberField* edIstDka = nullptr;
    QLabel* lblPlosht = nullptr;
    QLabel* lblPrPlosht = nullptr;
    QLabel* lblRed = nullptr;
    QLabel* lblRedDiff = nullptr;
    QLabel* lblPrRed = nullptr;
    QLabel* lblPrRedDiff = nullptr;
};
