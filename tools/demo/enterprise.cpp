#include "demo/enterprise.h"

#include "demo/people.h"
#include "demo/random.h"
#include "schema/equalised_area.h"

#include <algorithm>
#include <map>
#include <set>
#include <stdexcept>
#include <utility>

// Every draw from the generator sits in a statement of its own (or in a chain
// of calls, which C++ evaluates in order), so that one seed gives one
// enterprise whatever order a compiler picks for function arguments.

namespace demo {

namespace {

constexpr int kArenda = 1;  // delivered contract types
constexpr int kNaem = 2;
const QString kInForce = QStringLiteral("Действащ");
const QString kTerminated = QStringLiteral("Прекратен");

// Provinces with much leased farmland; the seed picks one.
const std::vector<const char*> kFarmingProvinces = {"DOB", "PVN", "VTR", "RSE", "SZR", "SHU",
                                                    "VRC", "MON", "SLS", "TGV", "HKV"};

using Part = std::pair<int, int>;  // numerator, denominator
// Ways heirs hold a plot, by the number of owners.
const std::vector<std::vector<std::vector<Part>>> kPartitions = {
    {},
    {{{1, 1}}},
    {{{1, 2}, {1, 2}}, {{2, 3}, {1, 3}}},
    {{{1, 3}, {1, 3}, {1, 3}}, {{1, 2}, {1, 4}, {1, 4}}},
    {{{1, 4}, {1, 4}, {1, 4}, {1, 4}}, {{1, 2}, {1, 6}, {1, 6}, {1, 6}}},
    {{{1, 5}, {1, 5}, {1, 5}, {1, 5}, {1, 5}}, {{1, 3}, {1, 6}, {1, 6}, {1, 6}, {1, 6}}},
    {{{1, 6}, {1, 6}, {1, 6}, {1, 6}, {1, 6}, {1, 6}}, {{1, 3}, {1, 3}, {1, 12}, {1, 12}, {1, 12}, {1, 12}}},
};

// `value` * num / den rounded to the nearest unit (halves up; values are positive).
std::int64_t portion(std::int64_t value, int num, int den)
{
    return (2 * value * num + den) / (2 * den);
}

// A category's equalised area from the two numbers the database stores
// for it, as the plot editor computes it.
Thousandths equalisedArea(Thousandths area, int coefficient)
{
    return schema::prpl(static_cast<double>(area) / 1000, coefficient / 100.0).units;
}

QDate dayIn(Random& rnd, QDate first, QDate last)
{
    return first.addDays(rnd.below(static_cast<int>(first.daysTo(last)) + 1));
}

class Planner {
public:
    Planner(const Sizes& sizes, const std::vector<Settlement>& settlements) : sizes_(sizes), rnd_(sizes.seed)
    {
        chooseProvince(settlements);
    }

    Enterprise run()
    {
        planFirm();
        planCoefficients();
        planAreas();
        planOwners();
        planPlots();
        planShares();
        planContracts();
        planRules();
        planPayouts();
        planArrears();
        numberDocuments();
        return std::move(e_);
    }

private:
    void chooseProvince(const std::vector<Settlement>& settlements)
    {
        const QString province = QString::fromLatin1(rnd_.pick(kFarmingProvinces));
        for (const Settlement& s : settlements) {
            if (s.town)
                (s.province == province ? provinceTowns_ : towns_).push_back(s);
            else if (s.province == province)
                villages_.push_back(s);
        }
        if (villages_.empty() || provinceTowns_.empty() || towns_.empty())
            throw std::runtime_error("the database holds no settlements to place the enterprise in");
    }

    void planFirm()
    {
        Firm& f = e_.firm;
        f.code = companyCode(rnd_, false);
        f.name = companyName(rnd_);
        f.address = QStringLiteral("ул. „Шипка“ № %1").arg(rnd_.between(1, 40));
        f.phone = phoneNumber(rnd_);
        f.email = QStringLiteral("office@zlatnaniva.bg");
        f.head = personName(rnd_, false);
        f.headNumber = personalNumber(rnd_, false);
        f.postCode = QString::number(rnd_.between(5000, 9999));
        f.seat = rnd_.pick(provinceTowns_);
        f.fromYear = QDate(2024, 10, 1);
        f.toYear = QDate(2025, 9, 30);
    }

