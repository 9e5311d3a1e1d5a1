#include "rent/tfsprnr.h"

#include "common/sort_switch.h"
#include "demo/writer.h"
#include "fb/connection.h"
#include "fb/statement.h"
#include "fb/transaction.h"
#include "rent_test_data.h"
#include "schema/rent_sql.h"
#include "support/pdf_text.h"
#include "support/scripted_output_chooser.h"
#include "support/screen_test.h"
#include "support/sql.h"

#include <QDate>
#include <QDir>
#include <QHash>
#include <QHeaderView>
#include <QLabel>
#include <QMap>
#include <QTableView>
#include <QTemporaryDir>

namespace {

// The small enterprise with a corn line in the rule of Изгрев/Аренда (10 kg
// at 0.20): beside its money line, two goods lines. Стоян has 1 equalised
// decare there, paid exactly; Мария is overpaid; Иван was handed more wheat
// than all his grain due, but less money; Петър is due money only and his
// past-years payment is none of this year's.
const QStringList kPayouts = {
    "insert into VIDRENTAKOL (ID_VRK, ID_RZ, KOL, EC) values (3, 1, 10, 0.2)",
    "insert into HORA (ID_HORA, EGN, IME) values (4, '7501040000', 'Стоян')",
    "insert into SOBSTV (ID_HORA, ID_ZEMQ, REDPLOSHT, PRREDPL) values (4, 101, 1, 1)",
    "insert into DOGHORAZEMI (ID_DHZ, ID_DOG, ID_ZEMQ, ID_SOBSTV, REDPLOSHT) values (8, 100, 101, 4, 1)",
    "insert into RAZP_PARI (ID_HORA, NOMER, SUMA) values (4, 1, 42)",
    "insert into RAZP_PARI (ID_HORA, NOMER, SUMA, PMG) values (2, 2, 100, 0)",
    "insert into \"RAZP DANNI\" (ID_RD, ID_HORA, NOM, SUMA) values (1, 1, 3, 62.5)",
    "insert into \"RAZP RENTA\" (ID_RR, ID_RD, ID_VR, ID_RK, KOL, STOINOST, ID_ZEML, ID_DT) "
    "values (1, 1, 2, 2, 250, 62.5, 1, 1)",
    "insert into RAZP_PARI (ID_HORA, NOMER, SUMA, PMG) values (1, 4, 0.8, 0)",
    "insert into RAZP_PARI (ID_HORA, NOMER, SUMA) values (1, 5, 10)",
    "insert into RAZP_PARI (ID_HORA, NOMER, SUMA, PMG) values (3, 6, 500, 1)",
};

class TFSprnrTest : public testsupport::ScreenTest<TFSprnr> {
protected:
    TFSprnrTest() : previous_(QDir::currentPath())
    {
        QLocale::setDefault(QLocale(QLocale::Bulgarian, QLocale::Bulgaria));
        QDir::setCurrent(QStringLiteral(ARVENTA_LAYOUTS_DIR));
    }
    ~TFSprnrTest() override
    {
        delete screen.data();
        QDir::setCurrent(previous_);
    }

    TFSprnr& open() { return show(new TFSprnr(module(), prompter, outputs, direction)); }
    QTableView* list() const { return control<QTableView>("jvdbgridNR"); }
    QStringList rows() const { return testsupport::gridRows(list()); }
    QStringList totals() const { return {control<QLabel>("labSumM")->text(), control<QLabel>("labSumZ")->text()}; }

