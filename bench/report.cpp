// report DB [OUT.pdf]: the owners of a database (made by arventa-demo) as a
// report: one row per owner with the area of the shares, a group per first
// letter of the name with its count and area, totals at the end, page
// numbers; read, laid out and written to PDF, each step timed.
#include "bench/bench.h"

#include "dataset/database.h"
#include "dataset/dataset.h"
#include "dataset/transaction_area.h"
#include "fb/error.h"
#include "report_engine/output.h"
#include "report_engine/renderer.h"

#include <QElapsedTimer>
#include <QLocale>
#include <QTemporaryDir>
#include <QTextStream>

namespace bench {

namespace {

const char* const kLayout = R"(<report version="1">
  <page size="A4" margins="15,10,10,10"/>
  <style size="8"/>
  <title height="10"><text width="185" height="8" size="12" bold="true" align="center">Собственици</text></title>
  <pageHeader height="7">
    <text width="30" height="6" bold="true">ЕГН/ЕИН</text><text x="32" width="100" height="6" bold="true">Име</text>
    <text x="135" width="20" height="6" bold="true" align="right">Имоти</text>
    <text x="157" width="28" height="6" bold="true" align="right">Площ</text>
    <line x1="0" y1="6.5" x2="185" y2="6.5"/>
  </pageHeader>
  <group field="IME" chars="1">
    <header height="6"><text width="20" height="6" bold="true">Буква</text><field name="IME" chars="1" x="20" width="10" height="6" bold="true"/></header>
    <footer height="7">
      <text x="32" width="60" height="6" italic="true">Собственици с тази буква:</text>
      <total function="count" x="92" width="20" height="6" italic="true"/>
      <total field="PLOSHT" format="#0.000" suffix=" дка" x="140" width="45" height="6" italic="true" align="right"/>
    </footer>
  </group>
  <detail connection="rvdsHora" height="4.5">
    <field name="EGN" width="30" height="4.5"/><field name="IME" x="32" width="100" height="4.5"/>
    <field name="IMOTI" x="135" width="20" height="4.5" align="right"/>
    <field name="PLOSHT" format="#0.000" x="157" width="28" height="4.5" align="right"/>
  </detail>
  <summary height="8">
    <box x="0" y="1" width="185" height="6"/>
    <text x="2" y="1" width="30" height="6" bold="true">Общо:</text>
    <total function="count" x="32" y="1" width="20" height="6" bold="true"/>
    <total field="PLOSHT" format="#0.000" suffix=" дка" x="130" y="1" width="53" height="6" bold="true" align="right"/>
  </summary>
  <pageFooter height="6"><pageNumber x="105" width="80" height="6" align="right"/></pageFooter>
</report>)";

const char* const kOwners =
    "select hora.egn, hora.ime, count(sobstv.id_zemq) as imoti, "
    "cast(coalesce(sum(sobstv.redplosht), 0) as decimal(15,3)) as plosht "
    "from hora left join sobstv on sobstv.id_hora = hora.id_hora "
    "group by hora.id_hora, hora.egn, hora.ime order by hora.ime";

int report(const QStringList& args)
{
    QTextStream out(stdout);
    QLocale::setDefault(QLocale(QLocale::Bulgarian, QLocale::Bulgaria));
    QTemporaryDir folder;
    const QString pdf = args.value(1, folder.filePath(QStringLiteral("report.pdf")));
    dataset::Database database(args[0]);
    dataset::TransactionArea area(database, QStringLiteral("IBTReport"));
    dataset::Dataset owners(area, QStringLiteral("QueryHora"));
    owners.sql().setLines({QString::fromUtf8(kOwners)});

    QElapsedTimer t;
    t.start();
    reports::Tables tables;
    try {
        tables.insert(QStringLiteral("rvdsHora"), reports::readDataset(QStringLiteral("rvdsHora"), owners));
    } catch (const fb::Error& e) {
        QTextStream(stderr) << e.message() << "\n";
        return 1;
    }
    const qint64 read = t.restart();
    const auto doc = reports::render(reports::parseLayout(kLayout), tables);
    const qint64 laid = t.restart();
    if (!doc || !reports::writePdf(*doc, pdf))
        return 1;
    const qint64 written = t.elapsed();
    out << "report: " << tables[QStringLiteral("rvdsHora")].rows.size() << " rows, " << doc->pages.size()
        << " pages; read " << read << " ms, laid out " << laid << " ms, PDF " << written << " ms, total "
        << read + laid + written << " ms\n";
    return 0;
}

}  // namespace

const Case reportCase = {"report", "DB [OUT.pdf]: the owners list grouped by first letter, with totals, to PDF",
                         report};

}  // namespace bench
