#include "registers/tfhora.h"

#include "dm/tdm.h"
#include "dm/tables.h"
#include "common/prompter.h"
#include "common/sort_switch.h"
#include "dataset/binders.h"
#include "fb/error.h"
#include "registers/hora_rules.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QPointer>
#include <QPushButton>
#include <QScopeGuard>
#include <QTableView>
#include <QVBoxLayout>

#include <utility>

namespace {

const QString kHasPlots = QStringLiteral("Този собственик има имоти!");
const QString kHasRent = QStringLiteral("Този собственик има изплатена рента!");
const QString kNoName = QStringLiteral("Няма дани!");

// The identifier takes fewer characters than its column holds, the search
// box only as many as a personal number has.
constexpr int kIdentifierLength = 13;
constexpr int kSearchLength = 10;

const ListStatement kQueryHora{
    .base = {QStringLiteral(
        "select hora.id_hora, hora.egn, hora.ime, hora.adres, hora.tel, hora.bank, hora.iban, hora.bic, "
        "hora.predst, nas_mqsto.naim_nm, obshtina.naim_obsht, oblast.naim_obl, hora.chfl, country.country_name "
        "from country right outer join hora on country.kod_country = hora.kod_country "
        "inner join oblast on hora.id_obl = oblast.id_obl "
        "inner join nas_mqsto on hora.ekatte = nas_mqsto.ekatte "
        "inner join obshtina on hora.id_obsht = obshtina.id_obsht")},
    .defaultOrder = {QStringLiteral(" order by "), QStringLiteral(" hora.egn, hora.ime ")}};

// The grid's columns; a sort by a title orders by the column's source, the
// name column with a tie-break of its own.
std::vector<ListColumn> horaColumns()
{
    const auto column = [](const char* field, const char* title, const char* source) {
        return ListColumn{QLatin1String(field), QString::fromUtf8(title), QLatin1String(source)};
    };
    return {
        column("EGN", "ЕГН/ЕИН", "HORA.EGN"),
        {QStringLiteral("IME"), QStringLiteral("Име/Наименование"), QStringLiteral("hora.ime"),
         QStringLiteral(" hora.egn ")},
        column("COUNTRY_NAME", "Държава", "COUNTRY.COUNTRY_NAME"),
        column("NAIM_OBL", "Област", "OBLAST.NAIM_OBL"),
        column("NAIM_OBSHT", "Община", "OBSHTINA.NAIM_OBSHT"),
        column("NAIM_NM", "Гр./с.", "NAS_MQSTO.NAIM_NM"),
        column("ADRES", "Адрес", "HORA.ADRES"),
        column("TEL", "Телефон", "HORA.TEL"),
        column("PREDST", "Представляван/-а от", "HORA.PREDST"),
        column("BANK", "Банка", "HORA.BANK"),
        column("IBAN", "IBAN", "HORA.IBAN"),
        column("BIC", "BIC", "HORA.BIC"),
        column("CHFL", "Чуждестранно лице", "HORA.CHFL"),
    };
}

bool within(const QWidget* widget, const QWidget* w)
{
    return w && (w == widget || widget->isAncestorOf(w));
}

QLineEdit* lineEdit(const char* name, QWidget* parent)
{
    auto* e = new QLineEdit(parent);
    e->setObjectName(QLatin1String(name));
    return e;
}

QComboBox* comboBox(const char* name, QWidget* parent)
{
    auto* c = new QComboBox(parent);
    c->setObjectName(QLatin1String(name));
    c->setMinimumContentsLength(20);
    return c;
}

}  // namespace

