#include "demo/writer.h"

#include "fb/connection.h"
#include "fb/error.h"
#include "fb/statement.h"
#include "fb/transaction.h"
#include "schema/change_trail.h"
#include "schema/plot_area_cache.h"
#include "schema/rent_due_cache.h"
#include "schema/schema.h"

#include <QStringList>

#include <algorithm>
#include <initializer_list>

namespace demo {

namespace {

using fb::Value;

// One prepared insert, run once per row with the values in column order.
class Insert {
public:
    Insert(fb::Connection& c, fb::Transaction& tr, const QString& table, const QStringList& columns)
        : tr_(tr),
          st_(c, QStringLiteral("insert into %1 (%2) values (%3)")
                     .arg(table, columns.join(QStringLiteral(", ")),
                          QStringList(columns.size(), QStringLiteral("?")).join(QStringLiteral(", "))))
    {
    }
    void row(std::initializer_list<Value> values)
    {
        int i = 0;
        for (const Value& v : values)
            st_.bind(i++, v);
        st_.execute(tr_);
    }

private:
    fb::Transaction& tr_;
    fb::Statement st_;
};

Value text(const QString& s)
{
    return s.isEmpty() ? Value() : Value(s);
}
Value decares(Thousandths t)
{
    return static_cast<double>(t) / 1000;
}
Value leva(Stotinki s)
{
    return static_cast<double>(s) / 100;
}
Value key(int id)
{
    return id > 0 ? Value(id) : Value();
}

const QString kInCash = QStringLiteral("В брой");
const QString kByBank = QStringLiteral("По банка");

QString methodText(int method)
{
    return method == 0 ? kInCash : method == 1 ? kByBank : QString();
}

class Writer {
public:
    Writer(fb::Connection& c, fb::Transaction& tr, const Enterprise& e) : c_(c), tr_(tr), e_(e) {}

    void run()
    {
        writeReferenceChoices();
        writeFirm();
        writeLand();
        writeOwners();
        writePlots();
        writeContracts();
        writeContractLines();
        writeShares();
        writeRules();
        writeReceipts();
        writePayments();
        writeArrears();
    }

private:
    Insert insert(const char* table, const char* columns)
    {
        return Insert(c_, tr_, QString::fromUtf8(table), QString::fromLatin1(columns).split(QLatin1Char(' ')));
    }

    void writeReferenceChoices()
    {
        fb::Statement coefficient(c_,
                                  QStringLiteral("update category_coefficient set coefficient = ? where category = ?"));
        for (size_t k = 0; k < e_.coefficients.size(); ++k) {
            coefficient.bind(0, e_.coefficients[k] / 100.0);
            coefficient.bind(1, static_cast<int>(k) + 1);
            coefficient.execute(tr_);
        }
        Insert types = insert("vid_renta", "id_vr naim_vr me ed_cena");
        types.row({kWheat, "Пшеница", "кг", 0.36});
        types.row({kSunflower, "Слънчоглед", "кг", 0.80});
        Insert goods = insert("rentakult", "id_rk rk");
        goods.row({kWheat, "Пшеница"});
        goods.row({kSunflower, "Слънчоглед"});
        goods.row({kBarley, "Ечемик"});
    }

    void writeFirm()
    {
        const Firm& f = e_.firm;
        insert("firma",
               "id_firma ein indds naim_firma adress tel email mol id_obl id_obsht ekatte id_vzp egn_mol pk "
               "fromyear toyear")
            .row({1, f.code, QStringLiteral("BG") + f.code, f.name, f.address, f.phone, f.email, f.head,
                  f.seat.province, f.seat.municipality, f.seat.ekatte, 3, f.headNumber, f.postCode, f.fromYear,
                  f.toYear});
    }

    void writeLand()
    {
        Insert areas = insert("zemlishte", "id_zeml ekatte id_obsht id_obl");
        for (const Area& a : e_.areas)
            areas.row({a.id, a.place.ekatte, a.place.municipality, a.place.province});
        Insert localities = insert("mestnost", "id_mestn id_zeml naim_mestn");
        for (const Locality& l : e_.localities)
            localities.row({l.id, e_.areas[static_cast<size_t>(l.area)].id, l.name});
    }

    void writeOwners()
    {
        Insert owners = insert("hora",
                               "id_hora egn ime adres tel ekatte id_obsht id_obl predst bank iban bic "
                               "kod_country chfl");
        for (const Owner& o : e_.owners)
            owners.row({o.id, o.number, o.name, o.address, text(o.phone), o.home.ekatte, o.home.municipality,
                        o.home.province, text(o.representative), text(o.bank), text(o.iban), text(o.bic), o.country,
                        o.foreign});
    }

