#pragma once

#include "common/list_screen.h"
#include "dataset/dataset.h"
#include "dataset/transaction_area.h"
#include "report_engine/report_project.h"

#include <functional>
#include <vector>

class QGroupBox;
class RegisterPanel;
class TDM;

// The rent rules by cadastral area ("Рента по Землища"): at most one rule
// ("RENTA ZEML") per cadastral area and contract type, and each rule's
// lines (VIDRENTAKOL), one per rent type with the quantity per decare and
// the unit price; every rent computation reads them. Also the report
// "Справка стоки за рента по землища" (SprZR.rav).
//
// Left, the rules (QueryRZ): added in their panel through the shared cursor
// TRZeml under IBTRZeml for an area where contracts of the chosen type count
// in the farming year, or deleted once they have no lines; never corrected.
// TRZeml is kept on the selected rule. Right, the selected rule's lines
// (TVidRentaKol, the screen's own cursor under IBTVRK, a detail of QueryRZ):
// added, corrected and deleted in their panel, the rule's total RAZMER
// (Σ KOL × EC) written again after each. A rule a receipt line pays rent
// under is frozen: neither it nor its lines change.
//
// While one panel is open both lists wait for it.
class TFRentaZeml : public ListScreen {
    Q_OBJECT
public:
    // `rentTypes` opens the rent types screen beside this one, or brings the
    // open one forward; `outputs` answers where the report goes.
    TFRentaZeml(TDM& dm, Prompter& prompter, reports::OutputChooser& outputs, std::function<void(Screen&)> rentTypes,
                QWidget* parent = nullptr);
    ~TFRentaZeml() override;

    // "Справка стоки за рента по землища": the report on what is stored now.
    void printRentGoods();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void becameActive() override;

private:
    QGroupBox* buildRules();
    QGroupBox* buildLines();
    void declareRules();
    void declareLines();
    void lockWhileEditing(EditFlow& flow);

    // Rules.
    void ruleSelected();
    void readContractTypes();
    void contractTypeChosen();
    bool ruleExists();
    void showNewestRule();
    bool receiptIssued();
    bool refusedForReceipt();
    bool rowFound(const QString& sql, const std::vector<fb::Value>& params);
    void reopenRuleCursors();

    // Lines.
    void addLine();
    void correctLine();
    void removeLine();
    bool lineTypeTaken();
    bool chosenTypeIsMoney() const;
    bool ruleHeldElsewhere();
    void lineStored(const fb::Value& line);
    void writeRuleTotal(const fb::Value& rule);

    TDM& dm_;
    std::function<void(Screen&)> rentTypes_;
    // The areas go after the queries and cursors that read through them.
    dataset::TransactionArea IBTQueryRZ, IBTRZ, IBTIZDRR, IBTransaction1;
    dataset::Dataset QueryRZ, QDT, QZEML, TVidRentaKol, IBQuery1, IBQuery3, IBQuery4;
    reports::ReportProject SprZR;

    ListGrid* rules_ = nullptr;
    ListGrid* lines_ = nullptr;
    RegisterPanel* panelZemlishta = nullptr;
    RegisterPanel* panelVidrenta = nullptr;
    EditFlow* ruleFlow_ = nullptr;
    EditFlow* lineFlow_ = nullptr;
    QGroupBox* grboxZemlishta = nullptr;
    QGroupBox* grboxVidRenta = nullptr;
    fb::Value typeUnderCorrection_;  // the ID_VRK of the line being corrected; nothing while adding
};
