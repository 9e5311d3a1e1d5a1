#include "registers/tfzemq.h"

#include "common/failure.h"
#include "common/prompter.h"
#include "common/sort_switch.h"
#include "common/text_input.h"
#include "dm/tdm.h"
#include "fb/error.h"
#include "registers/tfimot.h"
#include "registers/tfnomerimot.h"
#include "registers/tfzemldob.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace {

const QString kAreaHasLocalities = QStringLiteral("Има местности към това землище!");
const QString kLocalityHasPlots = QStringLiteral("Има въведени имоти към тази местност!");
const QString kPlotInContract = QStringLiteral("За този имот има договор!");
const QString kChooseLocality = QStringLiteral("Моля, изберете местност!");
const QString kLocalities = QStringLiteral("Местности");

// The areas reach municipality and province through their settlement, and
// an area whose settlement, municipality or province is missing is not listed.
const ListStatement kQueryZemlishte{
    .base = {QStringLiteral(
        "select nas_mqsto.naim_nm, zemlishte.id_zeml, obshtina.naim_obsht, nas_mqsto.ekatte, oblast.naim_obl "
        "from oblast inner join obshtina on (oblast.id_obl = obshtina.id_obl) "
        "inner join nas_mqsto on (obshtina.id_obsht = nas_mqsto.id_obsht) "
        "inner join zemlishte on (nas_mqsto.ekatte = zemlishte.ekatte)")},
    .defaultOrder = {QStringLiteral("order by oblast.naim_obl, obshtina.naim_obsht, nas_mqsto.naim_nm ")}};

const ListStatement kQueryMestnost{
    .base = {QStringLiteral("select ID_MESTN, ID_ZEML, NAIM_MESTN from MESTNOST where (id_zeml =:id_zeml)")},
    .defaultOrder = {QStringLiteral("order by mestnost.naim_mestn")}};

// The prefix filters: a case-insensitive "starts with" on the names.
const FilterCondition kProvinceStarts{QStringLiteral("(upper(oblast.naim_obl) starting with upper(")};
const FilterCondition kMunicipalityStarts{QStringLiteral("(upper(obshtina.naim_obsht) starting with upper(")};

ListColumn area(const char* field)
{
    return {QLatin1String(field), {}};
}

}  // namespace

TFZemq::TFZemq(TDM& dm, Prompter& prompter, SortSwitch& direction, SortSwitch& ownersDirection, QWidget* parent)
    : ListScreen(prompter, parent),
      dm_(dm),
      ownersDirection_(ownersDirection),
      IBTQueryZemlishte(dm.IBDatabase1, QStringLiteral("IBTQueryZemlishte")),
      IBTQueryMestnost(dm.IBDatabase1, QStringLiteral("IBTQueryMestnost")),
      QueryZemlishte(IBTQueryZemlishte, QStringLiteral("QueryZemlishte")),
      QueryMestnost(IBTQueryMestnost, QStringLiteral("QueryMestnost"))
{
    setObjectName(QStringLiteral("TFZemq"));
    setWindowTitle(QStringLiteral("Земя"));

    QGroupBox* areas = buildAreas(direction);
    QGroupBox* localities = buildLocalities(direction);
    QGroupBox* plots = buildPlots();
    QPushButton* exit = button(QStringLiteral("bitExit"), QStringLiteral("Изход"));
    connect(exit, &QPushButton::clicked, this, &TFZemq::closeWindow);

    auto* layout = new QGridLayout(this);
    layout->addWidget(areas, 0, 0, 2, 1);
    layout->addWidget(localities, 0, 1);
    layout->addWidget(plots, 1, 1);
    layout->addWidget(exit, 2, 1, Qt::AlignRight);
    // A fixed border: the window keeps the size its three boxes ask for.
    layout->setSizeConstraint(QLayout::SetFixedSize);

    declareDeletes();
    connect(&QueryZemlishte, &dataset::Dataset::currentChanged, this, &TFZemq::areaSelected);
    connect(&QueryMestnost, &dataset::Dataset::currentChanged, this, &TFZemq::localitySelected);
    areas_->reread();
}

