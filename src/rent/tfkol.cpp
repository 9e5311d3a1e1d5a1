#include "rent/tfkol.h"

#include "common/failure.h"
#include "common/number_field.h"
#include "common/prompter.h"
#include "common/screen.h"
#include "common/small_dialog.h"
#include "dataset/binders.h"
#include "dm/domains.h"
#include "dm/tdm.h"
#include "fb/error.h"
#include "rent/line_quantity.h"
#include "rent/tfrentakult.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

const QString kRk = QStringLiteral("ID_RK");
const QString kKol = QStringLiteral("KOL");
constexpr int kMoneyGoods = 1;

// The quantity's domain: whole units of goods, or leva to the stotinka.
dataset::Domain quantityDomain(bool money)
{
    return dm::domain(QStringLiteral("RAZP RENTA"), kKol, money ? QString() : QStringLiteral("goods"));
}

}  // namespace

TFKol::TFKol(TDM& dm, Prompter& prompter, QWidget* parent)
    : QDialog(parent), dm_(dm), prompter_(prompter), QueryRKult(dm.IBTRK, QStringLiteral("QueryRKult"))
{
    QueryRKult.sql().setLines({QStringLiteral("select * from rentakult"), QStringLiteral("where rentakult.id_rk > 1"),
                               QStringLiteral("order by rentakult.id_rk")});
    setUpSmallDialog(this, QStringLiteral("TFKol"), QStringLiteral("Въведете количество"));
    buildControls();
}

void TFKol::buildControls()
{
    dbedKol = new NumberField(quantityDomain(true), this);
    dbedKol->setObjectName(QStringLiteral("dbedKol"));

    dblcbRKult = new QComboBox(this);
    dblcbRKult->setObjectName(QStringLiteral("dblcbRKult"));
    dblcbRKult->setMinimumContentsLength(20);
    new dataset::LookupComboBinder(dblcbRKult, QueryRKult, kRk, QStringLiteral("RK"), &dm_.TRR, kRk);
    btnRKNew = new QPushButton(QStringLiteral("..."), this);
    btnRKNew->setObjectName(QStringLiteral("btnRKNew"));
    btnRKNew->setToolTip(QStringLiteral("Раздадена култура"));
    btnRKNew->setAutoDefault(false);
    btnRKNew->setFixedWidth(btnRKNew->fontMetrics().horizontalAdvance(QStringLiteral("...")) + 16);
    connect(btnRKNew, &QPushButton::clicked, this, &TFKol::addGoods);
    auto* goods = new QHBoxLayout;
    goods->addWidget(dblcbRKult);
    goods->addWidget(btnRKNew);
    labRKult = new QLabel(QStringLiteral("Култура:"), this);
    labRKult->setObjectName(QStringLiteral("labRKult"));

    auto* form = new QFormLayout(this);
    form->addRow(QStringLiteral("Количество:"), dbedKol);
    form->addRow(labRKult, goods);
    form->addRow(saveCancelRow(this, [this] { save(); }));
    form->setSizeConstraint(QLayout::SetFixedSize);
}

bool TFKol::run(double ec, double razl, int rentType, const QString& dueGoods)
{
    ec_ = ec;
    razl_ = razl;
    rentType_ = rentType;
    dueGoods_ = dueGoods.trimmed();
    for (QWidget* w : std::initializer_list<QWidget*>{labRKult, dblcbRKult, btnRKNew})
        w->setVisible(!isMoney());
    dbedKol->setDomain(quantityDomain(isMoney()));

    const dataset::Dataset& line = dm_.TRR;
    const double current = line.state() == dataset::State::Insert ? 0 : line.field(kKol).asDouble();
    limit_ = current + razl;
    dbedKol->setValue(line.field(kKol).isNull() ? std::nullopt : std::optional<double>(current));
    openGoods();
    startOnDueGoods();
    dbedKol->setFocus();
    const bool saved = exec() == QDialog::Accepted;
    closeGoods();
    return saved;
}

// A new goods line starts on the goods named as the row's rent type; a
// line being corrected keeps the goods it has.
void TFKol::startOnDueGoods()
{
    dataset::Dataset& line = dm_.TRR;
    if (isMoney() || !QueryRKult.isOpen() || !line.field(kRk).isNull() || !line.isEditing())
        return;
    const int name = QueryRKult.field(QStringLiteral("RK")).index();
    for (int r = 0, n = QueryRKult.rowCount(); r < n; ++r) {
        if (QueryRKult.value(r, name).toString().trimmed().compare(dueGoods_, Qt::CaseInsensitive) == 0) {
            line.field(kRk).setValue(QueryRKult.value(r, QueryRKult.field(kRk).index()));
            return;
        }
    }
}

// Goods other than the row's are handed out at the row's price: asked first.
bool TFKol::goodsKept()
{
    const QString chosen = dblcbRKult->currentText().trimmed();
    if (isMoney() || dueGoods_.isEmpty() || chosen.compare(dueGoods_, Qt::CaseInsensitive) == 0)
        return true;
    if (prompter_.confirm(QStringLiteral("Полага се „%1“, а е избрана културата „%2“. Да бъде ли записан редът?")
                              .arg(dueGoods_, chosen),
                          Prompter::Default::No))
        return true;
    dblcbRKult->setFocus();
    return false;
}

void TFKol::openGoods()
{
    try {
        QueryRKult.open();
    } catch (const fb::Error& e) {
        failure::show(prompter_, QStringLiteral("Културите не могат да бъдат прочетени."), e);
    }
}

// A snapshot of the goods would not see goods added later; the shared goods
// cursor of the same transaction is opened again after the commit.
void TFKol::closeGoods()
{
    try {
        if (dm_.IBTRK.isActive()) {
            const bool shared = dm_.TRentaKult.isOpen();
            dm_.IBTRK.commit();
            if (shared)
                dm_.TRentaKult.open();
        }
    } catch (const fb::Error& e) {
        failure::show(prompter_, QStringLiteral("Четенето на културите не може да бъде завършено."), e);
    }
    QueryRKult.close();
}

// The rent goods list commits what it adds, which closes the goods list
// here; read again, it offers the new goods at once.
void TFKol::addGoods()
{
    runModally(new TFRentaKult(dm_, prompter_, this), dblcbRKult);
    if (!QueryRKult.isOpen())
        openGoods();
}

void TFKol::save()
{
    if (!typedNumber(dbedKol->text()) || (!isMoney() && dblcbRKult->currentIndex() < 0)) {
        prompter_.message(QStringLiteral("Моля, въведете всички данни!"));
        return;
    }
    if (numberRefused(dbedKol, prompter_))
        return;
    const std::optional<double> quantity = dbedKol->value();
    if (!rent::quantityWithinLimit(*quantity, limit_)) {
        prompter_.message(QStringLiteral("Въведеното количество надвишава полагащото!"));
        return;
    }
    if (!goodsKept())
        return;
    try {
        dataset::Dataset& line = dm_.TRR;
        line.field(kKol).setValue(*quantity);
        line.field(QStringLiteral("STOINOST")).setValue(rent::lineValue(*quantity, razl_, ec_, !isMoney()));
        if (isMoney())
            line.field(kRk).setValue(kMoneyGoods);
        line.post();  // in IBTRazp, committed with the receipt
        line.refresh();
    } catch (const fb::Error& e) {
        failure::show(prompter_, QStringLiteral("Редът на разписката не е записан."), e);
        return;
    }
    accept();
}

void TFKol::reject()
{
    dm_.TRR.cancel();
    QDialog::reject();
}
