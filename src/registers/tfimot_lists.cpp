// The plot editor's three lists: the categories of the plot, the owners'
// shares, the persons of its history, and the owners register opened as a
// picker for the last two.
#include "registers/tfimot.h"

#include "common/number_field.h"
#include "common/prompter.h"
#include "common/register_panel.h"
#include "dm/tdm.h"
#include "registers/plot_rules.h"
#include "registers/tfhora.h"
#include "registers/tfkatdob.h"
#include "schema/equalised_area.h"

#include <QEvent>
#include <QLineEdit>
#include <QPushButton>

namespace {

using Kind = kit::FieldSpec::Kind;

const QString kNoOwner = QStringLiteral("Моля, въведете собственик!");
const QString kInContract = QStringLiteral("Има сключен договор!");
const QString kClosePanel = QStringLiteral("Затворете панела за собственост!");
const Qt::Alignment kRight = Qt::AlignRight | Qt::AlignVCenter;
const QString kArea = QStringLiteral("#0.000");

enum List : size_t { Categories, Shares, History };

ListColumn area(const char* field, const char* title)
{
    return {QLatin1String(field), QString::fromUtf8(title), {}, {}, kArea, kRight};
}

// A plot's categories with their coefficients and equalised areas, read in
// the plot transaction so that rows written during the edit are listed.
QString categoriesStatement()
{
    return QStringLiteral(
               "select kategoriq.vid, kategoriq.plosht, coalesce(%1, 0) prpl, "
               "category_coefficient.coefficient from kategoriq "
               "left join category_coefficient on category_coefficient.category = kategoriq.vid "
               "where (kategoriq.id_zemq = :id_zemq)")
        .arg(schema::prplSql(QStringLiteral("kategoriq.plosht"), QStringLiteral("category_coefficient.coefficient")));
}

}  // namespace

std::vector<kit::LineList> TFImot::lineLists()
{
    using kit::command;
    const auto typed = [](const char* control, const char* message) {
        return kit::Check{
            [c = QLatin1String(control)](const kit::PanelValues& v) { return plot::typedOrZero(v.text(c)) != 0; },
            QString::fromUtf8(message), QLatin1String(control)};
    };
    // Shares and history parts are written as in the title: digits and "/".
    kit::FieldSpec share = kit::field(Kind::Text, "edChast", "Част:", "CHAST", 0, 2);
    kit::FieldSpec part = kit::field(Kind::Text, "edIstChast", "Въведете част:", "CHAST", 0, 2);
    share.pattern = part.pattern = QStringLiteral("[0-9/]{0,5}");
    kit::FieldSpec kind = kit::field(Kind::Text, "edVidSobstv", "Вид собственик:", "VIDSOBSTV", 0, 4);
    kind.length = 30;
    // Any contract counts, a terminated one too: its lines stay.
    const std::vector<EditFlow::Guard> inContract = {{[this] { return shareInContract(); }, kInContract}};
    const auto owner = [this](dataset::Dataset& rows) { return rows.field(QStringLiteral("ID_HORA")).value(); };
    return {
        {.group = QStringLiteral("Категория"),
         .grid = QStringLiteral("jvdbgridKat"),
         .rows = &TKat,
         .columns = {{QStringLiteral("VID"), QStringLiteral("Кат.")},
                     area("PLOSHT", "Площ"),
                     area("PRPL", "Пр. площ"),
                     {QStringLiteral("COEFFICIENT"), QStringLiteral("Коефициент"), {}, {}, {}, kRight}},
         .statement =
             ListStatement{.base = {categoriesStatement()}, .defaultOrder = {QStringLiteral("order by kategoriq.vid")}},
         .commands = {command("bitKatDob", "Добавяне", [this] { editCategory(true); }),
                      command(
                          "bitKatKor", "Корекция", [this] { editCategory(false); }, true),
                      command(
                          "bitKatDel", "Изтриване", [this] { removeCategory(); }, true)}},
        {.group = QStringLiteral("Собственици"),
         .grid = QStringLiteral("jvdbgridSobstv"),
         .rows = &dm_.TSobstv,
         .columns = {{QStringLiteral("egn"), QStringLiteral("ЕГН/ЕИН")},
                     {QStringLiteral("ime"), QStringLiteral("Име/Наименование")},
                     {QStringLiteral("CHAST"), QStringLiteral("Част")},
                     area("REDPLOSHT", "Площ"),
                     area("PRREDPL", "Пр. площ")},
         .visibleRows = 5,
         .commands = {command("bitSobstDob", "Добавяне", [this] { openPicker(OwnerPick::AddShare, {}); }),
                      command(
                          "bitSobstKor", "Корекция",
                          [=, this] { openPicker(OwnerPick::ChangeShareOwner, owner(dm_.TSobstv)); }, true, {},
                          inContract),
                      command(
                          "bitSobstDel", "Изтриване",
                          [this] {
                              removeLine(dm_.TSobstv);
                              recomputeShareSums();
                          },
                          true, {}, inContract),
                      command(
                          "bitSobstSobstv", "Собственост", [this] { openSharePanel(); }, true, kNoOwner)},
         .panel = kit::LinePanel{.name = QStringLiteral("panelSobstv"),
                                 .fields = {kit::field(Kind::Number, "edDka", "Дка:", "REDPLOSHT"), share,
                                            kit::field(Kind::Number, "edPrDka", "Пр. дка:", "PRREDPL", 0, 4)},
                                 .ok = QStringLiteral("bitSobstOK"),
                                 .checks = {typed("edDka", "Въведете дка!"),
                                            typed("edPrDka", "Не са въведени приравнени декари!")},
                                 .store = [this] { return storeShare(); }}},
        {.group = QStringLiteral("Собственици по документ/бивши/пълномощници"),
         .grid = QStringLiteral("jvdbgridIstoriq"),
         .rows = &dm_.TIstoriq,
         .columns = {{QStringLiteral("EGN"), QStringLiteral("ЕГН/ЕИН")},
                     {QStringLiteral("IME"), QStringLiteral("Име/Наименование")},
                     {QStringLiteral("VIDSOBSTV"), QStringLiteral("Вид собственик")},
                     {QStringLiteral("CHAST"), QStringLiteral("Част")},
                     area("PLOSHT", "Площ")},
         .commands = {command("bitIstoriqDob", "Добавяне", [this] { openPicker(OwnerPick::AddHistory, {}); }),
                      command(
                          "bitIstoriqKor", "Корекция",
                          [=, this] { openPicker(OwnerPick::ChangePerson, owner(dm_.TIstoriq)); }, true),
                      command(
                          "bitIstoriqDel", "Изтриване", [this] { removeLine(dm_.TIstoriq); }, true),
                      command(
                          "bitIstoriqSobstv", "Собственост", [this] { openHistoryPanel(); }, true, kNoOwner)},
         .panel =
             kit::LinePanel{
                 .name = QStringLiteral("panelIstoriq"),
                 .fields = {kit::field(Kind::Number, "edIstDka", "Въведете дка:", "PLOSHT"), part, kind},
                 .ok = QStringLiteral("bitIstoriqOK"),
                 // The person's area is stored as typed.
                 .checks = {{[](const kit::PanelValues& v) {
                                 return typedNumber(v.text(QStringLiteral("edIstDka"))).has_value();
                             },
                             QStringLiteral("Въведете дка!"), QStringLiteral("edIstDka")},
                            {[](const kit::PanelValues& v) { return v.filled(QStringLiteral("edVidSobstv")); },
                             QStringLiteral("Въведете вид собственик!"), QStringLiteral("edVidSobstv")}},
                 .store = [this] { return storeHistory(); }}},
    };
}