QGroupBox* TFZemq::buildAreas(SortSwitch& direction)
{
    auto* box = new QGroupBox(QStringLiteral("Землища"), this);
    edOblast = new QLineEdit(box);
    edOblast->setObjectName(QStringLiteral("edOblast"));
    edObshtina = new QLineEdit(box);
    edObshtina->setObjectName(QStringLiteral("edObshtina"));
    auto* filter = new QHBoxLayout;
    for (auto [label, edit] : {std::pair{"Област:", edOblast}, std::pair{"Община:", edObshtina}}) {
        acceptWindows1251Only(edit);
        auto* l = new QLabel(QString::fromUtf8(label), box);
        l->setBuddy(edit);
        filter->addWidget(l);
        filter->addWidget(edit, 1);
    }
    QPushButton* show = button(QStringLiteral("butShow"), QStringLiteral("Филтрирай"), box);
    QPushButton* clear = button(QStringLiteral("butClear"), QStringLiteral("Изчисти"), box);
    filter->addWidget(show);
    filter->addWidget(clear);

    QTableView* view = grid(QStringLiteral("jvdbgridZemlishta"), box, 20);
    std::vector<ListColumn> columns{area("EKATTE"), area("NAIM_OBL"), area("NAIM_OBSHT"), area("NAIM_NM")};
    const char* titles[] = {"ЕКАТТЕ", "Област", "Община", "Землище"};
    for (size_t i = 0; i < columns.size(); ++i)
        columns[i].title = QString::fromUtf8(titles[i]);
    areas_ = &addList(view, QueryZemlishte, std::move(columns));
    areas_->setStatement(kQueryZemlishte);
    areas_->addFilterBox(edOblast, kProvinceStarts);
    areas_->addFilterBox(edObshtina, kMunicipalityStarts);
    areas_->connectFilter(show, clear);
    // A sort by a title drops the filter; the marker shows its direction.
    areas_->setSort(SortForm::rebuiltFromBase(), direction, true, true);

    QPushButton* add = button(QStringLiteral("bitZemlDob"), QStringLiteral("Добавяне"), box);
    QPushButton* correct = button(QStringLiteral("bitZemlKor"), QStringLiteral("Корекция"), box);
    connect(add, &QPushButton::clicked, this, &TFZemq::addArea);
    connect(correct, &QPushButton::clicked, this, &TFZemq::correctArea);
    auto* layout = new QVBoxLayout(box);
    layout->addLayout(filter);
    layout->addWidget(view, 1);
    layout->addLayout(
        commandRow({add, correct, button(QStringLiteral("bitZemlDel"), QStringLiteral("Изтриване"), box)}));
    return box;
}

QGroupBox* TFZemq::buildLocalities(SortSwitch& direction)
{
    auto* box = new QGroupBox(kLocalities, this);
    QTableView* view = grid(QStringLiteral("jvdbgridMestnosti"), box, 8);
    localities_ = &addList(view, QueryMestnost, {{QStringLiteral("NAIM_MESTN"), QStringLiteral("Местност")}});
    localities_->setStatement(kQueryMestnost);
    localities_->setSort(SortForm::lastLine(), direction);

    QPushButton* add = button(QStringLiteral("bitMestnostiDob"), QStringLiteral("Добавяне"), box);
    QPushButton* correct = button(QStringLiteral("bitMestnostiKor"), QStringLiteral("Корекция"), box);
    connect(add, &QPushButton::clicked, this, &TFZemq::addLocality);
    connect(correct, &QPushButton::clicked, this, &TFZemq::correctLocality);
    auto* layout = new QVBoxLayout(box);
    layout->addWidget(view, 1);
    layout->addLayout(
        commandRow({add, correct, button(QStringLiteral("bitMestnostiDel"), QStringLiteral("Изтриване"), box)}));
    return box;
}