    // Better land counts for more: category 1 is the best.
    void planCoefficients() { e_.coefficients = {120, 115, 110, 100, 90, 80, 70, 60, 50, 40}; }

    void planAreas()
    {
        const int count = std::clamp(sizes_.plots / 30, 3, std::min(36, static_cast<int>(villages_.size())));
        std::vector<Settlement> candidates = villages_;
        for (int i = 0; i < count; ++i) {
            const int j = i + rnd_.below(static_cast<int>(candidates.size()) - i);
            std::swap(candidates[static_cast<size_t>(i)], candidates[static_cast<size_t>(j)]);
            e_.areas.push_back({i + 1, candidates[static_cast<size_t>(i)]});
            const int localities = rnd_.between(3, 8);
            for (int k = 0; k < localities; ++k)
                e_.localities.push_back({static_cast<int>(e_.localities.size()) + 1, i, localityName(3 * i + k)});
        }
        areaOwners_.resize(e_.areas.size());
    }

    QString uniqueNumber(QString (*make)(Random&, bool), bool flag)
    {
        for (;;) {
            QString number = make(rnd_, flag);
            if (numbers_.insert(number).second)
                return number;
        }
    }

    void planOwners()
    {
        for (int i = 0; i < sizes_.owners; ++i) {
            Owner o;
            o.id = i + 1;
            o.country = QStringLiteral("BG");
            o.foreign = QStringLiteral("не");
            const int kind = rnd_.below(100);
            if (kind < 5) {
                const Foreigner f = foreignPerson(rnd_);
                o.name = f.name;
                o.country = f.country;
                o.foreign = QStringLiteral("да");
                o.number = uniqueNumber([](Random& r, bool) { return foreignerNumber(r); }, false);
            } else if (kind < 12) {
                o.name = companyName(rnd_);
                const bool branch = rnd_.percent(10);
                o.number = uniqueNumber(companyCode, branch);
                o.representative = personName(rnd_, rnd_.percent(30));
            } else {
                const bool female = rnd_.percent(50);
                o.name = personName(rnd_, female);
                o.number = uniqueNumber(personalNumber, female);
            }
            if (o.representative.isEmpty() && rnd_.percent(10)) {
                const bool female = rnd_.percent(50);
                o.representative = personName(rnd_, female);
            }
            planHome(o);
            e_.owners.push_back(std::move(o));
        }
    }

    // Most owners live in the village whose land they inherited; the others in
    // a town of the province or anywhere in the country.
    void planHome(Owner& o)
    {
        const int landArea = rnd_.below(static_cast<int>(e_.areas.size()));
        areaOwners_[static_cast<size_t>(landArea)].push_back(o.id - 1);
        const int where = rnd_.below(100);
        if (where < 70)
            o.home = e_.areas[static_cast<size_t>(landArea)].place;
        else if (where < 90)
            o.home = rnd_.pick(provinceTowns_);
        else
            o.home = rnd_.pick(towns_);
        o.address = streetAddress(rnd_);
        if (rnd_.percent(70))
            o.phone = phoneNumber(rnd_);
        if (rnd_.percent(35)) {
            const BankAccount account = bankAccount(rnd_);
            o.bank = account.bank;
            o.iban = account.iban;
            o.bic = account.bic;
        }
    }

    Thousandths plotArea()
    {
        const int size = rnd_.below(100);
        if (size < 60)
            return rnd_.between(1500, 8000);
        if (size < 90)
            return rnd_.between(8000, 25000);
        return rnd_.between(25000, 80000);
    }