TFHora::TFHora(TDM& dm, Prompter& prompter, SortSwitch& direction, QWidget* parent)
    : ListScreen(prompter, parent),
      dm_(dm),
      QueryHora(dm.IBTHora, QStringLiteral("QueryHora")),
      IBTQuery2(dm.IBDatabase1, QStringLiteral("IBTQuery2")),
      IBQuery2(IBTQuery2, QStringLiteral("IBQuery2")),
      IBQueryOIR(IBTQuery2, QStringLiteral("IBQueryOIR")),
      IBQueryONR(IBTQuery2, QStringLiteral("IBQueryONR"))
{
    setObjectName(QStringLiteral("TFHora"));
    setWindowTitle(QStringLiteral("Собственици"));
    for (auto [rows, table] : {std::pair{&IBQuery2, "SOBSTV"}, {&IBQueryOIR, "OIR"}, {&IBQueryONR, "ONR"}}) {
        dm::useTable(*rows, QLatin1String(table));
        rows->setSecondCursor(true);
    }
    buildControls();
    bindPanel();

    list_->setStatement(kQueryHora);
    list_->setCommitOnReread(false);  // a commit of IBTHora would close THora under other screens
    list_->addFilterBox(edFilterIme, {QStringLiteral("(upper(hora.ime) containing(")});
    list_->connectFilter(findChild<QPushButton*>(QStringLiteral("butFilterShow")),
                         findChild<QPushButton*>(QStringLiteral("butFilterClear")));
    list_->setSort(SortForm::a(QStringLiteral(" hora.egn, hora.ime ")), direction, true, true);
    list_->setSearch(edSearchEGN, findChild<QPushButton*>(QStringLiteral("butSearch")), QStringLiteral("EGN"));
    edSearchEGN->setMaxLength(kSearchLength);
    declareFlow();
    connect(qApp, &QApplication::focusChanged, this, &TFHora::focusMoved);
    list_->reread();
}

// The controls go after this destructor, and the focus moves as they go.
TFHora::~TFHora()
{
    disconnect(qApp, nullptr, this, nullptr);
}

// ---------------------------------------------------------------- controls

// The group "Собственици" with the grid on top; below it the command and
// pick buttons, the filter and search groups and "Изход", which the edit
// panel covers while it is open.
void TFHora::buildControls()
{
    auto* group = new QGroupBox(QStringLiteral("Собственици"), this);
    QTableView* view = grid(QStringLiteral("jvdbgridHora"), group);
    view->setMinimumSize(760, 260);
    list_ = &addList(view, QueryHora, horaColumns());
    (new QVBoxLayout(group))->addWidget(view);

    QWidget* browse = buildBrowsePart();
    panelHora = buildPanel();
    panelHora->setAutoFillBackground(true);
    auto* lower = new QGridLayout;
    lower->addWidget(browse, 0, 0, Qt::AlignTop);
    lower->addWidget(panelHora, 0, 0);  // over the browsing controls

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group, 1);
    layout->addLayout(lower);
}

QWidget* TFHora::buildBrowsePart()
{
    auto* browse = new QWidget(this);
    browse->setObjectName(QStringLiteral("browsePart"));
    bitHoraDob = button(QStringLiteral("bitHoraDob"), QStringLiteral("Добавяне"), browse);
    bitHoraKor = button(QStringLiteral("bitHoraKor"), QStringLiteral("Корекция"), browse);
    bitHoraDel = button(QStringLiteral("bitHoraDel"), QStringLiteral("Изтриване"), browse);
    auto* commands = new QHBoxLayout;
    commands->addWidget(bitHoraDob);
    commands->addWidget(bitHoraKor);
    commands->addWidget(bitHoraDel);
    // The four pick buttons share one place; a picker shows one of them.
    for (OwnerPick pick :
         {OwnerPick::AddShare, OwnerPick::ChangeShareOwner, OwnerPick::AddHistory, OwnerPick::ChangePerson}) {
        QPushButton* b = button(pickButtonName(pick), QStringLiteral("Избери"), browse);
        b->hide();
        connect(b, &QPushButton::clicked, this, &TFHora::pickSelected);
        commands->addWidget(b);
        pickButtons_[size_t(pick)] = b;
    }
    commands->addStretch();

    auto* filter = new QGroupBox(QStringLiteral("Филтриране"), browse);
    edFilterIme = lineEdit("edFilterIme", filter);
    auto* filterLayout = new QHBoxLayout(filter);
    filterLayout->addWidget(new QLabel(QStringLiteral("Име/Наименование:"), filter));
    filterLayout->addWidget(edFilterIme, 1);
    filterLayout->addWidget(button(QStringLiteral("butFilterShow"), QStringLiteral("Филтрирай"), filter));
    filterLayout->addWidget(button(QStringLiteral("butFilterClear"), QStringLiteral("Изчисти"), filter));

    auto* search = new QGroupBox(QStringLiteral("Търсене"), browse);
    edSearchEGN = lineEdit("edSearchEGN", search);
    auto* searchLayout = new QHBoxLayout(search);
    searchLayout->addWidget(new QLabel(QStringLiteral("Въведете ЕГН/ЕИН:"), search));
    searchLayout->addWidget(edSearchEGN);
    searchLayout->addWidget(button(QStringLiteral("butSearch"), QStringLiteral("Търси"), search));

    QPushButton* exit = button(QStringLiteral("bitExit"), QStringLiteral("Изход"), browse);
    connect(exit, &QPushButton::clicked, this, &TFHora::closeWindow);

    auto* groups = new QHBoxLayout;
    groups->addWidget(filter, 1);
    groups->addWidget(search);
    groups->addWidget(exit, 0, Qt::AlignBottom);
    auto* layout = new QVBoxLayout(browse);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(commands);
    layout->addLayout(groups);
    return browse;
}

