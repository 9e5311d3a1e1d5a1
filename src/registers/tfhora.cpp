#include "registers/tfhora.h"

#include "common/failure.h"
#include "common/prompter.h"
#include "common/sort_switch.h"
#include "dm/tdm.h"
#include "fb/error.h"
#include "registers/hora_rules.h"

#include <QCheckBox>
#include <QComboBox>
#include <QBoxLayout>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QScopeGuard>

#include <utility>

// The owners joined from HORA with the country last: the engine then walks
// the owners along their index in the list's order and hands the first rows
// at once, instead of sorting every owner first.
const ListStatement& TFHora::queryHora()
{
    static const ListStatement kQueryHora{
        .base = {QStringLiteral(
            "select hora.id_hora, hora.egn, hora.ime, hora.adres, hora.tel, hora.bank, hora.iban, hora.bic, "
            "hora.predst, nas_mqsto.naim_nm, obshtina.naim_obsht, oblast.naim_obl, hora.chfl, country.country_name "
            "from hora inner join oblast on hora.id_obl = oblast.id_obl "
            "inner join nas_mqsto on hora.ekatte = nas_mqsto.ekatte "
            "inner join obshtina on hora.id_obsht = obshtina.id_obsht "
            "left outer join country on country.kod_country = hora.kod_country")},
        .defaultOrder = {QStringLiteral(" order by "), QStringLiteral(" hora.egn, hora.ime ")}};
    return kQueryHora;
}

namespace {

using kit::FieldSpec;

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

std::vector<FieldSpec> horaFields(TDM& dm)
{
    const auto text = [](const char* name, const char* label, const char* column, int row, int col) {
        return FieldSpec{.name = QLatin1String(name),
                         .label = QString::fromUtf8(label),
                         .column = QLatin1String(column),
                         .row = row,
                         .col = col};
    };
    const auto place = [](const char* name, const char* label, const char* column, dataset::Dataset& list,
                          const char* key, const char* shows, int col) {
        return FieldSpec{.name = QLatin1String(name),
                         .label = QString::fromUtf8(label),
                         .column = QLatin1String(column),
                         .kind = FieldSpec::Kind::Lookup,
                         .row = 2,
                         .col = col,
                         .list = &list,
                         .listKey = QLatin1String(key),
                         .listShows = QLatin1String(shows)};
    };
    return {
        {.name = QStringLiteral("chbCHFL"),
         .label = QStringLiteral("Чуждестранно лице"),
         .kind = FieldSpec::Kind::Check},
        // The country is not the row's: it only selects a country in TCountry.
        {.name = QStringLiteral("jvdblcCountry"),
         .label = QStringLiteral("Държава:"),
         .kind = FieldSpec::Kind::Lookup,
         .row = 0,
         .col = 2,
         .list = &dm.TCountry,
         .listKey = QStringLiteral("KOD_COUNTRY"),
         .listShows = QStringLiteral("COUNTRY_NAME")},
        // The identifier takes fewer characters than its column holds.
        {.name = QStringLiteral("dbedEGN"),
         .label = QStringLiteral("ЕГН/ЕИН:"),
         .column = QStringLiteral("EGN"),
         .kind = FieldSpec::Kind::Digits,
         .row = 1,
         .col = 0,
         .length = 13},
        text("dbedIme", "Име/Наименование:", "IME", 1, 2),
        place("jvdblcOblast", "Област:", "ID_OBL", dm.TOblast, "ID_OBL", "NAIM_OBL", 0),
        place("jvdblcObshtina", "Община:", "ID_OBSHT", dm.TObshtina, "ID_OBSHT", "NAIM_OBSHT", 2),
        place("jvdblcGrad", "Гр./с.:", "EKATTE", dm.TNasmqsto, "EKATTE", "NAIM_NM", 4),
        text("dbedAdres", "Адрес:", "ADRES", 3, 0),
        text("dbedTel", "Телефон:", "TEL", 3, 2),
        text("dbedPredst", "Представляван/-а от:", "PREDST", 3, 4),
        text("dbedBank", "Банка:", "BANK", 4, 0),
        text("dbedIBAN", "IBAN:", "IBAN", 4, 2),
        text("dbedBIC", "BIC:", "BIC", 4, 4),
    };
}

kit::RegisterForm horaForm(TDM& dm, SortSwitch& direction)
{
    const QString hasRent = QStringLiteral("Този собственик има изплатена рента!");
    return {
        .kind = QStringLiteral("TFHora"),
        .caption = QStringLiteral("Собственици"),
        .list = {.grid = QStringLiteral("jvdbgridHora"),
                 .group = QStringLiteral("Собственици"),
                 .query = QStringLiteral("QueryHora"),
                 // A read transaction of the list's own: it is committed at
                 // every read again without closing THora under other
                 // screens, and its cursor stays open for the rows the grid
                 // reads on as it scrolls.
                 .areaName = QStringLiteral("IBTQueryHora"),
                 .areaOptions = fb::TransactionOptions::readCommitted(true),
                 .statement = TFHora::queryHora(),
                 .readOnDemand = true,
                 .columns = horaColumns(),
                 .key = QStringLiteral("ID_HORA"),
                 .filters = {{QStringLiteral("edFilterIme"),
                              QStringLiteral("Име/Наименование:"),
                              {QStringLiteral("(upper(hora.ime) containing(")}}},
                 // The search box takes only as many digits as a personal number has.
                 .searchBox = QStringLiteral("edSearchEGN"),
                 .searchLabel = QStringLiteral("Въведете ЕГН/ЕИН:"),
                 .searchField = QStringLiteral("EGN"),
                 .searchLength = 10,
                 .sort = SortForm::lastLineWithTieBreak(QStringLiteral(" hora.egn, hora.ime ")),
                 .direction = &direction,
                 .marker = true,
                 .sortOnDoubleClick = true,
                 .doubleClickCorrects = true,
                 .visibleRows = 16},
        .commands = {.add = QStringLiteral("bitHoraDob"),
                     .correct = QStringLiteral("bitHoraKor"),
                     .remove = QStringLiteral("bitHoraDel")},
        .cursor = &dm.THora,
        .panel = QStringLiteral("panelHora"),
        .fields = horaFields(dm),
        .firstField = QStringLiteral("dbedEGN"),
        .checks = hora::saveChecks(),
        .closingChecks = hora::closingChecks(),
        .guards = {kit::Guard::inTable(QStringLiteral("SOBSTV"), QStringLiteral("ID_HORA"),
                                       QStringLiteral("Този собственик има имоти!")),
                   kit::Guard::inTable(QStringLiteral("OIR"), QStringLiteral("ID_HORA"), hasRent),
                   kit::Guard::inTable(QStringLiteral("ONR"), QStringLiteral("ID_HORA"), hasRent)},
    };
}

}  // namespace