// ---------------------------------------------------------------- categories

// The dialog edits the row pending in TKategoriq; whatever it did, the
// plot's areas and the owners' sums are worked out again.
void TFImot::editCategory(bool adding)
{
    dataset::Dataset& rows = dm_.TKategoriq;
    const bool opened = lineStep(QStringLiteral("Категорията не може да бъде отворена."), [&] {
        rows.open();
        if (adding) {
            rows.append();
        } else {
            rows.locate(QStringLiteral("VID"), lines(Categories).value(QStringLiteral("VID")));
            rows.edit();
        }
    });
    if (!opened)
        return;
    TFKatdob dialog(dm_, prompter(), this);
    dialog.exec();
    recomputeAreas();
}

void TFImot::removeCategory()
{
    if (dm_.TKategoriq.locate(QStringLiteral("VID"), lines(Categories).value(QStringLiteral("VID"))))
        removeLine(dm_.TKategoriq);
    recomputeAreas();
}

// ---------------------------------------------------------------- owners' shares

bool TFImot::shareInContract()
{
    if (dm_.TSobstv.isEmpty())
        return false;
    return dm_.TDelImotiDHZ.locate(
        QStringList{QStringLiteral("ID_ZEMQ"), QStringLiteral("ID_SOBSTV")},
        {dm_.TZemq.field(QStringLiteral("ID_ZEMQ")).value(), dm_.TSobstv.field(QStringLiteral("ID_HORA")).value()});
}

// The share goes into edit; an equalised area not yet given starts as the
// area. Bound by a contract, only the equalised area may change, where it is
// typed at all.
void TFImot::openSharePanel()
{
    dataset::Dataset& share = dm_.TSobstv;
    std::vector<double> coefficients;
    const int coefficient = TKat.field(QStringLiteral("COEFFICIENT")).index();
    for (int r = 0; r < TKat.rowCount(); ++r)
        coefficients.push_back(TKat.value(r, coefficient).toDouble());
    const bool opened = lineStep(QStringLiteral("Собствеността не може да бъде отворена."), [&share] {
        share.edit();
        const fb::Value equalised = share.field(QStringLiteral("PRREDPL")).value();
        if (equalised.isNull() || equalised.toDouble() == 0)
            share.field(QStringLiteral("PRREDPL")).setValue(share.field(QStringLiteral("REDPLOSHT")).value());
    });
    if (!opened)
        return;
    edPrDka->setEnabled(plot::equalisedSharesTyped(coefficients));
    const bool bound = shareInContract();
    edDka->setEnabled(!bound);
    control<QWidget>(QStringLiteral("edChast"))->setEnabled(!bound);
    openLinePanel(Shares);
    if (bound)
        prompter().message(kInContract);
}