QWidget* TFHora::buildPanel()
{
    auto* panel = new QWidget(this);
    panel->setObjectName(QStringLiteral("panelHora"));
    chbCHFL = new QCheckBox(QStringLiteral("Чуждестранно лице"), panel);
    chbCHFL->setObjectName(QStringLiteral("chbCHFL"));
    jvdblcCountry = comboBox("jvdblcCountry", panel);
    dbedEGN = lineEdit("dbedEGN", panel);
    dbedIme = lineEdit("dbedIme", panel);
    jvdblcOblast = comboBox("jvdblcOblast", panel);
    jvdblcObshtina = comboBox("jvdblcObshtina", panel);
    jvdblcGrad = comboBox("jvdblcGrad", panel);
    bitZapis = button(QStringLiteral("bitZapis"), QStringLiteral("Запис"), panel);
    bitOtkaz = button(QStringLiteral("bitOtkaz"), QStringLiteral("Отказ"), panel);
    // "Запис" takes the focus, so leaving the identifier runs its check (and
    // the switch to an owner who has it) before a save; a cancel throws the
    // row away, so it leaves the focus where it is and checks nothing.
    bitOtkaz->setFocusPolicy(Qt::TabFocus);

    struct Cell {
        const char* label;
        QWidget* widget;
        int row, column;
    };
    const Cell cells[] = {
        {"Държава:", jvdblcCountry, 0, 2},
        {"ЕГН/ЕИН:", dbedEGN, 1, 0},
        {"Име/Наименование:", dbedIme, 1, 2},
        {"Област:", jvdblcOblast, 2, 0},
        {"Община:", jvdblcObshtina, 2, 2},
        {"Гр./с.:", jvdblcGrad, 2, 4},
        {"Адрес:", lineEdit("dbedAdres", panel), 3, 0},
        {"Телефон:", lineEdit("dbedTel", panel), 3, 2},
        {"Представляван/-а от:", lineEdit("dbedPredst", panel), 3, 4},
        {"Банка:", lineEdit("dbedBank", panel), 4, 0},
        {"IBAN:", lineEdit("dbedIBAN", panel), 4, 2},
        {"BIC:", lineEdit("dbedBIC", panel), 4, 4},
    };
    auto* grid = new QGridLayout(panel);
    grid->addWidget(chbCHFL, 0, 0, 1, 2);
    for (const Cell& c : cells) {
        auto* label = new QLabel(QString::fromUtf8(c.label), panel);
        label->setBuddy(c.widget);
        grid->addWidget(label, c.row, c.column);
        grid->addWidget(c.widget, c.row, c.column + 1);
    }
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(bitZapis);
    buttons->addWidget(bitOtkaz);
    grid->addLayout(buttons, 5, 0, 1, 6);
    return panel;
}

