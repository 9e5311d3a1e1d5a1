#pragma once

#include "common/list_screen.h"
#include "dataset/dataset.h"
#include "dataset/transaction_area.h"

#include <QPointer>

#include <memory>

class QGroupBox;
class QLineEdit;
class SortSwitch;
class TDM;
class TFImot;

// The land browser ("Земя"): the cadastral areas, the localities of the
// selected area and the plots of the selected locality, each level with its
// commands. The area list QueryZemlishte and the locality list
// QueryMestnost are the browser's own queries under read transactions of
// their own; the plots box shows the shared plot cursor TZemq as it is.
//
// The three levels are kept in step with the data module's linked cursors
// TZemlishte -> TMestnost -> TZemq: the selected area moves TZemlishte (and
// the locality list is read for it), the selected locality moves TMestnost,
// and TZemq follows. A level whose list shows no row has its cursor closed,
// so the levels below it show nothing either.
//
// Areas are stored through the area dialog, localities through a one-line
// input, plots through the plot editor; deletes go through the edit flows
// of the three cursors, with their guards.
class TFZemq : public ListScreen {
    Q_OBJECT
public:
    // `direction` is the browser's run-long sort switch, shared by the area
    // and locality grids; `ownersDirection` the owners register's, for the
    // plot editor's owner pickers.
    // Opening reads the area list and with it the levels below.
    TFZemq(TDM& dm, Prompter& prompter, SortSwitch& direction, SortSwitch& ownersDirection, QWidget* parent = nullptr);

private:
    QGroupBox* buildAreas(SortSwitch& direction);
    QGroupBox* buildLocalities(SortSwitch& direction);
    QGroupBox* buildPlots();
    void declareDeletes();

    void areaSelected();
    void localitySelected();
    bool follow(dataset::Dataset& cursor, const QString& key, const fb::Value& value);

    void addArea();
    void correctArea();
    void storeArea(bool adding);
    void addLocality();
    void correctLocality();
    void storeLocality(const QString& prompt, bool adding);
    void addPlot();
    void correctPlot();
    bool editorOpen();
    void openEditor(bool correcting);
    void freshPlotTransaction();

    TDM& dm_;
    SortSwitch& ownersDirection_;
    QPointer<TFImot> editor_;
    dataset::TransactionArea IBTQueryZemlishte, IBTQueryMestnost;
    dataset::Dataset QueryZemlishte, QueryMestnost;
    ListGrid* areas_ = nullptr;
    ListGrid* localities_ = nullptr;
    ListGrid* plots_ = nullptr;
    QLineEdit* edOblast = nullptr;
    QLineEdit* edObshtina = nullptr;
};
