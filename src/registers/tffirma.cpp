#include "registers/tffirma.h"

#include "dm/tdm.h"
#include "common/prompter.h"
#include "dataset/binders.h"
#include "dataset/formats.h"
#include "fb/error.h"
#include "registers/firma_rules.h"

#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QPushButton>

namespace {

const QString kCaption = QStringLiteral("Фирма");
const QString kNaturalPerson = QStringLiteral("Физическо лице");
const QString kWrongPeriod = QStringLiteral("Въведете коректен период!");
const QString kMissingData = QStringLiteral("Моля попълнете всички данни!");
const QString kWrongIdentifier = QStringLiteral("Въведете коректен идентификатор!");
const QString kWrongPersonalNumber = QStringLiteral("Въведеното ЕГН/ЛНЧ е некоректно!");
const QString kSaveQuestion = QStringLiteral("Желаете ли да запишете!");

// The identifier and VAT fields take fewer characters than their columns hold.
constexpr int kEinLength = 13;
constexpr int kVatLength = 15;

// A date picker cannot be empty; its earliest date stands for "no date" and
// shows blank.
const QDate kNoDate(1900, 1, 1);

// A date picker over a date field.
class DatePickerBinder : public dataset::FieldBinder {
public:
    DatePickerBinder(QDateEdit* edit, dataset::Dataset& dataset, const QString& field)
        : FieldBinder(edit, dataset, field), edit_(edit)
    {
        edit->setCalendarPopup(true);
        edit->setDisplayFormat(QStringLiteral("dd%1MM%1yyyy").arg(dataset::formats::dateSeparator()));
        edit->setMinimumDate(kNoDate);
        edit->setSpecialValueText(QStringLiteral(" "));
        connect(edit, &QDateEdit::dateChanged, this, [this](const QDate& date) {
            if (!updating_ && !write(date == kNoDate ? fb::Value() : fb::Value(date)))
                show();
        });
        follow();
    }

private:
    void show() override
    {
        const dataset::Field* f = field();
        const QDate date = f ? f->asDate() : QDate();
        updating_ = true;
        edit_->setDate(date.isValid() ? date : kNoDate);
        updating_ = false;
    }