void TFHora::bindPanel()
{
    dataset::Dataset& hora = dm_.THora;
    new dataset::LineEditBinder(dbedEGN, hora, QStringLiteral("EGN"), true);
    dbedEGN->setMaxLength(kIdentifierLength);
    const std::pair<const char*, const char*> edits[] = {
        {"dbedIme", "IME"},   {"dbedAdres", "ADRES"}, {"dbedTel", "TEL"}, {"dbedPredst", "PREDST"},
        {"dbedBank", "BANK"}, {"dbedIBAN", "IBAN"},   {"dbedBIC", "BIC"},
    };
    for (const auto& [name, column] : edits)
        new dataset::LineEditBinder(findChild<QLineEdit*>(QLatin1String(name)), hora, QLatin1String(column));

    new dataset::LookupComboBinder(jvdblcOblast, dm_.TOblast, QStringLiteral("ID_OBL"), QStringLiteral("NAIM_OBL"),
                                   &hora, QStringLiteral("ID_OBL"));
    new dataset::LookupComboBinder(jvdblcObshtina, dm_.TObshtina, QStringLiteral("ID_OBSHT"),
                                   QStringLiteral("NAIM_OBSHT"), &hora, QStringLiteral("ID_OBSHT"));
    new dataset::LookupComboBinder(jvdblcGrad, dm_.TNasmqsto, QStringLiteral("EKATTE"), QStringLiteral("NAIM_NM"),
                                   &hora, QStringLiteral("EKATTE"));
    // The country is not the row's: it only selects a country in TCountry.
    new dataset::LookupComboBinder(jvdblcCountry, dm_.TCountry, QStringLiteral("KOD_COUNTRY"),
                                   QStringLiteral("COUNTRY_NAME"));

    connect(&hora, &dataset::Dataset::fieldChanged, this, &TFHora::placeChanged);
    connect(chbCHFL, &QCheckBox::clicked, this, &TFHora::selectCountry);
}

// ---------------------------------------------------------------- the edit flow

void TFHora::declareFlow()
{
    flow_ = &addFlow(dm_.THora, panelHora);
    flow_->setList(*list_, QStringLiteral("ID_HORA"));
    flow_->setFirstField(dbedEGN);
    for (QWidget* w : {static_cast<QWidget*>(list_->view()), findChild<QWidget*>(QStringLiteral("browsePart"))})
        flow_->lockWhileEditing(w);
    flow_->setClosing(EditFlow::Closing::AskBeforeClosing);
    for (const hora::Check& c : hora::saveChecks())
        flow_->checks.push_back({[this, passes = c.passes] { return passes(entries()); }, c.message});
    // Yes to the close question needs only an identifier and a name.
    flow_->closingChecks = {{[this] { return !dbedEGN->text().isEmpty() && !dbedIme->text().isEmpty(); }, kNoName}};
    flow_->guards = {{[this] { return ownerHasRowsIn(IBQuery2); }, kHasPlots},
                     {[this] { return ownerHasRowsIn(IBQueryOIR); }, kHasRent},
                     {[this] { return ownerHasRowsIn(IBQueryONR); }, kHasRent}};
    flow_->beforePost = [this](EditFlow::Saving saving) { beforePost(saving); };
    flow_->connectButtons(bitHoraDob, bitHoraKor, bitHoraDel, bitZapis, bitOtkaz);
    connect(list_, &ListGrid::rowDoubleClicked, flow_, &EditFlow::correct);
    connect(flow_, &EditFlow::panelOpened, this, &TFHora::fillPanel);
    // No to the close question of a picker also drops the row its opener keeps pending.
    connect(flow_, &EditFlow::cancelled, this, [this] {
        if (askingToClose_ && client_)
            client_->pendingRowCancelled(pick_);
    });
}

hora::Entries TFHora::entries() const
{
    hora::Entries e;
    e.municipalityChosen = jvdblcObshtina->currentIndex() >= 0;
    e.settlementChosen = jvdblcGrad->currentIndex() >= 0;
    e.name = dbedIme->text();
    e.foreign = chbCHFL->isChecked();
    e.countryChosen = jvdblcCountry->currentIndex() >= 0;
    e.identifier = dbedEGN->text();
    return e;
}

