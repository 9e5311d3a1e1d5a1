#include "reports/tfimotspr.h"

#include "common/failure.h"
#include "common/list_sums.h"
#include "common/prompter.h"
#include "dataset/formats.h"
#include "dm/tdm.h"
#include "fb/error.h"
#include "schema/equalised_area.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QVBoxLayout>

namespace {

const QString kArea = QStringLiteral("#0.000");
const Qt::Alignment kRight = Qt::AlignRight | Qt::AlignVCenter;
const QString kIdZemq = QStringLiteral("id_zemq");

// The plot's own columns with the names its keys stand for.
const char* const kPlot =
    "select nas_mqsto.naim_nm, mestnost.naim_mestn, zemq.imot_no, zemq.imot_no2, ntp.naim_ntp, fs.naim_fs, "
    "kultura.naim_kult, viddoksobstv.naim_vds, zemq.polpl, zemq.obrab, zemq.komasiran, zemq.komasin, zemq.komasip, "
    "zemq.svvhregno, zemq.svaktno, zemq.svtom, zemq.svdelo, zemq.nznomer, zemq.nztom, zemq.nzregno, zemq.nzdelo, "
    "zemq.nzdata, zemq.notregno, zemq.oszgregno, zemq.plosht from zemq "
    "left join kultura on kultura.id_kult = zemq.id_kult left join fs on fs.id_fs = zemq.id_fs "
    "left join viddoksobstv on viddoksobstv.id_vds = zemq.id_vds left join ntp on ntp.id_ntp = zemq.id_ntp "
    "left join mestnost on mestnost.id_mestn = zemq.id_mest "
    "left join zemlishte on zemlishte.id_zeml = mestnost.id_zeml "
    "left join nas_mqsto on nas_mqsto.ekatte = zemlishte.ekatte where zemq.id_zemq = :id_zemq";

// A category without a coefficient row is not listed.
QString categoriesStatement()
{
    return QStringLiteral(
               "select kategoriq.vid, kategoriq.plosht, %1 prpl from category_coefficient "
               "inner join kategoriq on category_coefficient.category = kategoriq.vid "
               "where kategoriq.id_zemq = :id_zemq group by kategoriq.id_zemq, kategoriq.vid, "
               "kategoriq.plosht, category_coefficient.coefficient")
        .arg(schema::prplSql(QStringLiteral("kategoriq.plosht"), QStringLiteral("category_coefficient.coefficient")));
}

const char* const kOwners =
    "select hora.egn, hora.ime, sobstv.chast, sobstv.redplosht, sobstv.prredpl, \"DOG DANNI\".nomer from hora "
    "inner join sobstv on sobstv.id_hora = hora.id_hora "
    "left join \"DOG DANNI\" on sobstv.id_dog = \"DOG DANNI\".id_dog where sobstv.id_zemq = :id_zemq";

const char* const kHistory =
    "select hora.egn, hora.ime, istoriq.vidsobstv, istoriq.chast, istoriq.plosht from istoriq "
    "inner join hora on hora.id_hora = istoriq.id_hora where istoriq.id_zemq = :id_zemq";

ListColumn area(const char* field, const char* title)
{
    return {.field = QLatin1String(field), .title = QString::fromUtf8(title), .format = kArea, .alignment = kRight};
}

ListColumn text(const char* field, const char* title)
{
    return {QLatin1String(field), QString::fromUtf8(title)};
}

fb::Decimal shownArea(const fb::Value& v)
{
    return v.isNull() ? fb::Decimal{0, 3} : v.toDecimal(3).rescaled(3);
}

}  // namespace

