#include "rent/tfnerazdadenarenta.h"

#include "common/failure.h"
#include "common/prompter.h"
#include "dm/tdm.h"
#include "report_engine/list_filter.h"
#include "fb/error.h"
#include "fb/statement.h"
#include "rent/tfrko.h"

#include <QPushButton>
#include <QTimer>

namespace {

const QString kIdOnr = QStringLiteral("ID_ONR");
const QString kPayment = QStringLiteral("ID_RAZPPARI");

// Every row of ONR with its owner and the payment that settled it (none
// while unpaid), and the firm's name and address for the printed receipt.
// IZPLSUMA is the amount of a paid row, 0 of an unpaid one: what the paid
// totals under the list and on the print add up.
QString pastRentBase()
{
    return QStringLiteral(
        "select onr.id_onr ID_ONR, onr.id_hora ID_HORA, hora.egn EGN, hora.ime IME, hora.predst PREDST,\n"
        " onr.plosht PLOSHT, onr.prplosht PRPLOSHT, onr.godot GODOT, onr.goddo GODDO, onr.suma SUMA,\n"
        " onr.id_razppari ID_RAZPPARI, razp_pari.data DATA, razp_pari.nomer NOMER,\n"
        " (case when onr.id_razppari * 1 > 0 then 'да' else 'не' end ) ISIZPL,\n"
        " (case when onr.id_razppari * 1 > 0 then onr.suma else 0 end) IZPLSUMA,\n"
        " firma.adress ADRESS, firma.naim_firma NAIM_FIRMA, firma.ein EIN, firma.indds INDDS, hora.adres ADRES\n"
        "from razp_pari right outer join onr on (razp_pari.id_razppari = onr.id_razppari)\n"
        " inner join hora on (onr.id_hora = hora.id_hora)\n"
        " cross join firma\n");
}

std::vector<ListColumn> pastRentColumns()
{
    // ID_ONR, ID_HORA, PREDST, ID_RAZPPARI, IZPLSUMA and the firm's and
    // address columns are read for the commands, totals and receipt, not shown.
    return {
        textColumn("EGN", "ЕГН/ЛНЧ/ЕИН"),
        textColumn("IME", "Име/Наименование"),
        figureColumn("PLOSHT", "Площ в дка", "#0.000"),
        figureColumn("PRPLOSHT", "Приравнена площ", "#0.000"),
        figureColumn("SUMA", "Рента в лв", "#0.00"),
        figureColumn("GODOT", "Година: От", ""),
        figureColumn("GODDO", "Година: До", ""),
        textColumn("ISIZPL", "Изплатена"),
        figureColumn("NOMER", "Разписка №", ""),
        textColumn("DATA", "Разписка: Дата"),
    };
}

std::vector<kit::SumSpec> pastRentSums()
{
    return {
        {QStringLiteral("labSumPl"), QStringLiteral("Площ:"), QStringLiteral("PLOSHT")},
        kit::moneySum("labSumOstatyk", "Общо рента:", "SUMA"),
        kit::moneySum("labSumIzpl", "Общо изплатена рента:", "IZPLSUMA"),
    };
}

// The four boxes in the order their conditions join: the name anywhere,
// then the paid mark, the first and the last year, each as a prefix.
std::vector<kit::FilterSpec> pastRentFilters()
{
    const auto box = [](const char* name, const char* label, const char* fragment) {
        return kit::FilterSpec{QLatin1String(name), QString::fromUtf8(label), {QString::fromUtf8(fragment)}};
    };
    return {
        box("edFilterIme", "Име/Наименование:", "(upper(hora.ime) containing upper("),
        box("edFilterIsIzpl",
            "Изплатена:", " (upper((case when onr.id_razppari*1>0 then 'да' else 'не' end)) starting with upper("),
        box("edFilterGodOt", "Година: От", " (upper(onr.godot) starting with upper("),
        box("edFilterGodDo", "Година: До", " (upper(onr.goddo) starting with upper("),
    };
}

kit::RegisterForm pastRentForm(TDM& dm, SortSwitch& direction)
{
    return {
        .kind = QStringLiteral("TFNerazdadenaRenta"),
        .caption = QStringLiteral("Списък за рента от минали години"),
        .list = {.grid = QStringLiteral("jvdbgridSpisykRenta"),
                 .query = QStringLiteral("QuerySobstvNR"),
                 .areaName = QStringLiteral("IBTQSNR"),
                 .areaOptions = fb::TransactionOptions::readCommitted(true),
                 .statement = {.base = {pastRentBase()},
                               .defaultOrder =
                                   {QStringLiteral(" order by "),
                                    QStringLiteral(" hora.ime, hora.egn, onr.plosht, onr.godot, onr.goddo, onr.suma ")},
                               .whereLine = QStringLiteral(" WHERE  ")},
                 .columns = pastRentColumns(),
                 .key = kIdOnr,
                 .buttons = {{QStringLiteral("butIzplRenta"), QStringLiteral("Изплати рента")},
                             {QStringLiteral("butDelIzplRenta"), QStringLiteral("Изтриване на плащането")},
                             {QStringLiteral("btnPrintRazp"), QStringLiteral("Разписка")},
                             {QStringLiteral("bitPrintAll"), QStringLiteral("Печат")}},
                 .filters = pastRentFilters(),
                 .searchBox = QStringLiteral("edEGN"),
                 .searchLabel = QStringLiteral("Въведете ЕГН/ЛНЧ/ЕИН:"),
                 .searchField = QStringLiteral("EGN"),
                 .searchLength = 10,
                 .searchFrom = ListGrid::SearchFrom::Top,
                 .searchTakesBackspace = false,
                 // The line before the sort line already is " order by ".
                 .sort = SortForm::lastLine(QString()),
                 .direction = &direction,
                 .visibleRows = 20,
                 .sums = pastRentSums()},
        .commands = {.add = {}, .correct = {}, .remove = {}},
        .database = &dm.IBDatabase1,
    };
}

bool isPaid(const fb::Value& payment)
{
    return !payment.isNull() && payment.toInt64() >= 1;
}

}  // namespace