QGroupBox* TFZemq::buildPlots()
{
    auto* box = new QGroupBox(QStringLiteral("Имоти"), this);
    QTableView* view = grid(QStringLiteral("jvdbgridImoti"), box, 10);
    const Qt::Alignment right = Qt::AlignRight | Qt::AlignVCenter;
    plots_ = &addList(
        view, dm_.TZemq,
        {{QStringLiteral("IMOT_NO"), QStringLiteral("Имот №")},
         {QStringLiteral("NTP"), QStringLiteral("Н-н на трайно ползване")},
         {QStringLiteral("PLOSHT"), QStringLiteral("Площ в дка"), {}, {}, QStringLiteral("#0.000"), right},
         {QStringLiteral("PRPLOSHT"), QStringLiteral("Приравнена площ"), {}, {}, QStringLiteral("#0.000"), right}});

    QPushButton* add = button(QStringLiteral("bitImotiDob"), QStringLiteral("Добавяне"), box);
    QPushButton* correct = button(QStringLiteral("bitImotiKor"), QStringLiteral("Корекция"), box);
    connect(add, &QPushButton::clicked, this, &TFZemq::addPlot);
    connect(correct, &QPushButton::clicked, this, &TFZemq::correctPlot);
    auto* layout = new QVBoxLayout(box);
    layout->addWidget(view, 1);
    layout->addLayout(
        commandRow({add, correct, button(QStringLiteral("bitImotiDel"), QStringLiteral("Изтриване"), box)}));
    return box;
}

// Deleting is alike on the three levels: "Няма данни!" on an empty list,
// the level's guard, the confirmation, the delete committed in the level's
// transaction (rolled back without a word when the database refuses), the
// list read again.
void TFZemq::declareDeletes()
{
    const auto deletes = [this](dataset::Dataset& cursor, ListGrid& list, const char* key, const char* button) {
        EditFlow& flow = addFlow(cursor, nullptr);
        flow.setList(list, QLatin1String(key));
        flow.connectButtons(nullptr, nullptr, findChild<QPushButton*>(QLatin1String(button)), nullptr, nullptr);
        return &flow;
    };
    deletes(dm_.TZemlishte, *areas_, "ID_ZEML", "bitZemlDel")
        ->guards.push_back({[this] { return !dm_.TMestnost.isEmpty(); }, kAreaHasLocalities});
    deletes(dm_.TMestnost, *localities_, "ID_MESTN", "bitMestnostiDel")
        ->guards.push_back({[this] { return !dm_.TZemq.isEmpty(); }, kLocalityHasPlots});
    EditFlow* plots = deletes(dm_.TZemq, *plots_, "ID_ZEMQ", "bitImotiDel");
    // Any contract counts, a terminated one too.
    plots->guards.push_back(
        {[this, plots] { return dm_.TDelImotiDHZ.locate(QStringLiteral("ID_ZEMQ"), plots->selectedKey()); },
         kPlotInContract});
    // The plot's commit closed its details with it.
    connect(plots, &EditFlow::removed, this, [this] { dm_.reopenPlotCursors(); });
}

// ---------------------------------------------------------------- keeping the levels in step

// Moves a shared cursor to the row a list selected (read again when it is
// newer than the cursor's rows); a database error is shown.
bool TFZemq::follow(dataset::Dataset& cursor, const QString& key, const fb::Value& value)
{
    try {
        return cursor.locateFresh(key, value);
    } catch (const fb::Error& e) {
        failure::show(prompter(), QStringLiteral("Данните не могат да бъдат прочетени."), e);
        return false;
    }
}

void TFZemq::areaSelected()
{
    if (!QueryZemlishte.isOpen())
        return;  // a re-read closes the list before it reads it again
    const fb::Value id = areas_->value(QStringLiteral("ID_ZEML"));
    if (id.isNull())
        dm_.TZemlishte.close();
    else
        follow(dm_.TZemlishte, QStringLiteral("ID_ZEML"), id);
    QueryMestnost.setParam(QStringLiteral("id_zeml"), id);
    localities_->reread();
}

void TFZemq::localitySelected()
{
    if (!QueryMestnost.isOpen())
        return;
    const fb::Value id = localities_->value(QStringLiteral("ID_MESTN"));
    if (id.isNull())
        dm_.TMestnost.close();
    else
        follow(dm_.TMestnost, QStringLiteral("ID_MESTN"), id);
}

// ---------------------------------------------------------------- areas

void TFZemq::addArea()
{
    storeArea(true);
}

void TFZemq::correctArea()
{
    storeArea(false);
}

