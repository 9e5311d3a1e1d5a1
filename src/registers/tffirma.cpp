#include "registers/tffirma.h"

#include "common/failure.h"
#include "common/prompter.h"
#include "dm/tdm.h"
#include "fb/error.h"
#include "registers/firma_rules.h"

#include <QComboBox>
#include <QLineEdit>
#include <QScopeGuard>

namespace {

using kit::FieldSpec;

const QString kNaturalPerson = QStringLiteral("Физическо лице");

FieldSpec text(const char* name, const char* label, const char* column, int row, int col, int span = 1)
{
    return {.name = QLatin1String(name),
            .label = QString::fromUtf8(label),
            .column = QLatin1String(column),
            .row = row,
            .col = col,
            .span = span};
}

// Not bound to the row: each moves its shared list.
FieldSpec lookup(const char* name, const char* label, dataset::Dataset& list, const char* key, const char* shows,
                 int row, int col, int span = 1)
{
    return {.name = QLatin1String(name),
            .label = QString::fromUtf8(label),
            .kind = FieldSpec::Kind::Lookup,
            .row = row,
            .col = col,
            .span = span,
            .list = &list,
            .listKey = QLatin1String(key),
            .listShows = QLatin1String(shows),
            .minimumWidth = 16};
}

FieldSpec date(const char* name, const char* label, const char* column, int col)
{
    return {.name = QLatin1String(name),
            .label = QString::fromUtf8(label),
            .column = QLatin1String(column),
            .kind = FieldSpec::Kind::Date,
            .row = 9,
            .col = col};
}

kit::RegisterForm firmaForm(TDM& dm)
{
    FieldSpec ein = text("dbedEIN", "ЕИН:", "EIN", 1, 0);
    ein.length = 13;
    FieldSpec vat = text("dbedINDDS", "ИН ДДС:", "INDDS", 1, 2);
    vat.length = 15;
    return {
        .kind = QStringLiteral("TFFirma"),
        .caption = QStringLiteral("Фирма"),
        .layout = kit::RegisterForm::Layout::SingleRow,
        .fixedSize = true,
        .cursor = &dm.TFirma,
        .panel = QStringLiteral("panelFirma"),
        .fields = {lookup("jvdblcbVZP", "Вид на ЗП:", dm.TVZP, "ID_VZP", "VZP", 0, 0, 3), ein, vat,
                   text("dbedNaim", "Наименование:", "NAIM_FIRMA", 2, 0, 5),
                   text("dbedMOL", "ФЛ/Собственик ЕТ/ Ръководител ЮЛ:", "MOL", 3, 0, 3),
                   text("dbedMOLEGN", "ЕГН/ЛНЧ:", "EGN_MOL", 3, 4), text("dbedFDNo", "Ф. д. №:", "FD", 4, 0),
                   text("dbedSyd", "на", "OS", 4, 2),
                   lookup("jvdblcbOblast", "Област:", dm.TOblast, "ID_OBL", "NAIM_OBL", 5, 0),
                   lookup("jvdblcbObshtina", "Община:", dm.TObshtina, "ID_OBSHT", "NAIM_OBSHT", 5, 2),
                   lookup("jvdblcNM", "Гр./с.:", dm.TNasmqsto, "EKATTE", "NAIM_NM", 5, 4),
                   text("dbedAdres", "Адрес:", "ADRESS", 6, 0, 3), text("dbedPK", "ПК:", "PK", 6, 4),
                   text("dbedTel", "Телефон:", "TEL", 7, 0), text("dbedMobTel", "Моб. тел.:", "MOB_TEL", 7, 2),
                   text("dbedFaks", "Факс:", "FAKS", 7, 4), text("dbedEmail", "E-mail:", "EMAIL", 8, 0, 3),
                   date("jvdbedFromYear", "Стопанска година:", "FROMYEAR", 0), date("jvdbedToYear", "/", "TOYEAR", 2)},
        .checks = firma::saveChecks(),
        .leaveChecks = firma::leaveChecks(),
    };
}

// Moves a list to the row with the key and shows it in its drop-down; a
// key that is missing, or a row above it that was not found, leaves the
// drop-down empty.
bool place(QComboBox* combo, dataset::Dataset& list, const char* keyField, const fb::Value& key, bool aboveFound)
{
    const bool found = aboveFound && !key.isNull() && list.locate(QLatin1String(keyField), key);
    combo->setCurrentIndex(found ? list.currentRow() : -1);
    return found;
}

}  // namespace