    void planCategories(Plot& p)
    {
        const int roll = rnd_.below(10);
        const int count = roll < 6 ? 1 : roll < 9 ? 2 : 3;
        const int best = rnd_.between(2, 6);
        Thousandths left = plotArea();
        p.area = left;
        for (int k = 0; k < count; ++k) {
            Thousandths part = left;
            if (k + 1 < count) {
                const int percent = rnd_.between(30, 70);
                part = std::max<Thousandths>(100, left * percent / 100);
            }
            left -= part;
            const int vid = best + k;
            p.categories.push_back({vid, part});
            p.equalised += equalisedArea(part, e_.coefficients[static_cast<size_t>(vid - 1)]);
        }
    }

    void planPlots()
    {
        std::vector<int> plotsIn(e_.localities.size(), 0);
        std::vector<std::vector<int>> localitiesOf(e_.areas.size());
        for (size_t k = 0; k < e_.localities.size(); ++k)
            localitiesOf[static_cast<size_t>(e_.localities[k].area)].push_back(static_cast<int>(k));
        for (int i = 0; i < sizes_.plots; ++i) {
            Plot p;
            p.id = i + 1;
            const int area = rnd_.below(static_cast<int>(e_.areas.size()));
            const std::vector<int>& inArea = localitiesOf[static_cast<size_t>(area)];
            p.locality = rnd_.pick(inArea);
            // Each locality has massifs of its own, so plot numbers never repeat in an area.
            const int n = plotsIn[static_cast<size_t>(p.locality)]++;
            const int rank = static_cast<int>(std::find(inArea.begin(), inArea.end(), p.locality) - inArea.begin());
            const int massif = 10 + rank * 40 + n / 900;
            const int number = n % 900 + 1;
            p.number = QStringLiteral("%1%2").arg(massif, 3, 10, QLatin1Char('0')).arg(number, 3, 10, QLatin1Char('0'));
            p.number2 = QStringLiteral("%1.%2.%3")
                            .arg(e_.areas[static_cast<size_t>(area)].place.ekatte)
                            .arg(massif, 3, 10, QLatin1Char('0'))
                            .arg(number, 3, 10, QLatin1Char('0'));
            planCategories(p);
            planPlotDetails(p);
            e_.plots.push_back(std::move(p));
        }
    }

    void planPlotDetails(Plot& p)
    {
        p.crop = rnd_.between(1, 6);
        const int use = rnd_.below(100);
        p.use = use < 90 ? 1 : use < 95 ? 2 : use < 98 ? 3 : 4;
        p.document = rnd_.between(1, 4);
        const int management = rnd_.below(100);
        p.management = management < 80 ? 2 : management < 90 ? 3 : management < 95 ? 4 : 1;
        if (rnd_.percent(30)) {
            p.deedNumber = QString::number(rnd_.between(1, 250));
            p.deedVolume = QStringLiteral("%1").arg(rnd_.between(1, 12));
            p.deedDate = dayIn(rnd_, QDate(1995, 1, 1), QDate(2023, 12, 31));
        }
    }

    int shareCount()
    {
        const int roll = rnd_.below(100);
        if (roll < 35)
            return 1;
        if (roll < 60)
            return 2;
        if (roll < 75)
            return 3;
        if (roll < 85)
            return 4;
        return roll < 93 ? 5 : 6;
    }

    // The next owner of the area's land who holds nothing yet, else any of
    // them (or, now and then, an owner from anywhere).
    int ownerFor(int area, const std::vector<int>& taken)
    {
        std::vector<int>& pool = areaOwners_[static_cast<size_t>(area)];
        size_t& next = nextOwner_[area];
        while (next < pool.size()) {
            const int owner = pool[next++];
            if (std::find(taken.begin(), taken.end(), owner) == taken.end())
                return owner;
        }
        for (;;) {
            const bool anywhere = pool.empty() || rnd_.percent(10);
            const int owner = anywhere ? rnd_.below(sizes_.owners) : rnd_.pick(pool);
            if (std::find(taken.begin(), taken.end(), owner) == taken.end())
                return owner;
        }
    }