TFHora::TFHora(TDM& dm, Prompter& prompter, SortSwitch& direction, QWidget* parent)
    : RegisterScreen(prompter, horaForm(dm, direction), parent),
      dm_(dm),
      chbCHFL(control<QCheckBox>(QStringLiteral("chbCHFL"))),
      jvdblcCountry(control<QComboBox>(QStringLiteral("jvdblcCountry"))),
      dbedEGN(control<QLineEdit>(QStringLiteral("dbedEGN"))),
      jvdblcOblast(control<QComboBox>(QStringLiteral("jvdblcOblast"))),
      jvdblcObshtina(control<QComboBox>(QStringLiteral("jvdblcObshtina"))),
      jvdblcGrad(control<QComboBox>(QStringLiteral("jvdblcGrad")))
{
    addPickButtons();
    flow().beforePost = [this](EditFlow::Saving saving) { beforePost(saving); };
    connect(&flow(), &EditFlow::panelOpened, this, &TFHora::fillPanel);
    // No to the close question of a picker also drops the row its opener keeps pending.
    connect(&flow(), &EditFlow::cancelled, this, [this] {
        if (askingToClose_ && client_)
            client_->pendingRowCancelled(pick_);
    });
    connect(&dm_.THora, &dataset::Dataset::fieldChanged, this, &TFHora::placeChanged);
    connect(chbCHFL, &QCheckBox::clicked, this, &TFHora::selectCountry);
    start();
}

// The four pick buttons share one place; a picker shows one of them.
void TFHora::addPickButtons()
{
    for (OwnerPick pick :
         {OwnerPick::AddShare, OwnerPick::ChangeShareOwner, OwnerPick::AddHistory, OwnerPick::ChangePerson}) {
        QPushButton* b = button(pickButtonName(pick), QStringLiteral("Избери"));
        b->hide();
        connect(b, &QPushButton::clicked, this, &TFHora::pickSelected);
        commandRow()->insertWidget(commandRow()->count() - 1, b);
        pickButtons_[size_t(pick)] = b;
    }
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
        failure::show(prompter(), QStringLiteral("Адресът не може да бъде показан."), e);
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
        failure::show(prompter(), QStringLiteral("Държавите не могат да бъдат прочетени."), e);
    }
}

bool TFHora::editingRow() const
{
    return flow().isEditing() && dm_.THora.isEditing();
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

// Leaving the identifier warns and may switch owners; leaving a blank
// province blanks the place.
void TFHora::controlLeft(QWidget* control)
{
    if (!editingRow())
        return;
    if (control == dbedEGN)
        identifierLeft();
    else if (control == jvdblcOblast && jvdblcOblast->currentIndex() < 0) {
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
    if (const auto warning = hora::identifierWarning(chbCHFL->isChecked(), identifier))
        prompter().message(*warning);
    try {
        if (dm_.TEGNHora.locate(QStringLiteral("EGN"), identifier)) {
            const fb::Value owner = dm_.TEGNHora["ID_HORA"].value();
            // His own identifier: nothing typed into the panel is thrown away.
            if (!(owner == dm_.THora["ID_HORA"].value()))
                flow().switchTo(owner);
        }
    } catch (const fb::Error& e) {
        failure::show(prompter(), QStringLiteral("Идентификаторът не може да бъде проверен."), e);
    }
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
        listRows()->locate(QStringLiteral("ID_HORA"), owner);
}

// "Избери": the selected owner goes to the opener, THora on him, and the picker closes.
void TFHora::pickSelected()
{
    if (flow().isEditing())
        return;
    const fb::Value owner = list()->value(QStringLiteral("ID_HORA"));
    if (owner.isNull()) {
        prompter().message(kNoData);  // no owner to hand over
        return;
    }
    try {
        moveOwnersTo(owner);
    } catch (const fb::Error& e) {
        failure::show(prompter(), QStringLiteral("Собственикът не може да бъде избран."), e);
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
    hora.locateFresh(QStringLiteral("ID_HORA"), owner);
}

// ---------------------------------------------------------------- closing

bool TFHora::closeCheck()
{
    askingToClose_ = true;
    const bool closes = RegisterScreen::closeCheck();
    askingToClose_ = false;
    return closes;
}