// The settlement, municipality and province are the rows the geography
// cursors are on; "Запис" also stores the foreign-person flag and the
// country, which Yes to the close question leaves as they were.
void TFHora::beforePost(EditFlow::Saving saving)
{
    dataset::Dataset& hora = dm_.THora;
    cascadeSwitch_ = true;  // the three are written together
    const auto cascadeAgain = qScopeGuard([this] { cascadeSwitch_ = false; });
    hora["EKATTE"].setValue(dm_.TNasmqsto["EKATTE"].value());
    hora["ID_OBSHT"].setValue(dm_.TObshtina["ID_OBSHT"].value());
    hora["ID_OBL"].setValue(dm_.TOblast["ID_OBL"].value());
    if (saving != EditFlow::Saving::Button)
        return;
    const hora::Country country = hora::storedCountry(chbCHFL->isChecked(), dm_.TCountry["KOD_COUNTRY"].asString());
    hora["CHFL"].setValue(country.chfl);
    hora["KOD_COUNTRY"].setValue(country.kodCountry);
}

bool TFHora::ownerHasRowsIn(dataset::Dataset& rows)
{
    const bool found = rows.locate(QStringLiteral("ID_HORA"), flow_->selectedKey());
    IBTQuery2.commit();
    return found;
}

// ---------------------------------------------------------------- the panel

// A new owner starts with no place and as no foreign person; an existing
// one shows his own place, flag and country.
void TFHora::fillPanel(bool adding)
{
    if (adding) {
        for (QComboBox* c : {jvdblcOblast, jvdblcObshtina, jvdblcGrad})
            c->setCurrentIndex(-1);
        chbCHFL->setChecked(false);
    } else {
        cascadeSwitch_ = true;
        placeGeography();
        showForeignFlag();
        cascadeSwitch_ = false;
    }
    province_ = dm_.THora["ID_OBL"].value();
    municipality_ = dm_.THora["ID_OBSHT"].value();
    selectCountry();
}

// Moves the geography cursors to the owner's province, municipality and
// settlement, so that their drop-downs show them and a save that changes
// none of them stores them again.
void TFHora::placeGeography()
{
    const dataset::Dataset& hora = dm_.THora;
    try {
        const bool province = dm_.TOblast.locate(QStringLiteral("ID_OBL"), hora["ID_OBL"].value());
        const bool municipality =
            province && dm_.TObshtina.locate(QStringLiteral("ID_OBSHT"), hora["ID_OBSHT"].value());
        if (municipality)
            dm_.TNasmqsto.locate(QStringLiteral("EKATTE"), hora["EKATTE"].value());
    } catch (const fb::Error& e) {
        prompter().message(e.message());
    }
}

// Any value of CHFL other than "да" and "не" leaves the box as it was.
void TFHora::showForeignFlag()
{
    const QString chfl = dm_.THora["CHFL"].asString();
    if (chfl == hora::kForeign)
        chbCHFL->setChecked(true);
    else if (chfl == hora::kNotForeign)
        chbCHFL->setChecked(false);
}

void TFHora::selectCountry()
{
    const auto code = hora::countryToSelect(chbCHFL->isChecked(), dm_.THora["KOD_COUNTRY"].asString());
    if (!code)
        return;
    try {
        dm_.TCountry.open();
        if (dm_.TCountry.locate(QStringLiteral("KOD_COUNTRY"), *code))
            jvdblcCountry->setCurrentIndex(dm_.TCountry.currentRow());
    } catch (const fb::Error& e) {
        prompter().message(e.message());
    }
}

bool TFHora::editingRow() const
{
    return flow_ && flow_->isEditing() && dm_.THora.isEditing();
}