    void planShares()
    {
        for (size_t i = 0; i < e_.plots.size(); ++i) {
            const Plot& p = e_.plots[i];
            const int area = e_.localities[static_cast<size_t>(p.locality)].area;
            const int count = std::min(shareCount(), sizes_.owners);
            const auto& ways = kPartitions[static_cast<size_t>(count)];
            const std::vector<Part>& parts = ways[static_cast<size_t>(rnd_.below(static_cast<int>(ways.size())))];
            std::vector<int> taken;
            Thousandths areaLeft = p.area, equalisedLeft = p.equalised;
            for (int k = 0; k < count; ++k) {
                Share s;
                s.owner = ownerFor(area, taken);
                taken.push_back(s.owner);
                s.plot = static_cast<int>(i);
                const auto [num, den] = parts[static_cast<size_t>(k)];
                s.part = QStringLiteral("%1/%2").arg(num).arg(den);
                // The last heir takes what rounding left, so the shares add up to the plot.
                const bool last = k + 1 == count;
                s.area = last ? areaLeft : portion(p.area, num, den);
                // The owner's equalised area is his share of the plot's.
                s.equalised = last ? equalisedLeft : (2 * p.equalised * s.area + p.area) / (2 * p.area);
                areaLeft -= s.area;
                equalisedLeft -= s.equalised;
                e_.shares.push_back(std::move(s));
            }
        }
    }

    Contract newContract(int owner, int type)
    {
        Contract c;
        c.id = static_cast<int>(e_.contracts.size()) + 1;
        c.owner = owner;
        c.type = type;
        const int kind = rnd_.below(100);
        c.kind = kind < 70 ? 1 : kind < 85 ? 2 : 3;
        c.number = QString::number(c.id);
        c.state = kInForce;
        c.from = QDate(rnd_.between(2012, 2024), 10, 1);
        c.to = QDate(rnd_.between(2025, 2034), 10, 1);
        c.signedOn = c.from.addDays(-rnd_.between(5, 60));
        c.landOffice =
            QStringLiteral("%1/%2").arg(rnd_.between(100, 9999)).arg(c.signedOn.toString(QStringLiteral("dd.MM.yyyy")));
        c.counts = true;
        return c;
    }

    void bind(const Contract& c, const std::vector<int>& shares, size_t from, size_t to)
    {
        e_.contracts.push_back(c);
        for (size_t k = from; k < to; ++k) {
            Share& s = e_.shares[static_cast<size_t>(shares[k])];
            s.contract = c.id - 1;
            s.line = ++lines_;
        }
    }

    // Most owners have one contract in force; some none, some one that ran
    // out or was terminated before the year, and some a contract terminated
    // during the year beside one still running.
    void planContracts()
    {
        std::vector<std::vector<int>> sharesOf(e_.owners.size());
        for (size_t i = 0; i < e_.shares.size(); ++i)
            sharesOf[static_cast<size_t>(e_.shares[i].owner)].push_back(static_cast<int>(i));
        for (size_t owner = 0; owner < e_.owners.size(); ++owner) {
            const std::vector<int>& shares = sharesOf[owner];
            const int scenario = rnd_.below(100);
            if (shares.empty() || scenario < 8)
                continue;
            const int type = rnd_.percent(80) ? kArenda : kNaem;
            Contract c = newContract(static_cast<int>(owner), type);
            if (scenario < 13) {
                c.from = QDate(rnd_.between(2009, 2014), 10, 1);
                c.to = QDate(rnd_.between(2019, 2024), 10, 1);
                c.counts = false;
            } else if (scenario < 17) {
                c.state = kTerminated;
                c.terminated = dayIn(rnd_, QDate(2023, 1, 10), QDate(2024, 9, 20));
                c.counts = false;
            } else if (scenario < 23) {
                c.state = kTerminated;
                c.terminated = dayIn(rnd_, QDate(2024, 11, 1), QDate(2025, 6, 30));
                const size_t half = (shares.size() + 1) / 2;
                bind(c, shares, 0, half);
                if (half < shares.size())
                    bind(newContract(static_cast<int>(owner), type), shares, half, shares.size());
                continue;
            }
            bind(c, shares, 0, shares.size());
        }
    }