    QDateEdit* edit_;
    bool updating_ = false;
};

bool within(const QWidget* widget, const QWidget* w)
{
    return w && (w == widget || widget->isAncestorOf(w));
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

TFFirma::TFFirma(TDM& dm, Prompter& prompter, QWidget* parent) : Screen(parent), dm_(dm), prompter_(prompter)
{
    setObjectName(QStringLiteral("TFFirma"));
    setWindowTitle(kCaption);
    buildControls();
    bindControls();
    connect(qApp, &QApplication::focusChanged, this, &TFFirma::focusMoved);
    connect(bitZapis, &QPushButton::clicked, this, &TFFirma::bitZapisClick);
    connect(bitOtkaz, &QPushButton::clicked, this, &TFFirma::bitOtkazClick);
}

// The controls go after this destructor, and the focus moves as they go.
TFFirma::~TFFirma()
{
    disconnect(qApp, nullptr, this, nullptr);
}

void TFFirma::buildControls()
{
    const auto lineEdit = [this](const char* name) {
        auto* e = new QLineEdit(this);
        e->setObjectName(QLatin1String(name));
        return e;
    };
    const auto comboBox = [this](const char* name) {
        auto* c = new QComboBox(this);
        c->setObjectName(QLatin1String(name));
        c->setMinimumContentsLength(16);
        return c;
    };
    const auto datePicker = [this](const char* name) {
        auto* d = new QDateEdit(this);
        d->setObjectName(QLatin1String(name));
        return d;
    };
    const auto button = [this](const char* name, const QString& text) {
        auto* b = new QPushButton(text, this);
        b->setObjectName(QLatin1String(name));
        // A click does not take the focus from the field being typed in, so
        // saving or cancelling never runs that field's leave check first.
        b->setFocusPolicy(Qt::TabFocus);
        return b;
    };
    // Created in the order the Tab key walks them.
    jvdblcbVZP = comboBox("jvdblcbVZP");
    dbedEIN = lineEdit("dbedEIN");
    dbedINDDS = lineEdit("dbedINDDS");
    dbedNaim = lineEdit("dbedNaim");
    dbedMOL = lineEdit("dbedMOL");
    dbedMOLEGN = lineEdit("dbedMOLEGN");
    dbedFDNo = lineEdit("dbedFDNo");
    dbedSyd = lineEdit("dbedSyd");
    jvdblcbOblast = comboBox("jvdblcbOblast");
    jvdblcbObshtina = comboBox("jvdblcbObshtina");
    jvdblcNM = comboBox("jvdblcNM");
    dbedAdres = lineEdit("dbedAdres");
    dbedPK = lineEdit("dbedPK");
    dbedTel = lineEdit("dbedTel");
    dbedMobTel = lineEdit("dbedMobTel");
    dbedFaks = lineEdit("dbedFaks");
    dbedEmail = lineEdit("dbedEmail");
    jvdbedFromYear = datePicker("jvdbedFromYear");
    jvdbedToYear = datePicker("jvdbedToYear");
    bitZapis = button("bitZapis", QStringLiteral("Запис"));
    bitOtkaz = button("bitOtkaz", QStringLiteral("Отказ"));

    struct Cell {
        const char* label;
        QWidget* widget;
        int row, column, span;
    };
    const Cell cells[] = {
        {"Вид на ЗП:", jvdblcbVZP, 0, 0, 3},
        {"ЕИН:", dbedEIN, 1, 0, 1},
        {"ИН ДДС:", dbedINDDS, 1, 2, 1},
        {"Наименование:", dbedNaim, 2, 0, 5},
        {"ФЛ/Собственик ЕТ/ Ръководител ЮЛ:", dbedMOL, 3, 0, 3},
        {"ЕГН/ЛНЧ:", dbedMOLEGN, 3, 4, 1},
        {"Ф. д. №:", dbedFDNo, 4, 0, 1},
        {"на", dbedSyd, 4, 2, 1},
        {"Област:", jvdblcbOblast, 5, 0, 1},
        {"Община:", jvdblcbObshtina, 5, 2, 1},
        {"Гр./с.:", jvdblcNM, 5, 4, 1},
        {"Адрес:", dbedAdres, 6, 0, 3},
        {"ПК:", dbedPK, 6, 4, 1},
        {"Телефон:", dbedTel, 7, 0, 1},
        {"Моб. тел.:", dbedMobTel, 7, 2, 1},
        {"Факс:", dbedFaks, 7, 4, 1},
        {"E-mail:", dbedEmail, 8, 0, 3},
        {"Стопанска година:", jvdbedFromYear, 9, 0, 1},
        {"/", jvdbedToYear, 9, 2, 1},
    };
    auto* grid = new QGridLayout;
    for (const Cell& c : cells) {
        auto* label = new QLabel(QString::fromUtf8(c.label), this);
        label->setBuddy(c.widget);
        grid->addWidget(label, c.row, c.column);
        grid->addWidget(c.widget, c.row, c.column + 1, 1, c.span);
    }
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(bitZapis);
    buttons->addWidget(bitOtkaz);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);  // a fixed border
}

void TFFirma::bindControls()
{
    dataset::Dataset& firm = dm_.TFirma;
    const std::pair<QLineEdit*, const char*> edits[] = {
        {dbedEIN, "EIN"},        {dbedINDDS, "INDDS"}, {dbedNaim, "NAIM_FIRMA"}, {dbedMOL, "MOL"},
        {dbedMOLEGN, "EGN_MOL"}, {dbedFDNo, "FD"},     {dbedSyd, "OS"},          {dbedAdres, "ADRESS"},
        {dbedPK, "PK"},          {dbedTel, "TEL"},     {dbedMobTel, "MOB_TEL"},  {dbedFaks, "FAKS"},
        {dbedEmail, "EMAIL"},
    };
    for (const auto& [edit, column] : edits)
        new dataset::LineEditBinder(edit, firm, QLatin1String(column));
    dbedEIN->setMaxLength(kEinLength);
    dbedINDDS->setMaxLength(kVatLength);
    new DatePickerBinder(jvdbedFromYear, firm, QStringLiteral("FROMYEAR"));
    new DatePickerBinder(jvdbedToYear, firm, QStringLiteral("TOYEAR"));

    // Not bound to the row: each moves its shared list.
    new dataset::LookupComboBinder(jvdblcbVZP, dm_.TVZP, QStringLiteral("ID_VZP"), QStringLiteral("VZP"));
    new dataset::LookupComboBinder(jvdblcbOblast, dm_.TOblast, QStringLiteral("ID_OBL"), QStringLiteral("NAIM_OBL"));
    new dataset::LookupComboBinder(jvdblcbObshtina, dm_.TObshtina, QStringLiteral("ID_OBSHT"),
                                   QStringLiteral("NAIM_OBSHT"));
    new dataset::LookupComboBinder(jvdblcNM, dm_.TNasmqsto, QStringLiteral("EKATTE"), QStringLiteral("NAIM_NM"));

    connect(jvdblcbVZP, &QComboBox::currentIndexChanged, this, &TFFirma::applyKind);
    connect(jvdblcbOblast, &QComboBox::currentIndexChanged, this, &TFFirma::applyKind);
    // The lists below a moved list show their first rows; nothing is chosen there yet.
    connect(&dm_.TOblast, &dataset::Dataset::currentChanged, this, &TFFirma::provinceMoved);
    connect(&dm_.TObshtina, &dataset::Dataset::currentChanged, this, &TFFirma::municipalityMoved);
}

void TFFirma::showEvent(QShowEvent* event)
{
    Screen::showEvent(event);
    if (!opened_ && !closing_)
        FormShow();
}

// The row goes into edit at once, and the drop-downs show the firm's seat
// and kind.
void TFFirma::FormShow()
{
    try {
        dm_.TFirma.open();
        jvdblcbVZP->setFocus();
        dm_.IBTFirma.ensureStarted();
        dm_.TFirma.edit();
        showSeatAndKind();
    } catch (const fb::Error& e) {
        prompter_.message(e.message());
        return;
    }
    opened_ = true;
    applyKind();
}

void TFFirma::showSeatAndKind()
{
    const dataset::Dataset& firm = dm_.TFirma;
    bool found = place(jvdblcbOblast, dm_.TOblast, "ID_OBL", firm["ID_OBL"].value(), true);
    found = place(jvdblcbObshtina, dm_.TObshtina, "ID_OBSHT", firm["ID_OBSHT"].value(), found);
    place(jvdblcNM, dm_.TNasmqsto, "EKATTE", firm["EKATTE"].value(), found);
    place(jvdblcbVZP, dm_.TVZP, "ID_VZP", firm["ID_VZP"].value(), true);
}

// A natural person has no firm name: the name is emptied and cannot be typed.
void TFFirma::applyKind()
{
    if (!opened_ || closing_)
        return;
    const bool naturalPerson = jvdblcbVZP->currentText() == kNaturalPerson;
    dbedNaim->setEnabled(!naturalPerson);
    if (naturalPerson && dm_.TFirma.isEditing())
        dm_.TFirma["NAIM_FIRMA"].clear();
}

void TFFirma::provinceMoved()
{
    if (!opened_ || closing_)
        return;
    jvdblcbObshtina->setCurrentIndex(-1);
    jvdblcNM->setCurrentIndex(-1);
}

void TFFirma::municipalityMoved()
{
    if (!opened_ || closing_)
        return;
    jvdblcNM->setCurrentIndex(-1);
}

// Leave and enter steps run when the focus moves from one control of the
// screen to another. A message box taking the focus, or the window losing
// it, is no move within the screen, so a check never runs again because of
// its own message.
void TFFirma::focusMoved(QWidget* old, QWidget* now)
{
    if (!opened_ || closing_ || checking_ || !within(this, old) || !within(this, now))
        return;
    if (leaveCheckFails(old, now))
        return;
    if (now == dbedINDDS)
        if (const auto vat = firma::proposedVat(dbedEIN->text(), dm_.TFirma["INDDS"].asString()))
            dm_.TFirma["INDDS"].setValue(*vat);
}

// True when the check sent the focus back to the field it left.
bool TFFirma::leaveCheckFails(QWidget* old, QWidget* now)
{
    const auto refuse = [this](QWidget* field, const QString& text) {
        checking_ = true;
        field->setFocus(Qt::OtherFocusReason);  // first the focus, then the message
        prompter_.message(text);
        checking_ = false;
        return true;
    };
    if (old == dbedEIN && !firma::isFirmIdentifier(dbedEIN->text()))
        return refuse(dbedEIN, kWrongIdentifier);
    if (old == dbedMOLEGN && !firma::isPersonalNumber(dbedMOLEGN->text()))
        return refuse(dbedMOLEGN, kWrongPersonalNumber);
    // Only a warning: the focus moves on.
    if (within(jvdbedToYear, old) && !within(jvdbedToYear, now) &&
        !firma::isFarmingYear(dm_.TFirma["FROMYEAR"].asDate(), dm_.TFirma["TOYEAR"].asDate())) {
        checking_ = true;
        prompter_.message(kWrongPeriod);
        checking_ = false;
    }
    return false;
}

void TFFirma::bitZapisClick()
{
    if (saveChecks() && store())
        closeWindow();
}

void TFFirma::bitOtkazClick()
{
    discard();
    closeWindow();
}

// The save checks in their order; the first that fails says so.
bool TFFirma::saveChecks()
{
    if (!firma::isFarmingYear(dm_.TFirma["FROMYEAR"].asDate(), dm_.TFirma["TOYEAR"].asDate())) {
        prompter_.message(kWrongPeriod);
        return false;
    }
    if (!firma::isComplete(entries())) {
        prompter_.message(kMissingData);
        return false;
    }
    return true;
}

firma::Entries TFFirma::entries() const
{
    firma::Entries e;
    e.ein = dbedEIN->text();
    e.name = dbedNaim->text();
    e.nameEnabled = dbedNaim->isEnabled();
    e.fd = dbedFDNo->text();
    e.os = dbedSyd->text();
    e.adress = dbedAdres->text();
    e.oblast = jvdblcbOblast->currentText();
    e.obshtina = jvdblcbObshtina->currentText();
    e.nasMqsto = jvdblcNM->currentText();
    e.egnMol = dbedMOLEGN->text();
    e.vzp = jvdblcbVZP->currentText();
    return e;
}

// Copies the chosen seat and kind into the row, posts and commits. A
// database error is shown as the client gives it; the screen then stays in
// edit with everything typed, and the transaction keeps running.
bool TFFirma::store()
{
    dataset::Dataset& firm = dm_.TFirma;
    try {
        firm["EKATTE"].setValue(dm_.TNasmqsto["EKATTE"].value());
        firm["ID_OBSHT"].setValue(dm_.TObshtina["ID_OBSHT"].value());
        firm["ID_OBL"].setValue(dm_.TOblast["ID_OBL"].value());
        firm["ID_VZP"].setValue(dm_.TVZP["ID_VZP"].value());
        firm.post();
    } catch (const fb::Error& e) {
        prompter_.message(e.message());
        return false;
    }
    try {
        dm_.IBTFirma.commit();
    } catch (const fb::Error& e) {
        prompter_.message(e.message());
        keepEditingAfterFailedCommit();
        return false;
    }
    return true;
}

// When the commit fails the posted row is still there, inside the running
// transaction: put it back into edit so the user can correct or cancel.
void TFFirma::keepEditingAfterFailedCommit()
{
    try {
        dm_.TFirma.open();
        dm_.TFirma.edit();
    } catch (const fb::Error& e) {
        prompter_.message(e.message());
    }
}

void TFFirma::discard()
{
    dm_.TFirma.cancel();
    try {
        dm_.IBTFirma.rollback();
    } catch (const fb::Error& e) {
        prompter_.message(e.message());
    }
}

void TFFirma::reopenFirma()
{
    try {
        dm_.TFirma.open();
    } catch (const fb::Error& e) {
        prompter_.message(e.message());
    }
}

void TFFirma::closeWindow()
{
    auto* frame = qobject_cast<QMdiSubWindow*>(parentWidget());
    (frame ? static_cast<QWidget*>(frame) : this)->close();
}

// Closing other than by "Запис" or "Отказ": while the row is still being
// edited, ask whether to keep it.
bool TFFirma::closeCheck()
{
    if (!dm_.IBTFirma.isActive())
        return true;
    if (!prompter_.confirm(kSaveQuestion)) {
        discard();
        return true;
    }
    return saveChecks() && store();
}

// Whichever way the screen ends, the firm row is readable again for the
// screens that copy from it.
void TFFirma::aboutToClose()
{
    closing_ = true;
    if (!dm_.TFirma.isOpen())
        reopenFirma();
}