TFImotSpr::TFImotSpr(TDM& dm, Prompter& prompter, dataset::Dataset& plots, QWidget* parent)
    : ListScreen(prompter, parent),
      plots_(&plots),
      IBTImotSpr(dm.IBDatabase1, QStringLiteral("IBTImotSpr")),
      QueryImot(IBTImotSpr, QStringLiteral("QueryImot")),
      QueryKategoriq(IBTImotSpr, QStringLiteral("QueryKategoriq")),
      QuerySobstv(IBTImotSpr, QStringLiteral("QuerySobstv")),
      QueryIstoriq(IBTImotSpr, QStringLiteral("QueryIstoriq"))
{
    setObjectName(QStringLiteral("TFImotSpr"));
    setWindowTitle(QStringLiteral("Имот"));
    QueryImot.sql().setLines({QString::fromUtf8(kPlot)});

    auto* left = new QVBoxLayout;
    left->addWidget(buildHeader());
    left->addWidget(buildGroup("Съдебна заверка",
                               {{"dbedSvVhRegNo", "Вх. рег. №:", "SVVHREGNO"},
                                {"dbedSvAktNo", "Акт №:", "SVAKTNO"},
                                {"dbedSvTom", "Том:", "SVTOM"},
                                {"dbedSvDelo", "Дело:", "SVDELO"}},
                               2));
    left->addWidget(buildGroup("Нотариална заверка",
                               {{"dbedNzNomer", "Номер:", "NZNOMER"},
                                {"dbedNzTom", "Том:", "NZTOM"},
                                {"dbedNzRegNo", "Рег. №:", "NZREGNO"},
                                {"dbedNzDelo", "Дело №:", "NZDELO"},
                                {"dbedNzData", "Дата:", "NZDATA"},
                                {"dbedNotRegNo", "Нотариус - Рег. №:", "NOTREGNO"}},
                               2));
    left->addWidget(buildGroup("ОСЗГ", {{"dbedOszgRegNo", "Рег. №/ Дата:", "OSZGREGNO"}}, 1));
    left->addWidget(buildConsolidation());
    left->addStretch();

    auto* right = new QVBoxLayout;
    right->addWidget(buildList("Категория", "jvdbgridKat", QueryKategoriq,
                               {text("VID", "Кат."), area("PLOSHT", "Площ"), area("PRPL", "Пр. площ")},
                               categoriesStatement(), "Kat"));
    right->addWidget(buildList("Собственици", "jvdbgridSobstv", QuerySobstv,
                               {text("EGN", "ЕГН/ЛНЧ/ЕИН"), text("IME", "Име/Наименование"), text("CHAST", "Част"),
                                area("REDPLOSHT", "Площ"), area("PRREDPL", "Пр. площ"), text("NOMER", "Дог. №")},
                               QString::fromUtf8(kOwners), "Sobst"));
    right->addWidget(buildList("Собственици по документ/бивши/пълномощници", "jvdbgridIstoriq", QueryIstoriq,
                               {text("EGN", "ЕГН/ЛНЧ/ЕИН"), text("IME", "Име/Наименование"),
                                text("VIDSOBSTV", "Вид собственик"), text("CHAST", "Част"), area("PLOSHT", "Площ")},
                               QString::fromUtf8(kHistory), "Istoriq"));
    right->addWidget(buildAreaLines());

    auto* columns = new QHBoxLayout;
    columns->addLayout(left);
    columns->addLayout(right, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    button(QStringLiteral("bitZapis"), QStringLiteral("Запис"))->setEnabled(false);
    buttons->addWidget(findChild<QPushButton*>(QStringLiteral("bitZapis")));
    QPushButton* cancel = button(QStringLiteral("bitOtkaz"), QStringLiteral("Отказ"));
    connect(cancel, &QPushButton::clicked, this, &TFImotSpr::closeWindow);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(columns);
    layout->addLayout(buttons);

    connect(&plots, &dataset::Dataset::currentChanged, this, &TFImotSpr::followRow);
    followRow();
}

// The queries go before their transaction; what is still open is committed.
TFImotSpr::~TFImotSpr()
{
    try {
        if (IBTImotSpr.isActive())
            IBTImotSpr.commit();
    } catch (const fb::Error&) {
        // A read transaction has nothing to lose; the engine ends it with the attachment.
    }
}

// ---------------------------------------------------------------- building

// A field shown in a control that takes no input.
QLineEdit* TFImotSpr::shownEdit(const char* name, QWidget* parent)
{
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QLatin1String(name));
    edit->setEnabled(false);
    return edit;
}