    void planRules()
    {
        for (size_t area = 0; area < e_.areas.size(); ++area) {
            for (int type : {kArenda, kNaem}) {
                if (!rnd_.percent(85))
                    continue;
                Rule r;
                r.id = static_cast<int>(e_.rules.size()) + 1;
                r.area = static_cast<int>(area);
                r.type = type;
                const int lease = type == kArenda ? 100 : 70;  // a rent lease pays less
                const int pattern = rnd_.below(100);
                if (pattern < 85) {
                    const double kg = rnd_.between(30, 60) * lease / 100;
                    r.lines.push_back({kWheat, kg, rnd_.between(30, 42) / 100.0});
                }
                if (pattern >= 75 && pattern < 85) {
                    const double kg = rnd_.between(10, 20);
                    r.lines.push_back({kSunflower, kg, rnd_.between(70, 90) / 100.0});
                }
                if (pattern < 50 || pattern >= 85) {
                    const double leva = rnd_.between(30, 80) * lease / 200.0;
                    r.lines.push_back({1, leva, rnd_.percent(80) ? 1.0 : 1.1});
                }
                ruleOf_[{r.area, type}] = static_cast<int>(e_.rules.size());
                e_.rules.push_back(std::move(r));
            }
        }
    }

    struct Land {
        int area, type;
        Thousandths equalised;
    };

    // The land each owner has under counting contracts, per area and type.
    std::vector<std::vector<Land>> landInForce() const
    {
        std::vector<std::map<std::pair<int, int>, Thousandths>> sums(e_.owners.size());
        for (const Share& s : e_.shares) {
            if (s.contract < 0 || !e_.contracts[static_cast<size_t>(s.contract)].counts)
                continue;
            const int area = e_.localities[static_cast<size_t>(e_.plots[static_cast<size_t>(s.plot)].locality)].area;
            sums[static_cast<size_t>(s.owner)][{area, e_.contracts[static_cast<size_t>(s.contract)].type}] +=
                s.equalised;
        }
        std::vector<std::vector<Land>> land(e_.owners.size());
        for (size_t o = 0; o < sums.size(); ++o)
            for (const auto& [key, equalised] : sums[o])
                land[o].push_back({key.first, key.second, equalised});
        return land;
    }

    // Hands out part of each goods line (and now and then of the money line)
    // of the owner's land on one receipt.
    Payout receiptFor(int owner, const std::vector<Land>& land)
    {
        Payout r;
        r.owner = owner;
        r.method = 2;
        for (const Land& l : land) {
            const auto rule = ruleOf_.find({l.area, l.type});
            if (rule == ruleOf_.end())
                continue;
            for (const RuleLine& line : e_.rules[static_cast<size_t>(rule->second)].lines) {
                const int percent = rnd_.between(40, 100);
                ReceiptLine out{line.rentType, line.rentType, l.type, l.area, 0, 0};
                if (line.rentType == 1) {
                    if (!rnd_.percent(30))
                        continue;
                    const Stotinki due =
                        portion(static_cast<Stotinki>(line.kol * 100), static_cast<int>(l.equalised), 1000);
                    out.value = due * percent / 100;
                    out.kol = static_cast<double>(out.value) / 100;
                    out.goods = 1;
                    r.method = rnd_.below(2);
                } else {
                    out.kol =
                        static_cast<double>(static_cast<std::int64_t>(line.kol) * l.equalised / 1000 * percent / 100);
                    out.value = static_cast<Stotinki>(out.kol * line.ec * 100 + 0.5);
                    if (line.rentType == kWheat && rnd_.percent(10))
                        out.goods = kBarley;
                }
                if (out.value <= 0)
                    continue;
                r.sum += out.value;
                r.lines.push_back(out);
            }
        }
        return r;
    }