TFNerazdadenaRenta::TFNerazdadenaRenta(TDM& dm, Prompter& prompter, reports::OutputChooser& outputs,
                                       SortSwitch& direction, QWidget* parent)
    : RegisterScreen(prompter, pastRentForm(dm, direction), parent),
      dm_(dm),
      IBTRKO(dm.IBDatabase1, QStringLiteral("IBTRKO")),
      TRKO(IBTRKO, QStringLiteral("TRKO")),
      SpisykNR(QStringLiteral("SpisykNR.rav"), prompter, this),
      Razpiska(QStringLiteral("Razpiska_pari_MG.rav"), prompter, this)
{
    // The owner's payment the row links; a row of another owner never finds it.
    TRKO.sql().setLines({QStringLiteral(
        "select * from razp_pari where (razp_pari.id_razppari = :ID_RAZPPARI) and (razp_pari.id_hora = :ID_HORA)")});
    for (reports::ReportProject* project : {&SpisykNR, &Razpiska}) {
        project->setOutputChooser(outputs);
        project->bindConnection(QStringLiteral("rvdsQSNR"), rows());
    }
    Razpiska.bindConnection(QStringLiteral("rvdsRKONR"), TRKO);
    // The list printed under a filter names it.
    SpisykNR.setFilter(reports::listFilter(*list(), form().list.filters, *this));
    const auto on = [this](const char* name, void (TFNerazdadenaRenta::*slot)()) {
        connect(control<QPushButton>(QLatin1String(name)), &QPushButton::clicked, this, slot);
    };
    on("butIzplRenta", &TFNerazdadenaRenta::pay);
    on("butDelIzplRenta", &TFNerazdadenaRenta::takePaymentBack);
    on("btnPrintRazp", &TFNerazdadenaRenta::printReceipt);
    connect(control<QPushButton>(QStringLiteral("bitPrintAll")), &QPushButton::clicked, this,
            [this] { SpisykNR.execute(); });
    connect(&rows(), &dataset::Dataset::currentChanged, this, &TFNerazdadenaRenta::rowChanged);
    control<QPushButton>(QStringLiteral("butDelIzplRenta"))->setEnabled(false);
    start();
    rowChanged();
    SpisykNR.open();
    Razpiska.open();
    // The window's first activation comes as it is shown, before the event
    // loop runs again: nothing can have changed since the read just made.
    QTimer::singleShot(0, this, [this] { freshlyRead_ = false; });
}

// Payments made or taken back elsewhere show at once, on the row the user
// was on (the window is active again after every cash receipt dialog too).
void TFNerazdadenaRenta::becameActive()
{
    if (!freshlyRead_)
        rereadOn(list()->value(kIdOnr));
}