QWidget* TFImotSpr::buildHeader()
{
    auto* header = new QWidget(this);
    auto* grid = new QGridLayout(header);
    grid->setContentsMargins(0, 0, 0, 0);
    const Shown fields[] = {
        {"lblZemlishte", "Землище:", "NAIM_NM"},
        {"lblMestnost", "Местност:", "NAIM_MESTN"},
        {"dbtImotNo", "Имот №:", "IMOT_NO"},
        {"dbedImotNo2", "", "IMOT_NO2"},
        {"jvdblcNTP", "Начин на трайно ползване:", "NAIM_NTP"},
        {"jvdblcFS", "Форма на стопанисване:", "NAIM_FS"},
        {"jvdblcKult", "Засята култура:", "NAIM_KULT"},
        {"jvdblcVDS", "Документ за собственост:", "NAIM_VDS"},
        {"dbedPolPl", "Поливна площ:", "POLPL"},
    };
    int row = 0;
    for (const Shown& f : fields) {
        QLineEdit* edit = shownEdit(f.name, header);
        shown_.insert(QLatin1String(f.field), edit);
        if (!*f.label) {
            grid->addWidget(edit, row - 1, 2);  // the second number beside the first
            continue;
        }
        grid->addWidget(new QLabel(QString::fromUtf8(f.label), header), row, 0);
        grid->addWidget(edit, row, 1, 1, f.field == QLatin1String("IMOT_NO") ? 1 : 2);
        ++row;
    }
    auto* arable = new QGroupBox(QStringLiteral("Обработваем"), header);
    arable->setObjectName(QStringLiteral("rgObrab"));
    obrab_ = new QButtonGroup(arable);
    auto* arableRow = new QHBoxLayout(arable);
    for (auto [id, caption] : {std::pair{0, "Да"}, std::pair{1, "Не"}}) {
        auto* r = new QRadioButton(QString::fromUtf8(caption), arable);
        obrab_->addButton(r, id);
        arableRow->addWidget(r);
    }
    arable->setEnabled(false);
    grid->addWidget(arable, row, 0, 1, 3);
    return header;
}

QGroupBox* TFImotSpr::buildGroup(const char* caption, std::initializer_list<Shown> fields, int columns)
{
    auto* group = new QGroupBox(QString::fromUtf8(caption), this);
    auto* grid = new QGridLayout(group);
    int i = 0;
    for (const Shown& f : fields) {
        QLineEdit* edit = shownEdit(f.name, group);
        shown_.insert(QLatin1String(f.field), edit);
        grid->addWidget(new QLabel(QString::fromUtf8(f.label), group), i / columns, (i % columns) * 2);
        grid->addWidget(edit, i / columns, (i % columns) * 2 + 1);
        ++i;
    }
    return group;
}

QGroupBox* TFImotSpr::buildConsolidation()
{
    auto* box =
        buildGroup("Комасация", {{"dbedKomasIN", "Имот №:", "KOMASIN"}, {"dbedKomasIP", "Площ:", "KOMASIP"}}, 1);
    auto* grid = static_cast<QGridLayout*>(box->layout());
    consolidation_ = new QButtonGroup(box);
    for (auto [id, caption] : {std::pair{0, "Не"}, std::pair{1, "Да"}}) {
        auto* r = new QRadioButton(QString::fromUtf8(caption), box);
        r->setObjectName(id ? QStringLiteral("rbKomasDa") : QStringLiteral("rbKomasNe"));
        r->setEnabled(false);
        consolidation_->addButton(r, id);
        grid->addWidget(r, 2, id);
    }
    return box;
}

// A list of the plot in its group, with its add, correct and delete buttons, which do nothing here.
QGroupBox* TFImotSpr::buildList(const char* caption, const char* grid, dataset::Dataset& rows,
                                std::vector<ListColumn> columns, const QString& statement, const char* buttons)
{
    auto* box = new QGroupBox(QString::fromUtf8(caption), this);
    QTableView* view = this->grid(QLatin1String(grid), box, 4);
    ListGrid& list = addList(view, rows, std::move(columns));
    list.setStatement({.base = {statement}, .defaultOrder = {}});
    list.setCommitOnReread(false);  // the four queries share one transaction
    lists_.push_back(&list);
    auto* column = new QVBoxLayout;
    for (auto [what, caption] :
         {std::pair{"Dob", "Добавяне"}, std::pair{"Kor", "Корекция"}, std::pair{"Del", "Изтриване"}})
        column->addWidget(button(QStringLiteral("bit%1%2").arg(QLatin1String(buttons), QLatin1String(what)),
                                 QString::fromUtf8(caption), box));
    for (QPushButton* b : box->findChildren<QPushButton*>())
        b->setEnabled(false);
    column->addStretch();
    auto* row = new QHBoxLayout(box);
    row->addWidget(view, 1);
    row->addLayout(column);
    return box;
}