    void planPayouts()
    {
        const auto land = landInForce();
        for (size_t owner = 0; owner < land.size(); ++owner) {
            if (land[owner].empty())
                continue;
            if (rnd_.percent(45)) {
                Payout r = receiptFor(static_cast<int>(owner), land[owner]);
                if (!r.lines.empty()) {
                    r.id = static_cast<int>(e_.receipts.size()) + 1;
                    r.date = dayIn(rnd_, QDate(2024, 10, 15), QDate(2025, 7, 31));
                    e_.receiptLines += static_cast<int>(r.lines.size());
                    e_.receipts.push_back(std::move(r));
                }
            }
            if (rnd_.percent(25)) {
                Thousandths area = 0;
                for (const Land& l : land[owner])
                    area += l.equalised;
                const int leva = rnd_.between(15, 45);  // a part of the rent per decare
                addPayment(static_cast<int>(owner), std::max<Stotinki>(100, area * leva / 10), false);
            }
        }
    }

    int addPayment(int owner, Stotinki sum, bool pastYears)
    {
        Payout p;
        p.id = static_cast<int>(e_.payments.size()) + 1;
        p.owner = owner;
        p.sum = sum;
        p.pastYears = pastYears;
        p.method = rnd_.below(2);
        p.date = dayIn(rnd_, QDate(2024, 10, 15), QDate(2025, 7, 31));
        e_.payments.push_back(std::move(p));
        return e_.payments.back().id;
    }

    // Rent some owners did not take in the last two closed years; part of it
    // was paid out since.
    void planArrears()
    {
        std::vector<Thousandths> area(e_.owners.size(), 0), equalised(e_.owners.size(), 0);
        for (const Share& s : e_.shares) {
            if (s.contract < 0)
                continue;
            area[static_cast<size_t>(s.owner)] += s.area;
            equalised[static_cast<size_t>(s.owner)] += s.equalised;
        }
        for (size_t owner = 0; owner < e_.owners.size(); ++owner) {
            if (area[owner] == 0 || !rnd_.percent(6))
                continue;
            const int years = rnd_.between(1, 2);
            for (int y = 2024 - years; y < 2024; ++y) {
                Arrear a;
                a.id = static_cast<int>(e_.arrears.size()) + 1;
                a.owner = static_cast<int>(owner);
                a.area = area[owner];
                a.equalised = equalised[owner];
                a.sum = rnd_.between(1500, 40000);
                a.fromYear = y;
                a.toYear = y + 1;
                if (rnd_.percent(40))
                    a.payment = addPayment(a.owner, a.sum, true);
                e_.arrears.push_back(a);
            }
        }
    }

    // Goods receipts and cash payments share one series of numbers. Each
    // table's numbers rise with its ids, as an office's do (the receipt
    // dialogs propose the number after the last row by id), and the two
    // tables take turns by date.
    void numberDocuments()
    {
        size_t r = 0, p = 0;
        int number = 0;
        while (r < e_.receipts.size() || p < e_.payments.size()) {
            const bool receipt =
                p == e_.payments.size() || (r < e_.receipts.size() && !(e_.payments[p].date < e_.receipts[r].date));
            (receipt ? e_.receipts[r++] : e_.payments[p++]).number = ++number;
        }
    }

    Sizes sizes_;
    Random rnd_;
    Enterprise e_;
    std::vector<Settlement> villages_, provinceTowns_, towns_;
    std::vector<std::vector<int>> areaOwners_;  // owners whose land lies in each area
    std::map<int, size_t> nextOwner_;
    std::map<std::pair<int, int>, int> ruleOf_;  // (area, type) -> rule index
    std::set<QString> numbers_;
    int lines_ = 0;
};

}  // namespace

Enterprise plan(const Sizes& sizes, const std::vector<Settlement>& settlements)
{
    return Planner(sizes, settlements).run();
}

}  // namespace demo