    testsupport::ScriptedOutputChooser outputs;
    SortSwitch direction{SortSwitch::Descending};
    QTemporaryDir out;

private:
    QString previous_;
};

// Иван: 30.00 × 3.457 = 103.71 and 12.13 × 3 = 36.39 in money, wheat 138 kg
// (34.50) and 39 kg (11.70), corn 35 kg (7.00): 193.30 due, the money once;
// less 62.50 of wheat and 10.80 in cash. Grain due 138.28 + 39 + 34.57 =
// 211.85 kg, 250 handed out.
TEST_F(TFSprnrTest, ListsTheRestOfEveryOwnerStillToBePaid)
{
    testsupport::runSql(db.path(), renttest::kEnterprise + renttest::kRules + kPayouts);
    TFSprnr& s = open();
    EXPECT_EQ(s.windowTitle(), QStringLiteral("Справка нераздадена рента"));
    EXPECT_TRUE(s.isModal());
    QStringList titles;
    for (int c = 0; c < list()->model()->columnCount(); ++c)
        titles << list()->model()->headerData(c, Qt::Horizontal).toString();
    EXPECT_EQ(titles, (QStringList{"ЕГН/ЛНЧ/ЕИН", "Име/Наименование", "Рента в пари", "Зърно"}));
    EXPECT_EQ(rows(), (QStringList{"7501010000 | Иван | 120,00 | -38", "7501030000 | Петър | 33,00 | 0"}));
    EXPECT_EQ(totals(), (QStringList{"153,00 лв", "-38 кг"}));
    s.resize(s.sizeHint());
    testsupport::keepScreenshot(s.grab().toImage(), QStringLiteral("TFSprnr"));

    // The first title click of the run descending, the next ascending.
    emit list()->horizontalHeader()->sectionClicked(1);
    EXPECT_EQ(rows().value(0), QStringLiteral("7501030000 | Петър | 33,00 | 0"));
    emit list()->horizontalHeader()->sectionClicked(2);
    EXPECT_EQ(rows().value(0), QStringLiteral("7501030000 | Петър | 33,00 | 0"));
    emit list()->horizontalHeader()->sectionClicked(3);
    EXPECT_EQ(rows().value(0), QStringLiteral("7501030000 | Петър | 33,00 | 0"));

    const QString full = out.filePath(QStringLiteral("full.pdf"));
    const QString brief = out.filePath(QStringLiteral("short.pdf"));
    outputs.answerPdf(full);
    outputs.answerPdf(brief);
    click("bitPrint");
    click("bitSPrint");
    for (const QString& pdf : {full, brief}) {
        const QString printed = testsupport::pdfLines(pdf).join(u'\n');
        EXPECT_TRUE(
            printed.contains(QStringLiteral("Брой собственици: 2 Общo в пари: 153,00 лв\nОбщо в зърно: -38 кг")))
            << printed.toStdString();
    }
    outputs.answerPreview();
    click("bitSPrint");
    QWidget* preview = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible() && w->windowTitle() == QStringLiteral("Предпечат"))
            preview = w;
    ASSERT_TRUE(preview);
    preview->close();
    EXPECT_TRUE(
        testsupport::pdfLines(full).contains(QStringLiteral("7501010000 Иван 193,30 212 62,50 10,80 120,00 -38")));
    EXPECT_TRUE(prompter.shown().isEmpty()) << prompter.shown().join(u'|').toStdString();
}

// Иван's 177.28 kg and Мария's 84.28 kg show 177 and 84, but together they
// are 261.56 kg: "Общо в зърно:" is 262 on the screen and on both prints.
TEST_F(TFSprnrTest, TheGrainTotalAddsTheExactFiguresAndRoundsOnce)
{
    testsupport::runSql(db.path(),
                        renttest::kEnterprise + renttest::kRules +
                            QStringList{"update SOBSTV set PRREDPL = 2.107 where ID_HORA = 2 and ID_ZEMQ = 100"});
    open();
    QStringList grain;
    for (const QString& row : rows())
        grain << row.section(QStringLiteral(" | "), 1, 1) + QStringLiteral(" ") + row.section(QStringLiteral(" | "), 3);
    EXPECT_EQ(grain, (QStringList{"Иван 177", "Мария 84", "Петър 0"}));
    EXPECT_EQ(totals().at(1), QStringLiteral("262 кг"));

    const QString full = out.filePath(QStringLiteral("full.pdf"));
    const QString brief = out.filePath(QStringLiteral("short.pdf"));
    outputs.answerPdf(full);
    outputs.answerPdf(brief);
    click("bitPrint");
    click("bitSPrint");
    for (const QString& pdf : {full, brief}) {
        const QString printed = testsupport::pdfLines(pdf).join(u'\n');
        EXPECT_TRUE(printed.contains(QStringLiteral("Общо в зърно: 262 кг"))) << printed.toStdString();
    }
    // Sorted, the total stays.
    emit list()->horizontalHeader()->sectionClicked(3);
    EXPECT_EQ(totals().at(1), QStringLiteral("262 кг"));
    EXPECT_TRUE(prompter.shown().isEmpty()) << prompter.shown().join(u'|').toStdString();
}

// --- the rest worked out again from the stored rows alone ---

fb::Decimal times(const fb::Decimal& a, const fb::Decimal& b)
{
    return {a.units * b.units, a.scale + b.scale};
}

fb::Decimal rounded(double value, int scale)
{
    return fb::Decimal::fromDouble(value, scale);
}

using Rows = std::vector<std::vector<fb::Value>>;

struct Recomputed {
    fb::Decimal due{0, 5}, grain{0, 3};
    double paid = 0, money = 0, goods = 0, handedOut = 0;
};

