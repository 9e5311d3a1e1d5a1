// arventa-bench payout DB: the payout screen of the owner with the most
// contract lines under a rule: opening it, a goods receipt built with one
// line of each of his first two due rows, saved, and the rent list read
// again on the owner as it is when the user returns to it; the receipt is
// deleted at the end, so the database is as it was.
#include "bench/bench.h"
#include "dataset/transaction_area.h"
#include "dm/tdm.h"
#include "fb/statement.h"
#include "report_engine/output_chooser.h"
#include "rent/tfhorazemqrenta.h"
#include "rent/tfkol.h"
#include "rent/tfrazpiska.h"
#include "schema/rent_due_cache.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTimer>

#include <functional>

namespace bench {

namespace {

// Presses `button` of the modal dialog D once it is up, after `fill`.
template <typename D>
void onDialog(const char* button, std::function<void(D&)> fill = {})
{
    QTimer::singleShot(0, [button, fill] {
        auto* d = qobject_cast<D*>(QApplication::activeModalWidget());
        if (!d)
            return;
        if (fill)
            fill(*d);
        d->template findChild<QPushButton*>(QLatin1String(button))->click();
    });
}

fb::Value busiestOwner(TDM& dm)
{
    fb::Connection& c = dm.IBDatabase1.connection();
    fb::Transaction tr(c);
    const fb::Value id = fb::fetchScalar(c, tr,
                                         QStringLiteral("select first 1 N.id_sobstv from nach_renta N "
                                                        "join nach_renta_dog D on D.id_sobstv = N.id_sobstv "
                                                        "group by N.id_sobstv order by count(*) desc"));
    tr.commit();
    return id;
}

}  // namespace

int payout(const QStringList& args)
{
    QTextStream out(stdout);
    PrintingPrompter prompter;
    TDM dm(args[0]);
    dm.IBDatabase1.connect();
    schema::rent::bringUpToDate(dm.IBDatabase1.connection());
    const fb::Value owner = busiestOwner(dm);
    if (owner.isNull()) {
        out << "payout: no owner with rent in " << args[0] << "\n";
        return 1;
    }
    dataset::TransactionArea IBTQS(dm.IBDatabase1, QStringLiteral("IBTQS"),
                                   fb::TransactionOptions::readCommitted(true));
    dataset::Dataset owners(IBTQS, QStringLiteral("QuerySobstv"));
    owners.sql().setLines({schema::rent::cachedRentList().text()});
    owners.open();
    owners.locate(QStringLiteral("ID_SOBSTV"), owner);

    QElapsedTimer t;
    const auto step = [&](const QString& what, const std::function<void()>& run) {
        t.start();
        run();
        QApplication::processEvents();
        out << "  " << what << ": " << t.elapsed() << " ms\n";
    };
    rent::SharedRest rest;
    reports::DialogOutputChooser outputs;
    TFHoraZemqRenta* screen = nullptr;
    out << "payout (owner " << owner.toInt() << ", " << owners.rowCount() << " owners listed):\n";
    step(QStringLiteral("open the payout screen"), [&] {
        screen = new TFHoraZemqRenta(dm, prompter, outputs, owners, rest);
        screen->show();
    });
    const auto click = [&](const char* name) { screen->findChild<QPushButton*>(QLatin1String(name))->click(); };
    auto* due = screen->findChild<QTableView*>(QStringLiteral("jvdbgridRazpPR"));
    out << "    rest " << rest.value << ", " << due->model()->rowCount() << " due rows\n";
    // A number above every one in use: generated data need not number by id.
    const fb::Value free = [&] {
        fb::Transaction tr(dm.IBDatabase1.connection());
        return fb::fetchScalar(dm.IBDatabase1.connection(), tr,
                               QStringLiteral("select max(n) + 1 from (select max(nom) n from \"RAZP DANNI\" "
                                              "union all select max(nomer) from razp_pari union all select 0 "
                                              "from rdb$database)"));
    }();
    step(QStringLiteral("a new receipt (number dialog)"), [&] {
        onDialog<TFRazpiska>("bitZapis", [&](TFRazpiska& d) {
            d.findChild<QLineEdit*>(QStringLiteral("edRazpNo"))->setText(free.toString());
        });
        click("bitRazpiskaDob");
    });
    for (int row : {0, 1}) {
        due->selectRow(row);
        step(QStringLiteral("a line on due row %1 (quantity dialog)").arg(row + 1), [&] {
            onDialog<TFKol>("bitZapis", [](TFKol& d) {
                d.findChild<QLineEdit*>(QStringLiteral("dbedKol"))->setText(QStringLiteral("1"));
                auto* goods = d.findChild<QComboBox*>(QStringLiteral("dblcbRKult"));
                if (goods->isVisible() && goods->count() > 0) {
                    goods->setCurrentIndex(0);
                    emit goods->activated(0);
                }
            });
            click("butKol");
        });
    }
    step(QStringLiteral("save the receipt and read the rent list again on the owner"), [&] {
        click("bitRazpRDZapis");
        schema::rent::bringUpToDate(dm.IBDatabase1.connection());
        IBTQS.commit();
        owners.open();
        owners.locate(QStringLiteral("ID_SOBSTV"), owner);
    });
    out << "    rest " << rest.value << "\n";
    delete screen;
    // The receipt made here goes again (its lines first).
    fb::Connection& c = dm.IBDatabase1.connection();
    fb::Transaction tr(c);
    const QString made =
        QStringLiteral("(select max(id_rd) from \"RAZP DANNI\" where id_hora = %1)").arg(owner.toInt());
    fb::execute(c, tr, QStringLiteral("delete from \"RAZP RENTA\" where id_rd = ") + made);
    fb::execute(c, tr, QStringLiteral("delete from \"RAZP DANNI\" where id_rd = ") + made);
    tr.commit();
    return 0;
}

}  // namespace bench
