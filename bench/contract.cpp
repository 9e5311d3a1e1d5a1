// arventa-bench contract DB: the contract editor on the contract with the
// most lines (made by arventa-demo): opening it (every plot listed), the
// three prefix filters, clearing them, adding a free share as a line and
// taking it out again; the edit is cancelled at the end.
#include "bench/bench.h"
#include "dm/tdm.h"
#include "fb/statement.h"
#include "registers/tfdognew.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>

#include <functional>

namespace bench {

int contract(const QStringList& args)
{
    QTextStream out(stdout);
    PrintingPrompter prompter;
    TDM dm(args[0]);
    dm.IBDatabase1.connect();
    fb::Connection& c = dm.IBDatabase1.connection();
    fb::Transaction tr(c);
    const fb::Value id = fb::fetchScalar(c, tr,
                                         QStringLiteral("select first 1 id_dog from doghorazemi join \"DOG DANNI\" "
                                                        "using (id_dog) where systoqnie = 'Действащ' "
                                                        "group by id_dog order by count(*) desc"));
    // A free share's plot number, its locality and area for the filters.
    const auto freeShare = fb::fetchAll(
        *std::make_unique<fb::Statement>(
            c, QStringLiteral("select first 1 zemq.imot_no, mestnost.naim_mestn, nas_mqsto.naim_nm from sobstv "
                              "join zemq on zemq.id_zemq = sobstv.id_zemq join mestnost on mestnost.id_mestn = "
                              "zemq.id_mest join zemlishte on zemlishte.id_zeml = mestnost.id_zeml join nas_mqsto "
                              "on nas_mqsto.ekatte = zemlishte.ekatte where coalesce(sobstv.id_dhz, 0) = 0")),
        tr);
    tr.commit();
    if (id.isNull() || freeShare.empty()) {
        out << "contract: no contract in force with lines, or no free share, in " << args[0] << "\n";
        return 1;
    }
    const QString number = freeShare[0][0].toString();
    const QString locality = freeShare[0][1].toString();
    const QString area = freeShare[0][2].toString();

    QElapsedTimer t;
    const auto step = [&](const QString& what, const std::function<void()>& run) {
        t.start();
        run();
        QApplication::processEvents();
        out << "  " << what << ": " << t.elapsed() << " ms\n";
    };
    dm.IBTDog.ensureStarted();
    dm.TDogovor.locate(QStringLiteral("ID_DOG"), id);
    out << "contract (ID_DOG " << id.toInt() << ", " << dm.TDHZ.rowCount() << " lines):\n";
    TFDogNew* editor = nullptr;
    step(QStringLiteral("open the editor (every plot listed)"), [&] {
        editor = new TFDogNew(dm, prompter, TFDogNew::Opening::Correction);
        editor->show();
    });
    auto* plots = editor->findChild<QTableView*>(QStringLiteral("jvdbgridImoti"));
    const auto click = [&](const char* name) { editor->findChild<QPushButton*>(QLatin1String(name))->click(); };
    const auto type = [&](const char* name, const QString& text) {
        editor->findChild<QLineEdit*>(QLatin1String(name))->setText(text);
    };
    type("edZemlishte", area.left(3).toLower());
    step(QStringLiteral("filter by area '%1'").arg(area.left(3).toLower()), [&] { click("bitFilter"); });
    out << "    " << plots->model()->rowCount() << " plots\n";
    type("edMestnost", locality);
    type("edImot", number);
    step(QStringLiteral("filter by area, locality and plot number"), [&] { click("bitFilter"); });
    out << "    " << plots->model()->rowCount() << " plots\n";
    type("edZemlishte", {});
    type("edMestnost", {});
    step(QStringLiteral("filter by plot number '%1' alone").arg(number), [&] { click("bitFilter"); });
    out << "    " << plots->model()->rowCount() << " plots\n";
    type("edZemlishte", area);
    type("edMestnost", locality);
    click("bitFilter");
    auto* lines = editor->findChild<QTableView*>(QStringLiteral("jvdbgridDHZ"));
    step(QStringLiteral("add a free share as a line"), [&] { click("bitDob"); });
    out << "    " << lines->model()->rowCount() << " lines\n";
    const int before = lines->model()->rowCount();
    step(QStringLiteral("take a line out"), [&] {
        // The line of an owner without a receipt (the one just added has none).
        auto* back = editor->findChild<QPushButton*>(QStringLiteral("bitVryshtane"));
        for (int r = lines->model()->rowCount() - 1; r >= 0 && lines->model()->rowCount() == before; --r) {
            lines->selectRow(r);
            if (back->isEnabled())
                back->click();
        }
    });
    out << "    " << lines->model()->rowCount() << " lines\n";
    step(QStringLiteral("clear the filters (every plot again)"), [&] { click("bitClear"); });
    click("bitOtkaz");
    return dm.TDogovor.isEditing() ? 1 : 0;
}

}  // namespace bench