// An unpaid row can be paid; a paid one can have its payment taken back
// and its receipt printed.
void TFNerazdadenaRenta::rowChanged()
{
    const bool paid = isPaid(list()->value(kPayment));
    control<QPushButton>(QStringLiteral("butIzplRenta"))->setEnabled(!paid);
    control<QPushButton>(QStringLiteral("butDelIzplRenta"))->setEnabled(paid);
    control<QPushButton>(QStringLiteral("btnPrintRazp"))->setEnabled(paid);
}

void TFNerazdadenaRenta::rereadOn(const fb::Value& idOnr)
{
    list()->reread(kIdOnr, idOnr);
    rowChanged();
}

// The payment and the row's link to it are stored in one transaction: a
// link that cannot be written leaves no payment behind either.
void TFNerazdadenaRenta::pay()
{
    const fb::Value amount = list()->value(QStringLiteral("SUMA"));
    if (amount.isNull() || amount.toDouble() <= 0)
        return;
    const fb::Value idOnr = list()->value(kIdOnr);
    TFRKO dialog(dm_, prompter(), this);
    try {
        TFRKO::appendPayment(dm_);
        dm_.TRKO.field(QStringLiteral("ID_HORA")).setValue(list()->value(QStringLiteral("ID_HORA")));
        dm_.TRKO.field(QStringLiteral("SUMA")).setValue(amount);
        dm_.TRKO.field(QStringLiteral("PREDSTRP")).setValue(list()->value(QStringLiteral("PREDST")));
        dm_.TRKO.field(QStringLiteral("PMG")).setValue(1);
    } catch (const fb::Error& e) {
        failure::show(prompter(), QStringLiteral("Плащането не е записано."), e);
        return;
    }
    dialog.storeAlongside([idOnr](fb::Connection& c, fb::Transaction& tr, const fb::Value& payment) {
        fb::execute(c, tr, QStringLiteral("update onr set id_razppari = ? where id_onr = ?"), {payment, idOnr});
    });
    dialog.run();
    rereadOn(idOnr);
}

// TRKO over the current row's own payment, in a fresh read.
void TFNerazdadenaRenta::openRowsPayment()
{
    if (IBTRKO.isActive())
        IBTRKO.commit();
    TRKO.setParam(kPayment, list()->value(kPayment));
    TRKO.setParam(QStringLiteral("ID_HORA"), list()->value(QStringLiteral("ID_HORA")));
    TRKO.open();
}

// The payment goes and the row is unpaid again, together or not at all.
void TFNerazdadenaRenta::takePaymentBack()
{
    const fb::Value idOnr = list()->value(kIdOnr);
    try {
        openRowsPayment();
        if (TRKO.isEmpty())
            return;
        const fb::Value payment = TRKO.field(kPayment).value();
        if (!prompter().confirm(QStringLiteral("Моля, потвърдете изтриването!"), Prompter::Default::No))
            return;
        fb::Connection& c = dm_.IBDatabase1.connection();
        fb::Transaction& tr = IBTRKO.transaction();
        fb::execute(c, tr, QStringLiteral("delete from razp_pari where id_razppari = ?"), {payment});
        fb::execute(c, tr, QStringLiteral("update onr set id_razppari = 0 where id_onr = ?"), {idOnr});
        IBTRKO.commit();
    } catch (const fb::Error& e) {
        if (IBTRKO.isActive())
            IBTRKO.rollback();
        failure::show(prompter(), QStringLiteral("Плащането не е отменено."), e);
    }
    rereadOn(idOnr);
}

void TFNerazdadenaRenta::printReceipt()
{
    try {
        openRowsPayment();
    } catch (const fb::Error& e) {
        failure::show(prompter(), QStringLiteral("Разписката не може да бъде отпечатана."), e);
        return;
    }
    if (Razpiska.open())
        Razpiska.execute();
    try {
        if (IBTRKO.isActive())
            IBTRKO.commit();
    } catch (const fb::Error& e) {
        failure::show(prompter(), QStringLiteral("Разписката не може да бъде отпечатана."), e);
    }
}

void TFNerazdadenaRenta::aboutToClose()
{
    try {
        if (IBTRKO.isActive())
            IBTRKO.commit();
    } catch (const fb::Error&) {
        // closing goes on; the read transaction had nothing to keep
    }
    SpisykNR.close();
    Razpiska.close();
    RegisterScreen::aboutToClose();
}
