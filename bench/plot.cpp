// arventa-bench plot DB: the plot editor on a plot with six owners' shares
// (made by arventa-demo): opening it, saving it unchanged, and an owner
// picker (the owners register with every owner) opening from it.
#include "bench/bench.h"
#include "common/sort_switch.h"
#include "dm/tdm.h"
#include "fb/statement.h"
#include "registers/tfhora.h"
#include "registers/tfimot.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPushButton>

#include <memory>

namespace bench {

int plot(const QStringList& args)
{
    QTextStream out(stdout);
    PrintingPrompter prompter;
    TDM dm(args[0]);
    dm.IBDatabase1.connect();
    SortSwitch owners;
    fb::Connection& c = dm.IBDatabase1.connection();
    fb::Transaction tr(c);
    const fb::Value plot = fb::fetchScalar(
        c, tr, QStringLiteral("select first 1 id_zemq from sobstv group by id_zemq having count(*) = 6"));
    const fb::Value locality =
        fb::fetchScalar(c, tr, QStringLiteral("select id_mest from zemq where id_zemq = ?"), {plot});
    const fb::Value area =
        fb::fetchScalar(c, tr, QStringLiteral("select id_zeml from mestnost where id_mestn = ?"), {locality});
    tr.commit();
    if (plot.isNull()) {
        out << "plot: no plot with six shares in " << args[0] << "\n";
        return 1;
    }
    dm.TZemlishte.locate(QStringLiteral("ID_ZEML"), area);
    dm.TMestnost.locate(QStringLiteral("ID_MESTN"), locality);
    dm.TZemq.locate(QStringLiteral("ID_ZEMQ"), plot);

    QElapsedTimer t;
    out << "plot (ID_ZEMQ " << plot.toInt() << ", " << dm.TSobstv.rowCount() << " shares):\n";
    t.start();
    dm.IBTImot.ensureStarted();
    dm.TZemq.edit();
    auto* editor = new TFImot(dm, prompter, owners, QStringLiteral("—"));
    editor->show();
    out << "  open the editor: " << t.elapsed() << " ms\n";

    t.start();
    auto picker = std::make_unique<TFHora>(dm, prompter, owners);
    picker->pickFor(*editor, OwnerPick::AddShare);
    picker->show();
    QApplication::processEvents();
    out << "  open an owner picker: " << t.elapsed() << " ms\n";
    picker.reset();

    t.start();
    editor->findChild<QPushButton*>(QStringLiteral("bitZapis"))->click();
    out << "  save the plot unchanged: " << t.elapsed() << " ms\n";
    return dm.TZemq.isEditing() ? 1 : 0;
}

}  // namespace bench