    void writePlots()
    {
        Insert plots = insert("zemq",
                              "id_zemq id_mest imot_no imot_no2 plosht id_kult id_ntp obrab id_vds nznomer "
                              "nztom nzdata obrt komasiran komastekst id_fs prplosht");
        Insert categories = insert("kategoriq", "id_zemq vid plosht");
        for (const Plot& p : e_.plots) {
            const bool cultivable = p.use == 1;
            plots.row({p.id, e_.localities[static_cast<size_t>(p.locality)].id, p.number, p.number2, decares(p.area),
                       p.crop, p.use, cultivable ? 0 : 1, p.document, text(p.deedNumber), text(p.deedVolume),
                       p.deedDate, cultivable ? "Да" : "Не", 0, "Не", p.management, decares(p.equalised)});
            for (const Category& k : p.categories)
                categories.row({p.id, k.vid, decares(k.area)});
        }
    }

    void writeContracts()
    {
        Insert contracts = insert("\"DOG DANNI\"",
                                  "id_dog data otdata dodata id_viddog id_firma nomer oszregno systoqnie id_dt datapr");
        for (const Contract& c : e_.contracts)
            contracts.row(
                {c.id, c.signedOn, c.from, c.to, c.kind, 1, c.number, c.landOffice, c.state, c.type, c.terminated});
    }

    // The contract lines in the order of their keys, and the shares in the
    // order of theirs (owner, plot): each key index then grows at its end
    // instead of at a random place, which keeps a large load in the page cache.
    void writeContractLines()
    {
        std::vector<const Share*> bound;
        for (const Share& s : e_.shares)
            if (s.contract >= 0)
                bound.push_back(&s);
        std::sort(bound.begin(), bound.end(), [](const Share* a, const Share* b) { return a->line < b->line; });
        Insert lines = insert("doghorazemi", "id_dhz id_zemq id_sobstv id_dog chast redplosht");
        for (const Share* s : bound)
            lines.row({s->line, plotId(*s), ownerId(*s), e_.contracts[static_cast<size_t>(s->contract)].id, s->part,
                       decares(s->area)});
    }

    // A bound share has its contract line, which copies the share's part and area.
    void writeShares()
    {
        std::vector<const Share*> shares;
        for (const Share& s : e_.shares)
            shares.push_back(&s);
        std::sort(shares.begin(), shares.end(), [this](const Share* a, const Share* b) {
            return std::pair(ownerId(*a), plotId(*a)) < std::pair(ownerId(*b), plotId(*b));
        });
        Insert rows = insert("sobstv", "id_hora id_zemq redplosht chast id_dog id_dhz prredpl");
        for (const Share* s : shares) {
            const int contract = s->contract < 0 ? 0 : e_.contracts[static_cast<size_t>(s->contract)].id;
            rows.row({ownerId(*s), plotId(*s), decares(s->area), s->part, key(contract), key(s->line),
                      decares(s->equalised)});
        }
    }

    int ownerId(const Share& s) const { return e_.owners[static_cast<size_t>(s.owner)].id; }
    int plotId(const Share& s) const { return e_.plots[static_cast<size_t>(s.plot)].id; }

    void writeRules()
    {
        Insert rules = insert("\"RENTA ZEML\"", "id_rz id_zeml razmer id_dt");
        Insert lines = insert("vidrentakol", "id_vrk id_rz kol ec");
        for (const Rule& r : e_.rules) {
            double size = 0;
            for (const RuleLine& l : r.lines)
                size += l.kol * l.ec;
            rules.row({r.id, e_.areas[static_cast<size_t>(r.area)].id, size, r.type});
            for (const RuleLine& l : r.lines)
                lines.row({l.rentType, r.id, l.kol, l.ec});
        }
    }

    void writeReceipts()
    {
        Insert receipts = insert("\"RAZP DANNI\"", "id_rd id_hora data nom suma npl npltekst predstrs");
        Insert lines = insert("\"RAZP RENTA\"", "id_rr id_rd id_vr kol stoinost id_dt id_rk id_zeml");
        int line = 0;
        for (const Payout& r : e_.receipts) {
            const Owner& o = e_.owners[static_cast<size_t>(r.owner)];
            receipts.row({r.id, o.id, r.date, r.number, leva(r.sum), r.method, text(methodText(r.method)),
                          text(o.representative)});
            for (const ReceiptLine& l : r.lines)
                lines.row({++line, r.id, l.rentType, l.kol, leva(l.value), l.contractType, l.goods,
                           e_.areas[static_cast<size_t>(l.area)].id});
        }
    }

    void writePayments()
    {
        Insert payments = insert("razp_pari", "id_razppari id_hora nomer data suma nplp nplptekst predstrp pmg");
        for (const Payout& p : e_.payments) {
            const Owner& o = e_.owners[static_cast<size_t>(p.owner)];
            payments.row({p.id, o.id, p.number, p.date, leva(p.sum), p.method, methodText(p.method),
                          text(o.representative), p.pastYears ? Value(1) : Value()});
        }
    }

    void writeArrears()
    {
        Insert arrears = insert("onr", "id_onr id_hora id_razppari plosht suma godot goddo prplosht");
        for (const Arrear& a : e_.arrears)
            arrears.row({a.id, e_.owners[static_cast<size_t>(a.owner)].id, key(a.payment), decares(a.area), leva(a.sum),
                         a.fromYear, a.toYear, decares(a.equalised)});
    }