// The dialog edits the row left pending in TZemlishte and commits it; the
// list is read again on the row it stored.
void TFZemq::storeArea(bool adding)
{
    if (!adding && areas_->isEmpty()) {
        prompter().message(kNoData);
        return;
    }
    dataset::Dataset& row = dm_.TZemlishte;
    try {
        dm_.IBTZeml.ensureStarted();
        if (adding) {
            row.open();
            row.append();
        } else {
            if (!follow(row, QStringLiteral("ID_ZEML"), areas_->value(QStringLiteral("ID_ZEML"))))
                return;
            row.edit();
        }
    } catch (const fb::Error& e) {
        failure::show(prompter(), QStringLiteral("Землището не е записано."), e);
        return;
    }
    TFZemldob dialog(dm_, prompter(), adding ? TFZemldob::Mode::Add : TFZemldob::Mode::Edit, this);
    dialog.exec();
    areas_->reread(QStringLiteral("ID_ZEML"), dialog.result());
}

// ---------------------------------------------------------------- localities

void TFZemq::addLocality()
{
    // A locality belongs to the area the list shows selected.
    if (areas_->isEmpty()) {
        prompter().message(kNoData);
        return;
    }
    storeLocality(QStringLiteral("Добавете нова местност"), true);
}

void TFZemq::correctLocality()
{
    if (localities_->isEmpty()) {
        prompter().message(kNoData);
        return;
    }
    storeLocality(QStringLiteral("Коригирайте с местност"), false);
}

// The name is asked afresh (the current one is not offered); Cancel or an
// answer of blanks stores nothing. A name longer than the column is cut to it.
void TFZemq::storeLocality(const QString& prompt, bool adding)
{
    const QString name = keepWindows1251(prompter().input(kLocalities, prompt, {}).value_or(QString())).trimmed();
    dataset::Dataset& row = dm_.TMestnost;
    if (!name.isEmpty()) {
        try {
            dm_.IBTMestn.ensureStarted();
            row.open();
            adding ? row.append() : row.edit();
            row.field(QStringLiteral("NAIM_MESTN")).setValue(name);
            row.post();
            dm_.IBTMestn.commit();
        } catch (const fb::Error& e) {
            failure::show(prompter(), QStringLiteral("Местността не е записана."), e);
            try {
                row.cancel();
                dm_.IBTMestn.rollback();
            } catch (const fb::Error&) {
            }
        }
    }
    try {
        row.open();  // the commit closed it
    } catch (const fb::Error& e) {
        failure::show(prompter(), QStringLiteral("Местностите не могат да бъдат прочетени отново."), e);
    }
    localities_->reread();
}

// ---------------------------------------------------------------- plots

// A new plot gets its number in the plot number dialog, which leaves it in
// edit for the editor.
void TFZemq::addPlot()
{
    if (dm_.TMestnost.isEmpty()) {
        prompter().message(kChooseLocality);
        return;
    }
    if (editorOpen())
        return;
    try {
        dm_.IBTImot.ensureStarted();
    } catch (const fb::Error& e) {
        failure::show(prompter(), QStringLiteral("Имотът не може да бъде добавен."), e);
        return;
    }
    TFNomerImot dialog(dm_, prompter(), this);
    if (dialog.exec() == QDialog::Accepted)
        openEditor(false);
}

void TFZemq::correctPlot()
{
    if (dm_.TZemq.isEmpty()) {
        prompter().message(kNoData);
        return;
    }
    if (editorOpen())
        return;
    try {
        freshPlotTransaction();
        dm_.TZemq.edit();
    } catch (const fb::Error& e) {
        failure::show(prompter(), QStringLiteral("Имотът не може да бъде отворен."), e);
        return;
    }
    openEditor(true);
}

// The plot transaction may have been reading since long before: with no
// editor open it holds nothing unsaved, so it starts again, and the editor
// sees the category coefficients and lookup values committed meanwhile.
void TFZemq::freshPlotTransaction()
{
    if (dm_.IBTImot.isActive()) {
        const fb::Value plot = dm_.TZemq.field(QStringLiteral("ID_ZEMQ")).value();
        dm_.IBTImot.commit();
        dm_.reopenPlotCursors();
        dm_.TZemq.locate(QStringLiteral("ID_ZEMQ"), plot);
    }
    dm_.IBTImot.ensureStarted();
}

// One plot is edited at a time: the open editor comes forward instead.
bool TFZemq::editorOpen()
{
    if (!editor_)
        return false;
    editor_->comeForward();
    return true;
}

void TFZemq::openEditor(bool correcting)
{
    editor_ = new TFImot(dm_, prompter(), ownersDirection_, areas_->value(QStringLiteral("NAIM_NM")).toString());
    editor_->showShareOwnership(correcting);
    openBeside(editor_);
}