TFFirma::TFFirma(TDM& dm, Prompter& prompter, QWidget* parent)
    : RegisterScreen(prompter, firmaForm(dm), parent),
      dm_(dm),
      jvdblcbVZP(control<QComboBox>(QStringLiteral("jvdblcbVZP"))),
      dbedEIN(control<QLineEdit>(QStringLiteral("dbedEIN"))),
      dbedINDDS(control<QLineEdit>(QStringLiteral("dbedINDDS"))),
      dbedNaim(control<QLineEdit>(QStringLiteral("dbedNaim"))),
      jvdblcbOblast(control<QComboBox>(QStringLiteral("jvdblcbOblast"))),
      jvdblcbObshtina(control<QComboBox>(QStringLiteral("jvdblcbObshtina"))),
      jvdblcNM(control<QComboBox>(QStringLiteral("jvdblcNM")))
{
    flow().beforePost = [this](EditFlow::Saving) { copySeatAndKind(); };
    connect(&flow(), &EditFlow::panelOpened, this, &TFFirma::showSeatAndKind);
    connect(jvdblcbVZP, &QComboBox::currentIndexChanged, this, &TFFirma::applyKind);
    connect(jvdblcbOblast, &QComboBox::currentIndexChanged, this, &TFFirma::applyKind);
    // The lists below a moved list show their first rows; nothing is chosen there yet.
    connect(&dm_.TOblast, &dataset::Dataset::currentChanged, this, &TFFirma::provinceMoved);
    connect(&dm_.TObshtina, &dataset::Dataset::currentChanged, this, &TFFirma::municipalityMoved);
    start();
}

// The drop-downs show the firm's seat and kind as the row goes into edit.
void TFFirma::showSeatAndKind()
{
    const dataset::Dataset& firm = dm_.TFirma;
    placing_ = true;  // the kind shown before its own is placed is not the firm's
    const auto placed = qScopeGuard([this] { placing_ = false; });
    try {
        bool found = place(jvdblcbOblast, dm_.TOblast, "ID_OBL", firm["ID_OBL"].value(), true);
        found = place(jvdblcbObshtina, dm_.TObshtina, "ID_OBSHT", firm["ID_OBSHT"].value(), found);
        place(jvdblcNM, dm_.TNasmqsto, "EKATTE", firm["EKATTE"].value(), found);
        place(jvdblcbVZP, dm_.TVZP, "ID_VZP", firm["ID_VZP"].value(), true);
    } catch (const fb::Error& e) {
        failure::show(prompter(), QStringLiteral("Данните на фирмата не могат да бъдат показани."), e);
    }
    placing_ = false;
    applyKind();
}

// A natural person has no firm name: the name is emptied and cannot be typed.
void TFFirma::applyKind()
{
    if (!flow().isEditing() || closing_ || placing_)
        return;
    const bool naturalPerson = jvdblcbVZP->currentText() == kNaturalPerson;
    dbedNaim->setEnabled(!naturalPerson);
    if (naturalPerson && dm_.TFirma.isEditing())
        dm_.TFirma["NAIM_FIRMA"].clear();
}

void TFFirma::provinceMoved()
{
    if (!flow().isEditing() || closing_ || placing_)
        return;
    jvdblcbObshtina->setCurrentIndex(-1);
    jvdblcNM->setCurrentIndex(-1);
}

void TFFirma::municipalityMoved()
{
    if (!flow().isEditing() || closing_ || placing_)
        return;
    jvdblcNM->setCurrentIndex(-1);
}

// Entering the VAT number proposes "BG" and the identifier when none is stored.
void TFFirma::controlEntered(QWidget* control)
{
    if (control == dbedINDDS)
        if (const auto vat = firma::proposedVat(dbedEIN->text(), dm_.TFirma["INDDS"].asString()))
            dm_.TFirma["INDDS"].setValue(*vat);
}

void TFFirma::copySeatAndKind()
{
    dataset::Dataset& firm = dm_.TFirma;
    firm["EKATTE"].setValue(dm_.TNasmqsto["EKATTE"].value());
    firm["ID_OBSHT"].setValue(dm_.TObshtina["ID_OBSHT"].value());
    firm["ID_OBL"].setValue(dm_.TOblast["ID_OBL"].value());
    firm["ID_VZP"].setValue(dm_.TVZP["ID_VZP"].value());
}

// Whichever way the screen ends, the firm row is readable again for the
// screens that copy from it.
void TFFirma::aboutToClose()
{
    closing_ = true;
    RegisterScreen::aboutToClose();
    try {
        dm_.TFirma.open();
    } catch (const fb::Error& e) {
        failure::show(prompter(), QStringLiteral("Четенето на фирмата не може да бъде завършено."), e);
    }
}