    fb::Connection& c_;
    fb::Transaction& tr_;
    const Enterprise& e_;
};

std::vector<Settlement> readSettlements(fb::Connection& c, fb::Transaction& tr)
{
    fb::Statement st(c, QStringLiteral("select n.ekatte, n.id_obsht, o.id_obl, n.naim_nm, n.tip from nas_mqsto n "
                                       "join obshtina o on o.id_obsht = n.id_obsht order by n.ekatte"));
    std::vector<Settlement> settlements;
    for (const auto& r : fb::fetchAll(st, tr))
        settlements.push_back({r[0].toString(), r[1].toString(), r[2].toString(), r[3].toString(),
                               r[4].toString() == QStringLiteral("гр.")});
    return settlements;
}

void requireNewDatabase(fb::Connection& c, fb::Transaction& tr)
{
    const int used = fb::fetchScalar(c, tr,
                                     QStringLiteral("select (select count(*) from firma) + "
                                                    "(select count(*) from hora) from rdb$database"))
                         .toInt();
    if (used > 0)
        throw fb::Error(QStringLiteral("the database already holds a register; fill only a new one"));
}

// For the load, the plain indexes of the large tables (not those of a key)
// and the kept figures' marking triggers are switched off: each index is
// built once at the end by one sort instead of getting an entry at a random
// place for every row, and the kept figures are computed once from
// everything instead of being marked row by row. Whatever a load broken off
// by a signal left switched off is switched on by the next one.
class QuietLoad {
public:
    explicit QuietLoad(fb::Connection& c) : c_(c)
    {
        fb::Transaction tr(c_);
        fb::Statement st(
            c_, QStringLiteral("select trim(i.rdb$index_name) from rdb$indices i where i.rdb$system_flag = 0 "
                               "and coalesce(i.rdb$unique_flag, 0) = 0 "
                               "and i.rdb$relation_name in ('HORA', 'ZEMQ', 'KATEGORIQ', 'SOBSTV', 'DOGHORAZEMI', "
                               "'DOG DANNI') and not exists (select 1 from rdb$relation_constraints k "
                               "where k.rdb$index_name = i.rdb$index_name)"));
        for (const auto& r : fb::fetchAll(st, tr))
            indexes_ << r[0].toString();
        tr.commit();
        // The generated register starts with an empty trail: its rows are nobody's changes.
        triggers_ = schema::rent::markingTriggers() + schema::plots::markingTriggers() + schema::trail::trailTriggers();
        set(false);
    }
    // A load that failed leaves the register working all the same.
    ~QuietLoad()
    {
        if (!done_) {
            try {
                set(true);
            } catch (const fb::Error&) {
            }
        }
    }
    // Switches everything on again and computes the kept figures.
    void finish()
    {
        set(true);
        done_ = true;
        fb::Transaction tr(c_);
        schema::rent::startDueCache(c_, tr);
        schema::plots::startAreaCache(c_, tr);
        tr.commit();
        schema::rent::bringUpToDate(c_);
    }

private:
    void set(bool active)
    {
        const QString state = active ? QStringLiteral("active") : QStringLiteral("inactive");
        fb::Transaction tr(c_);
        for (const QString& name : indexes_)
            c_.executeImmediate(tr, QStringLiteral("alter index \"%1\" %2").arg(name, state));
        for (const QString& name : triggers_)
            c_.executeImmediate(tr, QStringLiteral("alter trigger %1 %2").arg(name, state));
        tr.commit();
    }

    fb::Connection& c_;
    QStringList indexes_, triggers_;
    bool done_ = false;
};

}  // namespace

Summary fill(fb::Connection& connection, const Sizes& sizes)
{
    // A database made by an earlier arventa-newdb gets the tables of today's.
    schema::upgrade(connection);
    Enterprise e;
    {
        fb::Transaction tr(connection);
        requireNewDatabase(connection, tr);
        e = plan(sizes, readSettlements(connection, tr));
        tr.commit();
    }
    QuietLoad quiet(connection);
    fb::Transaction tr(connection);
    Writer(connection, tr, e).run();
    tr.commit();
    quiet.finish();

    Summary s;
    s.owners = static_cast<int>(e.owners.size());
    s.plots = static_cast<int>(e.plots.size());
    s.shares = static_cast<int>(e.shares.size());
    s.contracts = static_cast<int>(e.contracts.size());
    for (const Share& share : e.shares)
        s.contractLines += share.contract >= 0 ? 1 : 0;
    s.rules = static_cast<int>(e.rules.size());
    s.receipts = static_cast<int>(e.receipts.size());
    s.receiptLines = e.receiptLines;
    s.payments = static_cast<int>(e.payments.size());
    s.arrears = static_cast<int>(e.arrears.size());
    return s;
}

}  // namespace demo