// Whether a contract counts in the farming year: not terminated, or
// terminated strictly inside it, and its term overlapping it by calendar year.
bool counts(const std::vector<fb::Value>& contract, QDate from, QDate to)
{
    const fb::Value &state = contract[1], &ended = contract[2], &start = contract[3], &end = contract[4];
    if (state.isNull() || start.isNull() || end.isNull())
        return false;
    const bool terminated = state.toString() == QStringLiteral("Прекратен");
    if (terminated && (ended.isNull() || !(ended.toDate() < to && ended.toDate() > from)))
        return false;
    return start.toDate().year() < to.year() && end.toDate().year() > from.year();
}

// Owner → (OSTATYK, ZYRNO as shown), for the owners with a positive rest.
QMap<int, QString> recomputedRest(fb::Connection& c)
{
    fb::Transaction tr(c);
    const auto all = [&](const char* sql) {
        fb::Statement st(c, QString::fromUtf8(sql));
        return fb::fetchAll(st, tr);
    };
    const Rows firm = all("select fromyear, toyear from firma");
    const QDate from = firm[0][0].toDate(), to = firm[0][1].toDate();
    QHash<int, std::vector<fb::Value>> contracts;
    for (auto& r : all("select id_dog, systoqnie, datapr, otdata, dodata, id_dt from \"DOG DANNI\""))
        contracts.insert(r[0].toInt(), r);
    QHash<int, int> areaOfPlot;  // plots whose locality exists
    for (auto& r : all("select zemq.id_zemq, mestnost.id_zeml from zemq inner join mestnost "
                       "on zemq.id_mest = mestnost.id_mestn where mestnost.id_zeml is not null"))
        areaOfPlot.insert(r[0].toInt(), r[1].toInt());
    QMultiHash<QPair<int, int>, double> shares;  // (plot, owner) → equalised area
    for (auto& r : all("select id_zemq, id_hora, prredpl from sobstv"))
        shares.insert({r[0].toInt(), r[1].toInt()}, r[2].isNull() ? 0 : r[2].toDouble());
    QSet<int> owners;
    for (auto& r : all("select id_hora from hora"))
        owners.insert(r[0].toInt());
    // Rules whose area has a settlement and whose contract type exists, with their lines.
    QMultiHash<QPair<int, int>, int> rules;  // (area, type) → rule
    for (auto& r : all("select r.id_rz, r.id_zeml, r.id_dt from \"RENTA ZEML\" r inner join dogtip d on d.id_dt = "
                       "r.id_dt inner join zemlishte z on z.id_zeml = r.id_zeml inner join nas_mqsto n on "
                       "n.ekatte = z.ekatte"))
        rules.insert({r[1].toInt(), r[2].toInt()}, r[0].toInt());
    QMultiHash<int, std::vector<fb::Value>> lines;  // rule → (type, kol, ec)
    for (auto& r : all("select l.id_rz, l.id_vrk, l.kol, l.ec from vidrentakol l inner join vid_renta v "
                       "on v.id_vr = l.id_vrk"))
        lines.insert(r[0].toInt(), r);

    // The equalised area of each owner, area, contract type and state.
    QMap<std::tuple<int, int, int, QString>, fb::Decimal> shareRows;
    for (auto& r : all("select id_dog, id_zemq, id_sobstv from doghorazemi")) {
        const auto contract = contracts.constFind(r[0].toInt());
        if (contract == contracts.cend() || !counts(*contract, from, to) || !areaOfPlot.contains(r[1].toInt()))
            continue;
        const int owner = r[2].toInt();
        const auto key =
            std::make_tuple(owner, areaOfPlot.value(r[1].toInt()), (*contract)[5].toInt(), (*contract)[1].toString());
        for (double share : shares.values({r[1].toInt(), owner})) {
            auto row = shareRows.find(key);
            if (row == shareRows.end())
                row = shareRows.insert(key, fb::Decimal{0, 3});
            *row = *row + rounded(share, 3);
        }
    }
    QMap<int, Recomputed> per;
    for (auto s = shareRows.cbegin(); s != shareRows.cend(); ++s) {
        const auto& [owner, area, type, state] = s.key();
        if (!owners.contains(owner))
            continue;
        for (int rule : rules.values({area, type})) {
            Recomputed& o = per[owner];
            for (const auto& line : lines.values(rule)) {
                const double kol = line[2].toDouble(), ec = line[3].toDouble();
                if (line[1].toInt() == 1) {
                    o.due = o.due + times(times(rounded(kol, 2), rounded(ec, 5)).rescaled(2), s.value());
                } else {
                    const fb::Decimal quantity = times(rounded(kol, 0), s.value());
                    o.grain = o.grain + quantity;
                    o.due = o.due + times(quantity.rescaled(0), rounded(ec, 5));
                }
            }
        }
    }
    for (auto& r : all("select d.id_hora, l.id_vr, l.stoinost, l.kol from \"RAZP RENTA\" l "
                       "inner join \"RAZP DANNI\" d on d.id_rd = l.id_rd inner join vid_renta v on v.id_vr = l.id_vr "
                       "inner join rentakult k on k.id_rk = l.id_rk")) {
        if (!per.contains(r[0].toInt()))
            continue;
        Recomputed& o = per[r[0].toInt()];
        (r[1].toInt() == 1 ? o.money : o.goods) += r[2].isNull() ? 0 : r[2].toDouble();
        if (r[1].toInt() != 1)
            o.handedOut += r[3].isNull() ? 0 : r[3].toDouble();
    }
    for (auto& r : all("select id_hora, suma from razp_pari where pmg is null or pmg <> 1"))
        if (per.contains(r[0].toInt()))
            per[r[0].toInt()].paid += r[1].toDouble();
    tr.commit();

    QMap<int, QString> rest;
    for (auto o = per.cbegin(); o != per.cend(); ++o) {
        const fb::Decimal left = o->due.rescaled(2) - rounded(o->paid, 2) - rounded(o->money, 2) - rounded(o->goods, 2);
        if (left.units > 0)
            rest.insert(o.key(), left.toString(QLatin1Char(',')) + QStringLiteral(" | ") +
                                     QString::number(qRound64(o->grain.toDouble() - o->handedOut)));
    }
    return rest;
}