// Leaving "Дка:" gives an equalised area not yet typed the same figure.
bool TFImot::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == edDka && event->type() == QEvent::FocusOut && plot::typedOrZero(edPrDka->text()) == 0)
        edPrDka->setText(edDka->text());
    return EditorScreen::eventFilter(watched, event);
}

bool TFImot::storeShare()
{
    dataset::Dataset& share = dm_.TSobstv;
    const QString part = control<QLineEdit>(QStringLiteral("edChast"))->text();
    const bool stored = lineStep(QStringLiteral("Собствеността не е записана."), [&] {
        share.field(QStringLiteral("REDPLOSHT")).setValue(*edDka->value());
        share.field(QStringLiteral("PRREDPL")).setValue(*edPrDka->value());
        share.field(QStringLiteral("CHAST")).setValue(part);
        share.post();
    });
    if (stored)
        recomputeShareSums();
    return stored;
}

// ---------------------------------------------------------------- history persons

void TFImot::openHistoryPanel()
{
    if (lineStep(QStringLiteral("Собствеността не може да бъде отворена."), [this] { dm_.TIstoriq.edit(); }))
        openLinePanel(History, edIstDka);
}

bool TFImot::storeHistory()
{
    dataset::Dataset& person = dm_.TIstoriq;
    const QString part = control<QLineEdit>(QStringLiteral("edIstChast"))->text();
    const QString kind = control<QLineEdit>(QStringLiteral("edVidSobstv"))->text();
    return lineStep(QStringLiteral("Собствеността не е записана."), [&] {
        person.field(QStringLiteral("PLOSHT")).setValue(typedNumber(edIstDka->text()).value_or(0));
        person.field(QStringLiteral("CHAST")).setValue(part);
        person.field(QStringLiteral("VIDSOBSTV")).setValue(kind);
        person.post();
    });
}

// ---------------------------------------------------------------- the owner picker

// A picker edits owners through the shared cursor THora too: while an owners
// register has a row open there, it would share that pending row, so none
// opens (and a register's flow refuses to start a row while a picker has one).
void TFImot::openPicker(OwnerPick pick, const fb::Value& owner)
{
    if (dm_.THora.isEditing()) {
        prompter().message(kHeldElsewhere);
        return;
    }
    auto* picker = new TFHora(dm_, prompter(), ownersDirection_);
    picker->pickFor(*this, pick, owner);
    openBeside(picker);
}

void TFImot::ownerPicked(OwnerPick pick, int idHora)
{
    const bool share = pick == OwnerPick::AddShare || pick == OwnerPick::ChangeShareOwner;
    dataset::Dataset& rows = share ? dm_.TSobstv : dm_.TIstoriq;
    if (rows.findRow(rows.field(QStringLiteral("ID_HORA")).index(), fb::Value(idHora)) >= 0) {
        prompter().message(share ? QStringLiteral("Този собственик е добавен вече!")
                                 : QStringLiteral("Този човек вече е добавен!"));
        return;
    }
    // A picker opened before a panel was: its row waits until the panel is closed.
    if (linePanelOpen()) {
        prompter().message(kClosePanel);
        return;
    }
    storeOwner(pick, idHora);
}

// The picked owner goes into a new row (whose panel opens) or replaces the
// selected row's owner.
void TFImot::storeOwner(OwnerPick pick, int idHora)
{
    const bool share = pick == OwnerPick::AddShare || pick == OwnerPick::ChangeShareOwner;
    const bool adding = pick == OwnerPick::AddShare || pick == OwnerPick::AddHistory;
    dataset::Dataset& rows = share ? dm_.TSobstv : dm_.TIstoriq;
    const bool stored = lineStep(
        QStringLiteral("Собственикът не е добавен."),
        [&] {
            rows.open();
            adding ? rows.append() : rows.edit();
            rows.field(QStringLiteral("ID_HORA")).setValue(idHora);
            rows.post();
        },
        &rows);
    if (!stored)
        return;
    control<QWidget>(share ? QStringLiteral("bitSobstSobstv") : QStringLiteral("bitIstoriqSobstv"))->show();
    if (adding)
        share ? openSharePanel() : openHistoryPanel();
    recomputeShareSums();
}

void TFImot::pendingRowCancelled(OwnerPick)
{
    // The editor keeps no row pending while a picker is open.
}

void TFImot::showShareOwnership(bool shown)
{
    control<QWidget>(QStringLiteral("bitSobstSobstv"))->setVisible(shown);
    control<QWidget>(QStringLiteral("bitIstoriqSobstv"))->setVisible(shown);
}