QWidget* TFImotSpr::buildAreaLines()
{
    auto* lines = new QWidget(this);
    auto* grid = new QGridLayout(lines);
    grid->setContentsMargins(0, 0, 0, 0);
    const auto put = [&](int row, int col, const char* name, const char* label) {
        auto* value = new QLabel(lines);
        value->setObjectName(QLatin1String(name));
        value->setAlignment(kRight);
        lines_.insert(QLatin1String(name), value);
        grid->addWidget(new QLabel(QString::fromUtf8(label), lines), row, col);
        grid->addWidget(value, row, col + 1);
    };
    put(0, 0, "lblPlosht", "Площ:");
    put(0, 2, "lblRed", "Редуцирана площ:");
    put(0, 4, "lblRedDiff", "Разлика:");
    put(1, 0, "lblPrPlosht", "Приравнена площ:");
    put(1, 2, "lblPrRed", "Приравнена редуцирана площ:");
    put(1, 4, "lblPrRedDiff", "Разлика:");
    return lines;
}

// ---------------------------------------------------------------- following the list

// The plot of the list's current row, read afresh with its three lists.
void TFImotSpr::followRow()
{
    if (!plots_ || !plots_->isOpen())
        return;
    const dataset::Field* key = plots_->isEmpty() ? nullptr : plots_->findField(QStringLiteral("ID_ZEMQ"));
    const fb::Value idZemq = key ? key->value() : fb::Value();
    try {
        if (IBTImotSpr.isActive())
            IBTImotSpr.commit();
        for (dataset::Dataset* d : {&QueryImot, &QueryKategoriq, &QuerySobstv, &QueryIstoriq})
            d->setParam(kIdZemq, idZemq);
        QueryImot.open();
    } catch (const fb::Error& e) {
        failure::show(prompter(), QStringLiteral("Данните на имота не са прочетени."), e);
    }
    for (ListGrid* list : lists_)
        list->reread();
    showPlot();
    showAreaLines();
}

void TFImotSpr::showPlot()
{
    const bool plot = QueryImot.isOpen() && !QueryImot.isEmpty();
    const auto value = [&](const QString& field) { return plot ? QueryImot.field(field).value() : fb::Value(); };
    for (auto it = shown_.cbegin(); it != shown_.cend(); ++it) {
        const fb::Value v = value(it.key());
        const bool isArea = it.key() == QLatin1String("POLPL") || it.key() == QLatin1String("KOMASIP");
        it.value()->setText(isArea && !v.isNull() ? dataset::formats::number(v.toDouble(), kArea)
                                                  : (plot ? QueryImot.field(it.key()).displayText() : QString()));
    }
    // Arable shows "Не" only when it was stored so.
    obrab_->button(value(QStringLiteral("OBRAB")).toInt() == 1 ? 1 : 0)->setChecked(plot);
    consolidation_->button(value(QStringLiteral("KOMASIRAN")).toInt() != 0 ? 1 : 0)->setChecked(plot);
}

// The plot's area against its owners' shares, and its equalised area
// (its categories') against their equalised shares.
void TFImotSpr::showAreaLines()
{
    const bool plot = QueryImot.isOpen() && !QueryImot.isEmpty();
    const fb::Decimal area = shownArea(plot ? QueryImot.field(QStringLiteral("PLOSHT")).value() : fb::Value());
    const fb::Decimal shares = listSum(QuerySobstv, QStringLiteral("REDPLOSHT"));
    const fb::Decimal equalised = listSum(QueryKategoriq, QStringLiteral("PRPL"));
    const fb::Decimal equalisedShares = listSum(QuerySobstv, QStringLiteral("PRREDPL"));
    const auto show = [this](const char* name, const fb::Decimal& d) {
        lines_[QLatin1String(name)]->setText(sumText(d, {}));
    };
    show("lblPlosht", area);
    show("lblRed", shares);
    show("lblRedDiff", area - shares);
    show("lblPrPlosht", equalised);
    show("lblPrRed", equalisedShares);
    show("lblPrRedDiff", equalised - equalisedShares);
}