// On a generated enterprise with its payouts: the report lists exactly the
// owners and figures worked out from the stored rows, and the year closing
// would carry over the same rests.
TEST_F(TFSprnrTest, TheReportAgreesWithTheRestWorkedOutAgainAndWithTheCarryOver)
{
    fb::Connection c;
    c.attach(db.path());
    demo::fill(c, {120, 500, 7});
    const QMap<int, QString> expected = recomputedRest(c);
    ASSERT_GT(expected.size(), 30);

    open();
    QMap<int, QString> shown;
    dataset::Dataset& rows = screen->rows();
    for (int r = 0; r < rows.rowCount(); ++r) {
        const QModelIndex rest = list()->model()->index(r, 2), grain = list()->model()->index(r, 3);
        shown.insert(rows.value(r, rows.field(QStringLiteral("ID_SOBSTV")).index()).toInt(),
                     rest.data().toString() + QStringLiteral(" | ") + grain.data().toString());
    }
    EXPECT_EQ(shown, expected);

    fb::Transaction tr(c);
    fb::Statement carried(
        c, QStringLiteral("select id_sobstv, OSTATYK from (") + schema::rent::unpaidRest() + QStringLiteral(")"));
    QMap<int, QString> closing;
    for (const auto& r : fb::fetchAll(carried, tr))
        closing.insert(r[0].toInt(), r[1].toDecimal().toString(QLatin1Char(',')));
    tr.commit();
    QMap<int, QString> reported;
    for (auto s = shown.cbegin(); s != shown.cend(); ++s)
        reported.insert(s.key(), s.value().section(QStringLiteral(" | "), 0, 0));
    EXPECT_EQ(reported, closing);
    EXPECT_TRUE(prompter.shown().isEmpty()) << prompter.shown().join(u'|').toStdString();
}

}  // namespace

namespace {

// A rule line stored with a quantity no statement can multiply is named,
// and every owner's rest is still listed, worked out without it.
TEST_F(TFSprnrTest, AnAbsurdStoredRuleLineIsNamedAndHidesNobodysRest)
{
    testsupport::runSql(db.path(), renttest::kEnterprise + renttest::kRules + kPayouts +
                                       QStringList{"update VIDRENTAKOL set KOL = 1e20 where ID_VRK = 3 and ID_RZ = 1"});
    open();
    ASSERT_EQ(prompter.shown().size(), 1);
    EXPECT_TRUE(prompter.shown().first().startsWith(
        QStringLiteral("Рентата не може да бъде изчислена за:\n- правило: землище Изгрев, тип договор Аренда, "
                       "вид рента Царевица\n")))
        << prompter.shown().first().toStdString();
    EXPECT_EQ(rows(), (QStringList{"7501010000 | Иван | 113,00 | -73", "7501030000 | Петър | 33,00 | 0"}));
}

}  // namespace
