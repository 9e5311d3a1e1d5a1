// rent-due DB [--check]: the rent list's per-owner rent due and rest, read
// through the kept figures and computed by the statement, both in one run;
// what bringing the kept figures up to date costs after one share's edit and
// after a farming-year move (both put back afterwards), and the kept
// contracted areas per plot and locality after one contract line's edit. With
// --check every owner's rent due is worked out again here from the raw rows,
// with the database's rounding, and compared, and the kept list is compared
// with the computed one row for row.
#include "bench/bench.h"

#include "fb/connection.h"
#include "fb/error.h"
#include "fb/statement.h"
#include "fb/transaction.h"
#include "schema/plot_area_cache.h"
#include "schema/rent_due_cache.h"
#include "schema/schema.h"

#include <QElapsedTimer>
#include <QHash>
#include <QSet>
#include <QTextStream>

#include <map>
#include <utility>
#include <tuple>

namespace bench {

namespace {

using fb::Decimal;

std::vector<std::vector<fb::Value>> rows(fb::Connection& c, fb::Transaction& tr, const char* sql)
{
    fb::Statement st(c, QString::fromUtf8(sql));
    return fb::fetchAll(st, tr);
}

QSet<QString> keys(fb::Connection& c, fb::Transaction& tr, const char* sql)
{
    QSet<QString> set;
    for (const auto& r : rows(c, tr, sql))
        set.insert(r[0].toString());
    return set;
}

// A float column cast to an exact decimal of `scale`, as the database does it.
Decimal exact(const fb::Value& v, int scale)
{
    return Decimal::fromDouble(v.toDouble(), scale);
}

Decimal times(const Decimal& a, const Decimal& b)
{
    return {a.units * b.units, a.scale + b.scale};
}

struct Contract {
    bool counts;
    int type;
    QString state;
};

// The farming-year condition, worked out on one contract's row.
bool counts(const std::vector<fb::Value>& r, QDate from, QDate to)
{
    const fb::Value &state = r[1], &terminated = r[2], &start = r[3], &end = r[4];
    if (state.isNull() || start.isNull() || end.isNull())
        return false;
    if (state.toString() == QStringLiteral("Прекратен") &&
        (terminated.isNull() || !(terminated.toDate() < to && terminated.toDate() > from)))
        return false;
    return start.toDate().year() < to.year() && end.toDate().year() > from.year();
}

// Every owner's rent due (SOP of the rent list), from the raw rows.
std::map<int, Decimal> rentDueFromRows(fb::Connection& c, fb::Transaction& tr)
{
    const auto firm = rows(c, tr, "select fromyear, toyear from firma");
    if (firm.empty())
        return {};
    const QDate from = firm[0][0].toDate(), to = firm[0][1].toDate();

    QHash<int, Contract> contracts;
    for (const auto& r : rows(c, tr, "select id_dog, systoqnie, datapr, otdata, dodata, id_dt from \"DOG DANNI\""))
        contracts[r[0].toInt()] = {counts(r, from, to), r[5].isNull() ? -1 : r[5].toInt(), r[1].toString()};
    QHash<QPair<int, int>, Decimal> shares;  // (owner, plot) -> equalised area
    for (const auto& r : rows(c, tr, "select id_hora, id_zemq, prredpl from sobstv"))
        shares[{r[0].toInt(), r[1].toInt()}] = exact(r[2], 3);
    QHash<int, int> localityOf, areaOf;
    for (const auto& r : rows(c, tr, "select id_zemq, id_mest from zemq where id_mest is not null"))
        localityOf[r[0].toInt()] = r[1].toInt();
    for (const auto& r : rows(c, tr, "select id_mestn, id_zeml from mestnost where id_zeml is not null"))
        areaOf[r[0].toInt()] = r[1].toInt();
    const QSet<QString> settlements = keys(c, tr, "select ekatte from nas_mqsto");
    QSet<int> areas;
    for (const auto& r : rows(c, tr, "select id_zeml, ekatte from zemlishte"))
        if (settlements.contains(r[1].toString()))
            areas.insert(r[0].toInt());
    const QSet<QString> owners = keys(c, tr, "select id_hora from hora");
    const QSet<QString> types = keys(c, tr, "select id_dt from dogtip");

    // HDZ: equalised area per owner, area, contract type and contract state.
    std::map<std::tuple<int, int, int, QString>, Decimal> hdz;
    for (const auto& r : rows(c, tr, "select id_dog, id_zemq, id_sobstv from doghorazemi")) {
        const auto contract = contracts.find(r[0].toInt());
        const int plot = r[1].toInt(), owner = r[2].toInt();
        const auto share = shares.find({owner, plot});
        if (contract == contracts.end() || !contract->counts || share == shares.end() ||
            !owners.contains(QString::number(owner)) || !types.contains(QString::number(contract->type)))
            continue;
        const int area = areaOf.value(localityOf.value(plot, -1), -1);
        if (!areas.contains(area))
            continue;
        Decimal& sum = hdz[{owner, area, contract->type, contract->state}];
        sum = sum + share.value();
    }

    // The rule lines of each (area, contract type), with their rounded rates.
    const QSet<QString> rentTypes = keys(c, tr, "select id_vr from vid_renta");
    std::multimap<QPair<int, int>, std::vector<fb::Value>> lines;
    for (const auto& r : rows(c, tr,
                              "select rz.id_zeml, rz.id_dt, l.id_vrk, l.kol, l.ec from \"RENTA ZEML\" rz "
                              "join vidrentakol l on l.id_rz = rz.id_rz"))
        if (rentTypes.contains(r[2].toString()) && areas.contains(r[0].toInt()) && types.contains(r[1].toString()))
            lines.insert({{r[0].toInt(), r[1].toInt()}, r});

    // Summed per owner and rent type, rounded to stotinki once per type.
    std::map<std::pair<int, int>, Decimal> perType;
    for (const auto& [key, equalised] : hdz) {
        const auto [owner, area, type, state] = key;
        const auto range = lines.equal_range({area, type});
        for (auto it = range.first; it != range.second; ++it) {
            const auto& l = it->second;
            const int rentType = l[2].toInt();
            const Decimal ec = exact(l[4], 5);
            const Decimal due = rentType == schema::rent::kMoneyType
                                    ? times(times(exact(l[3], 2), ec).rescaled(2), equalised)
                                    : times(times(exact(l[3], 0), equalised).rescaled(0), ec);
            Decimal& sum = perType[{owner, rentType}];
            sum = sum + due;
        }
    }
    std::map<int, Decimal> due;
    for (const auto& [key, sum] : perType) {
        Decimal& owner = due[key.first];
        owner = owner + sum.rescaled(2);
    }
    return due;
}

int differences(const std::map<int, Decimal>& expected, const std::map<int, Decimal>& listed)
{
    int differ = 0;
    for (const auto& [owner, sop] : expected) {
        const auto it = listed.find(owner);
        differ += it == listed.end() || !(it->second == sop) ? 1 : 0;
    }
    for (const auto& entry : listed)
        differ += expected.count(entry.first) ? 0 : 1;
    return differ;
}

// A row of the rent list: its columns as text, and the rent due.
struct Listed {
    QStringList fields;
    Decimal sop;
};

// Every row of a rent list statement, by owner.
std::map<int, Listed> readList(fb::Connection& c, const schema::rent::RentListStatement& statement)
{
    // The rent list reads under read committed with record versions, waiting.
    fb::Transaction tr(c, fb::TransactionOptions::readCommitted(true));
    fb::Statement st(c, statement.text());
    std::map<int, Listed> listed;
    st.open(tr);
    const int sop = st.columnIndex(QStringLiteral("SOP")), owner = st.columnIndex(QStringLiteral("ID_SOBSTV"));
    while (st.fetch()) {
        Listed& row = listed[st.value(owner).toInt()];
        for (const fb::Value& v : st.row())
            row.fields << v.toString();
        row.sop = st.value(sop).toDecimal();
    }
    return listed;
}

// Milliseconds `work` takes.
template <typename Work>
qint64 timed(Work&& work)
{
    QElapsedTimer timer;
    timer.start();
    work();
    return timer.elapsed();
}

// "N ms (P ms processor)" of `work`.
template <typename Work>
QString timedWithProcessor(Work&& work)
{
    const qint64 processor = processorMs();
    const qint64 ms = timed(std::forward<Work>(work));
    return QStringLiteral("%1 ms (%2 ms processor)").arg(ms).arg(processorMs() - processor);
}

// A committed change, for the rebuilds to catch up with.
void change(fb::Connection& c, const QString& sql)
{
    fb::Transaction tr(c);
    fb::execute(c, tr, sql);
    tr.commit();
}

// The kept contracted areas (per plot and per locality) after one contract
// line's area is changed; put back afterwards.
QString plotAreasAfterOneEdit(fb::Connection& c)
{
    schema::plots::bringUpToDate(c);
    const QString line = QStringLiteral(
        "update doghorazemi set redplosht = redplosht %1 0.5 where id_dhz = (select min(id_dhz) from doghorazemi)");
    change(c, line.arg(QLatin1Char('+')));
    const QString took = timedWithProcessor([&] { schema::plots::bringUpToDate(c); });
    change(c, line.arg(QLatin1Char('-')));
    schema::plots::bringUpToDate(c);
    return took;
}

int run(const QStringList& args)
{
    namespace rent = schema::rent;
    const bool check = args.contains(QStringLiteral("--check"));
    QTextStream out(stdout);
    try {
        fb::Connection c;
        c.attach(args[0]);
        // A database of the first version gets the cache here.
        out << "rent-due: upgraded and brought up to date " << timed([&] {
            schema::upgrade(c);
            rent::bringUpToDate(c);
        }) << " ms\n";

        // One owner's share, changed and put back.
        const QString share = QStringLiteral(
            "update sobstv set prredpl = prredpl %1 0.5 where id_hora = (select min(id_sobstv) from nach_renta) "
            "and id_zemq = (select min(s.id_zemq) from sobstv s where s.id_hora = (select min(id_sobstv) from "
            "nach_renta))");
        change(c, share.arg(QLatin1Char('+')));
        const QString oneEdit = timedWithProcessor([&] { rent::bringUpToDate(c); });
        change(c, share.arg(QLatin1Char('-')));
        rent::bringUpToDate(c);
        const QString year = QStringLiteral(
            "update firma set fromyear = dateadd(%1 year to fromyear), toyear = dateadd(%1 year to toyear)");
        change(c, year.arg(1));
        const qint64 yearMoved = timed([&] { rent::bringUpToDate(c); });
        change(c, year.arg(-1));
        rent::bringUpToDate(c);
        out << "rent-due: brought up to date after one share's edit " << oneEdit << ", after a farming-year move "
            << yearMoved << " ms\n";
        out << "rent-due: contracted areas per plot and locality brought up to date after one line's edit "
            << plotAreasAfterOneEdit(c) << "\n";

        std::map<int, Listed> computed, cached;
        const qint64 statement = timed([&] { computed = readList(c, rent::rentList()); });
        readList(c, rent::cachedRentList());  // warm
        const qint64 kept = timed([&] {
            rent::bringUpToDate(c);
            cached = readList(c, rent::cachedRentList());
        });
        if (check) {
            fb::Transaction tr(c, fb::TransactionOptions::readCommitted(true));
            std::map<int, Decimal> listed;
            for (const auto& [owner, row] : computed)
                listed[owner] = row.sop;
            const int differ = differences(rentDueFromRows(c, tr), listed);
            int keptDiffer = 0;
            for (const auto& [owner, row] : computed) {
                const auto it = cached.find(owner);
                keptDiffer += it == cached.end() || it->second.fields != row.fields ? 1 : 0;
            }
            for (const auto& entry : cached)
                keptDiffer += computed.count(entry.first) ? 0 : 1;
            out << "rent-due check: " << differ << " owners differ from the recomputation, " << keptDiffer
                << " kept rows differ from the statement\n";
            if (differ != 0 || keptDiffer != 0)
                return 1;
        }
        out << "rent-due: " << computed.size() << " rows, " << kept << " ms cached, " << statement << " ms statement\n";
    } catch (const fb::Error& e) {
        QTextStream(stderr) << "rent-due: " << e.message() << "\n";
        return 1;
    }
    return 0;
}

}  // namespace

const Case rentDue = {"rent-due", "DB [--check]  the rent list's rent due and rest per owner", run};

}  // namespace bench