// Another province empties the municipality and the settlement, another
// municipality the settlement; not while an owner's own place is shown.
// A choice that changes nothing empties nothing.
void TFHora::placeChanged(int field)
{
    if (cascadeSwitch_ || !editingRow())
        return;
    dataset::Dataset& hora = dm_.THora;
    const auto changed = [&](const char* name, fb::Value& shown) {
        const dataset::Field& f = hora[QLatin1String(name)];
        if (f.index() != field || f.value() == shown)
            return false;
        shown = f.value();
        return true;
    };
    if (changed("ID_OBL", province_)) {
        hora["ID_OBSHT"].clear();
        hora["EKATTE"].clear();
    } else if (changed("ID_OBSHT", municipality_)) {
        hora["EKATTE"].clear();
    }
}

// Leave steps run when the focus moves from one control of the screen to
// another; a message box taking the focus is no such move.
void TFHora::focusMoved(QWidget* old, QWidget* now)
{
    if (!editingRow() || !within(this, old) || !within(this, now))
        return;
    if (old == dbedEGN && !leavingIdentifier_)
        identifierLeft();
    else if (old == jvdblcOblast && jvdblcOblast->currentIndex() < 0) {
        dm_.THora["ID_OBL"].clear();
        dm_.THora["EKATTE"].clear();
    }
}

// A warning for an identifier of the wrong form; then, if another owner
// already has it, the panel switches to him and what was typed is dropped.
void TFHora::identifierLeft()
{
    const QString identifier = dbedEGN->text();
    if (identifier.isEmpty())
        return;
    leavingIdentifier_ = true;
    if (const auto warning = hora::identifierWarning(chbCHFL->isChecked(), identifier))
        prompter().message(*warning);
    try {
        if (dm_.TEGNHora.locate(QStringLiteral("EGN"), identifier)) {
            const fb::Value owner = dm_.TEGNHora["ID_HORA"].value();
            // His own identifier: nothing typed into the panel is thrown away.
            if (!(owner == dm_.THora["ID_HORA"].value()))
                flow_->switchTo(owner);
        }
    } catch (const fb::Error& e) {
        prompter().message(e.message());
    }
    leavingIdentifier_ = false;
}

// ---------------------------------------------------------------- picker

void TFHora::pickFor(OwnerPickerClient& client, OwnerPick pick, const fb::Value& owner)
{
    client_ = &client;
    pick_ = pick;
    if (auto* object = dynamic_cast<QObject*>(&client))
        connect(object, &QObject::destroyed, this, [this] { client_ = nullptr; });
    pickButtons_[size_t(pick)]->show();
    if (!owner.isNull())
        QueryHora.locate(QStringLiteral("ID_HORA"), owner);
}

// "Избери": the selected owner goes to the opener, THora on him, and the picker closes.
void TFHora::pickSelected()
{
    if (flow_->isEditing())
        return;
    const fb::Value owner = list_->value(QStringLiteral("ID_HORA"));
    if (owner.isNull()) {
        prompter().message(kNoData);  // no owner to hand over
        return;
    }
    try {
        moveOwnersTo(owner);
    } catch (const fb::Error& e) {
        prompter().message(e.message());
        return;
    }
    pickButtons_[size_t(pick_)]->hide();
    QPointer<TFHora> self = this;
    if (OwnerPickerClient* client = std::exchange(client_, nullptr))  // once only
        client->ownerPicked(pick_, owner.toInt());
    if (self)
        closeWindow();
}

// THora goes to the owner, unless another owners register has a row open
// in it: a move would post that half-typed row.
void TFHora::moveOwnersTo(const fb::Value& owner)
{
    dataset::Dataset& hora = dm_.THora;
    if (hora.isEditing())
        return;
    hora.open();
    if (!hora.locate(QStringLiteral("ID_HORA"), owner)) {
        hora.refresh();
        hora.locate(QStringLiteral("ID_HORA"), owner);
    }
}

// ---------------------------------------------------------------- closing

bool TFHora::closeCheck()
{
    askingToClose_ = true;
    const bool closes = ListScreen::closeCheck();
    askingToClose_ = false;
    return closes;
}

void TFHora::closeWindow()
{
    auto* frame = qobject_cast<QMdiSubWindow*>(parentWidget());
    (frame ? static_cast<QWidget*>(frame) : this)->close();
}
