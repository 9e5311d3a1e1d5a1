// arventa-bench list DB [--fill N]: the owners' list as the owners register
// reads it, driven through the list-screen base: the first read, a name
// filter, clearing it, two sorts by title, a search for the last identifier,
// and a correction opened on the last row and cancelled.
#include "app/tdm.h"
#include "bench/bench.h"
#include "common/edit_flow.h"
#include "common/list_grid.h"
#include "common/sort_switch.h"
#include "fb/statement.h"
#include "fb/transaction.h"

#include <QElapsedTimer>
#include <QLineEdit>
#include <QTableView>

namespace bench {

namespace {

const ListStatement kOwners{
    .base = {QStringLiteral(
        "select hora.id_hora, hora.egn, hora.ime, hora.adres, nas_mqsto.naim_nm, obshtina.naim_obsht, "
        "oblast.naim_obl, country.country_name from country right outer join hora on country.kod_country = "
        "hora.kod_country inner join oblast on hora.id_obl = oblast.id_obl inner join nas_mqsto on hora.ekatte = "
        "nas_mqsto.ekatte inner join obshtina on hora.id_obsht = obshtina.id_obsht")},
    .defaultOrder = {QStringLiteral(" order by "), QStringLiteral(" hora.egn, hora.ime ")}};

// Adds owners with ten-digit identifiers in settlements of the reference data until there are `wanted`.
void fillOwners(const QString& database, int wanted)
{
    fb::Connection c;
    c.attach(database);
    fb::Transaction tr(c);
    const int have = int(fb::fetchScalar(c, tr, QStringLiteral("select count(*) from hora")).toInt64());
    fb::Statement places(c, QStringLiteral("select first 200 n.ekatte, n.id_obsht, o.id_obl from nas_mqsto n "
                                           "join obshtina o on o.id_obsht = n.id_obsht"));
    const auto settlements = fb::fetchAll(places, tr);
    fb::Statement insert(c, QStringLiteral("insert into hora (egn, ime, adres, ekatte, id_obsht, id_obl, kod_country, "
                                           "chfl) values (?, ?, ?, ?, ?, ?, 'BG', 'не')"));
    static const char* const names[] = {"Иван", "Мария", "Петър", "Елена", "Георги", "Анна", "Димитър", "Йорданка"};
    static const char* const families[] = {"Иванов", "Петров", "Георгиев", "Димитров", "Стоянов", "Николов"};
    for (int i = have; i < wanted; ++i) {
        const auto& place = settlements[size_t(i) % settlements.size()];
        insert.bind(0, QStringLiteral("%1").arg(5000000000LL + i * 7919LL % 4999999999LL, 10, 10, QLatin1Char('0')));
        insert.bind(1, QStringLiteral("%1 %2 %3")
                           .arg(QString::fromUtf8(names[i % 8]), QString::fromUtf8(families[(i / 8) % 6]))
                           .arg(i));
        insert.bind(2, QStringLiteral("ул. %1 № %2").arg(i % 97).arg(i % 31));
        for (int k = 0; k < 3; ++k)
            insert.bind(3 + k, place[size_t(k)]);
        insert.execute(tr);
    }
    tr.commit();
}

}  // namespace

int list(const QStringList& args)
{
    const int fillAt = int(args.indexOf(QStringLiteral("--fill")));
    if (fillAt > 0 && fillAt + 1 < args.size())
        fillOwners(args[0], args[fillAt + 1].toInt());

    QTextStream out(stdout);
    PrintingPrompter prompter;
    TDM dm(args[0]);
    dataset::TransactionArea readArea(dm.IBDatabase1, QStringLiteral("IBTQueryBench"));
    dataset::Dataset query(readArea, QStringLiteral("QueryBench"));
    QTableView view;
    QLineEdit filterBox, searchBox;
    auto* grid = new ListGrid(&view, query,
                              {{QStringLiteral("EGN"), QStringLiteral("ЕГН/ЕИН"), QStringLiteral("HORA.EGN")},
                               {QStringLiteral("IME"), QStringLiteral("Име/Наименование"), QStringLiteral("HORA.IME"),
                                QStringLiteral(" hora.egn ")}},
                              prompter);
    SortSwitch direction;
    grid->setStatement(kOwners);
    grid->addFilterBox(&filterBox, {QStringLiteral("(upper(hora.ime) containing(")});
    grid->setSort(SortForm::a(QStringLiteral(" hora.egn, hora.ime ")), direction, true, true);
    grid->setSearch(&searchBox, nullptr, QStringLiteral("EGN"), ListGrid::SearchFrom::Top);
    QWidget panel;
    EditFlow flow(prompter, dm.THora, &panel);
    flow.setList(*grid, QStringLiteral("ID_HORA"));

    QElapsedTimer t;
    const auto step = [&](const char* what, auto&& run) {
        t.start();
        run();
        out << "  " << what << ": " << t.elapsed() << " ms, " << query.rowCount() << " rows\n";
    };
    out << "list:\n";
    step("first read", [&] { grid->reread(); });
    filterBox.setText(QStringLiteral("ов"));
    step("filter containing 'ов'", [&] { grid->filter(); });
    step("clear the filter", [&] { grid->clearFilter(); });
    step("sort by name, ascending", [&] { grid->sortBy(1); });
    step("sort by identifier, descending", [&] { grid->sortBy(0); });
    query.last();
    searchBox.setText(query.field("EGN").asString());
    query.first();
    step("search the last identifier from the top", [&] { grid->search(); });
    step("correct the found owner", [&] { flow.correct(); });
    step("cancel", [&] { flow.cancel(); });
    return query.isEmpty() ? 1 : 0;
}

}  // namespace bench
