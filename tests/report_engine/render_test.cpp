// Layouts rendered to PDF and HTML and read back as text: rows, groups,
// exact totals, sub-lists, page breaks and page numbers.
#include "report_engine/renderer.h"
#include "report_engine/report_project.h"
#include "report_engine/report_test.h"
#include "support/sql.h"

using reporttest::ReportTest;

namespace {

// The non-empty lines of a text with their runs of spaces made single.
QStringList lines(const QString& text)
{
    QStringList out;
    for (const QString& line : text.split(QLatin1Char('\n'))) {
        const QString s = line.simplified();
        if (!s.isEmpty())
            out << s;
    }
    return out;
}

// The stamp at the foot of a page of a database without a firm row.
QString foot(int page, int pages)
{
    return QStringLiteral("Отпечатано на %1 стр. %2 от %3")
        .arg(QDate::currentDate().toString(QStringLiteral("dd.MM.yyyy")))
        .arg(page)
        .arg(pages);
}

const char* const kGroupedLayout = R"(<report version="1">
  <page size="A4" margins="10,10,10,10"/>
  <title height="10"><text width="190" height="8" size="12" bold="true">Собственици по буква</text></title>
  <group field="IME" chars="1">
    <header height="6"><text width="20" height="6">Буква</text><field name="IME" chars="1" x="20" width="10" height="6"/></header>
    <footer height="6">
      <text width="50" height="6">Общо за буквата:</text>
      <total field="PLOSHT" format="#0.000" x="60" width="30" height="6" align="right"/>
      <total field="SUMA" format="#0.00" x="100" width="30" height="6" align="right"/>
      <total function="count" x="140" width="20" height="6" align="right"/>
    </footer>
  </group>
  <detail connection="rvdsT" height="5">
    <field name="IME" width="50" height="5"/>
    <field name="PLOSHT" format="#0.000" x="60" width="30" height="5" align="right"/>
    <field name="SUMA" x="100" width="30" height="5" align="right"/>
  </detail>
  <summary height="8">
    <line x1="0" y1="1" x2="190" y2="1"/>
    <text y="2" width="50" height="6">Общо:</text>
    <total field="PLOSHT" format="#0.000" suffix=" дка" x="60" y="2" width="30" height="6" align="right"/>
    <total field="SUMA" suffix=" лв" x="100" y="2" width="30" height="6" align="right"/>
    <total function="count" field="PLOSHT" x="140" y="2" width="20" height="6" align="right"/>
  </summary>
  <pageFooter height="6"><pageNumber x="130" width="60" height="6" align="right"/></pageFooter>
</report>)";

class RenderTest : public ReportTest {
protected:
    void SetUp() override
    {
        testsupport::runSql(
            db_.path(),
            {QStringLiteral("create table T (IME varchar(20), PLOSHT double precision, SUMA decimal(15,2))"),
             QStringLiteral("insert into T values ('Асен', 1.0005, 2.50)"),
             QStringLiteral("insert into T values ('Атанас', 1.0005, 3.25)"),
             QStringLiteral("insert into T values ('Борис', 0.1, 1.10)"),
             QStringLiteral("insert into T values ('божана', 0.2, 0.05)"),
             QStringLiteral("insert into T values ('Божидар', null, 4.00)")});
    }
};

TEST_F(RenderTest, GroupsAndTotalsAddUpThePrintedFiguresInPdfAndHtml)
{
    writeLayout(QStringLiteral("Grouped.rav"), kGroupedLayout);
    auto t = query(QStringLiteral("QT"), QStringLiteral("select * from T order by upper(IME)"));
    reports::ReportProject project(QStringLiteral("Grouped.rav"), prompter_, nullptr);
    project.setOutputChooser(chooser_);
    project.bindConnection(QStringLiteral("rvdsT"), *t);
    chooser_.answerPdf(path(QStringLiteral("out.pdf")));
    chooser_.answerHtml(path(QStringLiteral("out.html")));
    ASSERT_TRUE(project.execute());
    reports::ExecuteOptions withHtml;
    withHtml.allowHtml = true;
    ASSERT_TRUE(project.execute(withHtml));
    EXPECT_EQ(chooser_.asked().at(0).suggestedName, QStringLiteral("Grouped"));
    EXPECT_TRUE(chooser_.asked().at(1).allowHtml);
    EXPECT_TRUE(prompter_.shown().isEmpty()) << prompter_.shown().join(u'|').toStdString();

    // Each 1.0005 prints as 1,001, so the letter's total is 2,002 (the doubles' own sum would print 2,001).
    const QStringList expected = {
        QStringLiteral("Собственици по буква"),
        QStringLiteral("Буква А"),
        QStringLiteral("Асен 1,001 2,50"),
        QStringLiteral("Атанас 1,001 3,25"),
        QStringLiteral("Общо за буквата: 2,002 5,75 2"),
        QStringLiteral("Буква Б"),
        QStringLiteral("божана 0,200 0,05"),
        QStringLiteral("Божидар 4,00"),
        QStringLiteral("Борис 0,100 1,10"),
        QStringLiteral("Общо за буквата: 0,300 5,15 3"),
        QStringLiteral("Общо: 2,302 дка 10,90 лв 4"),
        QStringLiteral("Стр. 1 от 1"),
        foot(1, 1),
    };
    EXPECT_EQ(lines(pdfText(path(QStringLiteral("out.pdf")))), expected);

    const QString html = readText(QStringLiteral("out.html"));
    for (const QString& text :
         {QStringLiteral(">Асен<"), QStringLiteral(">2,002<"), QStringLiteral(">5,15<"), QStringLiteral(">2,302 дка<"),
          QStringLiteral(">Стр. 1 от 1<"), QStringLiteral("<line ")})
        EXPECT_TRUE(html.contains(text)) << text.toStdString();
    EXPECT_EQ(html.count(QStringLiteral("class=\"page\"")), 1);
}

TEST_F(RenderTest, LongListsBreakIntoNumberedPagesWithoutCuttingABand)
{
    writeLayout(QStringLiteral("Long.rav"), R"(<report version="1">
      <page size="A5" margins="10,10,10,10"/>
      <title height="20"><text width="128" height="10">Дълъг списък</text></title>
      <pageHeader height="6"><text width="30" height="6">№</text><text x="40" width="30" height="6">Сума</text></pageHeader>
      <detail connection="rvdsN" height="5">
        <field name="N" width="30" height="5"/><field name="A" x="40" width="30" height="5"/>
      </detail>
      <summary height="30"><text width="30" height="6">Общо:</text><total field="A" x="40" width="30" height="6"/></summary>
      <pageFooter height="6"><pageNumber width="128" height="6" align="center"/></pageFooter>
    </report>)");
    auto n = query(QStringLiteral("QN"),
                   QStringLiteral("with recursive r(n) as (select 1 from rdb$database union all select n + 1 from r "
                                  "where n < 150) select n as N, cast(n as decimal(15,2)) / 4 as A from r"));
    reports::ReportProject project(QStringLiteral("Long.rav"), prompter_, nullptr);
    project.setOutputChooser(chooser_);
    project.bindConnection(QStringLiteral("rvdsN"), *n);
    chooser_.answerPdf(path(QStringLiteral("long.pdf")));
    ASSERT_TRUE(project.execute());

    QStringList pages = pdfText(path(QStringLiteral("long.pdf"))).split(QLatin1Char('\f'));
    if (pages.last().trimmed().isEmpty())
        pages.removeLast();
    ASSERT_GE(pages.size(), 4);
    QStringList rows;
    for (int p = 0; p < pages.size(); ++p) {
        const QStringList page = lines(pages[p]);
        EXPECT_EQ(page.value(page.size() - 2), QStringLiteral("Стр. %1 от %2").arg(p + 1).arg(pages.size()));
        EXPECT_EQ(page.last(), foot(p + 1, int(pages.size())));
        EXPECT_EQ(page.contains(QStringLiteral("Дълъг списък")), p == 0);
        EXPECT_TRUE(page.contains(QStringLiteral("№ Сума"))) << "page header on page " << p + 1;
        for (const QString& line : page)
            if (line.front().isDigit())
                rows << line;
    }
    ASSERT_EQ(rows.size(), 150);
    EXPECT_EQ(rows.front(), QStringLiteral("1 0,25"));
    EXPECT_EQ(rows.back(), QStringLiteral("150 37,50"));
    EXPECT_TRUE(lines(pages.last()).contains(QStringLiteral("Общо: 2831,25")));

    // No band reaches into the page footer, and the footer stays above the stamp.
    n->open();
    reports::Tables tables;
    tables.insert(QStringLiteral("rvdsN"), reports::readDataset(QStringLiteral("rvdsN"), *n));
    QFile file(path(QStringLiteral("Long.rav")));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const reports::Layout layout = reports::parseLayout(file.readAll());
    const double height = layout.page.paintRect(QPageLayout::Millimeter).height();
    const auto bare = reports::render(layout, tables);
    ASSERT_TRUE(bare);
    for (const auto& page : bare->pages)
        for (size_t i = 0; i + 1 < page.size(); ++i)  // the last item is the page number
            EXPECT_LE(page[i].rect.bottom(), height - 6 + 1e-6) << page[i].text.toStdString();
    const auto doc = reports::render(layout, tables, {}, {QStringLiteral("стамп"), QStringLiteral("филтър")});
    ASSERT_TRUE(doc);
    EXPECT_EQ(int(doc->pages.size()), pages.size());
    for (const auto& page : doc->pages) {
        ASSERT_GE(page.size(), 4u);
        // The layout's page number, then the stamp's rule, text and page.
        for (size_t i = 0; i + 4 < page.size(); ++i)
            EXPECT_LE(page[i].rect.bottom(), height - 5 - 6 + 1e-6) << page[i].text.toStdString();
        EXPECT_LE(page[page.size() - 4].rect.bottom(), height - 5 + 1e-6);
        EXPECT_LE(page.back().rect.bottom(), height + 1e-6);
        EXPECT_GE(page.back().rect.top(), height - 5 - 1e-6);
    }
}

// Every page of every report carries the firm, its farming year, the day and
// the page of pages at its foot, read from the database as it is when the
// report runs; the filter is named under the title and atop every next page.
TEST_F(RenderTest, EveryPageIsStampedWithTheFirmTheYearTheDayAndTheFilter)
{
    writeLayout(QStringLiteral("Long.rav"), R"(<report version="1">
      <page size="A5" margins="10,10,10,10"/>
      <title height="10"><text width="128" height="10">Дълъг списък</text></title>
      <detail connection="rvdsN" height="5"><field name="N" width="30" height="5"/></detail>
    </report>)");
    testsupport::runSql(db_.path(), {QStringLiteral("insert into FIRMA (NAIM_FIRMA, ID_VZP, FROMYEAR, TOYEAR) values "
                                                    "('Агро ООД', 2, '2024-10-01', '2025-09-30')")});
    auto n = query(QStringLiteral("QN"),
                   QStringLiteral("with recursive r(n) as (select 1 from rdb$database union all select n + 1 from r "
                                  "where n < 80) select n as N from r"));
    reports::ReportProject project(QStringLiteral("Long.rav"), prompter_, nullptr);
    project.setOutputChooser(chooser_);
    project.bindConnection(QStringLiteral("rvdsN"), *n);
    QString filter = QStringLiteral("Име: Ас");
    project.setFilter([&filter] { return filter; });
    chooser_.answerPdf(path(QStringLiteral("stamped.pdf")));
    chooser_.answerHtml(path(QStringLiteral("stamped.html")));
    ASSERT_TRUE(project.execute());
    const QString today = QDate::currentDate().toString(QStringLiteral("dd.MM.yyyy"));
    QStringList pages = pdfText(path(QStringLiteral("stamped.pdf"))).split(QLatin1Char('\f'));
    if (pages.last().trimmed().isEmpty())
        pages.removeLast();
    ASSERT_GE(pages.size(), 2);
    int rows = 0;
    for (int p = 0; p < pages.size(); ++p) {
        const QStringList page = lines(pages[p]);
        EXPECT_EQ(page.last(), QStringLiteral("Агро ООД – Стопанска година 2024/2025 – Отпечатано на %1 стр. %2 от %3")
                                   .arg(today)
                                   .arg(p + 1)
                                   .arg(pages.size()));
        EXPECT_EQ(page.value(p == 0 ? 1 : 0), QStringLiteral("Филтър — Име: Ас")) << p;
        for (const QString& line : page)
            rows += line.front().isDigit();
    }
    EXPECT_EQ(rows, 80);

    // The firm's year moved on and no filter: the next run says so, in HTML too.
    testsupport::runSql(db_.path(),
                        {QStringLiteral("update FIRMA set FROMYEAR = '2025-10-01', TOYEAR = '2026-09-30'")});
    filter.clear();
    reports::ExecuteOptions withHtml;
    withHtml.allowHtml = true;
    ASSERT_TRUE(project.execute(withHtml));
    const QString html = readText(QStringLiteral("stamped.html"));
    EXPECT_TRUE(html.contains(QStringLiteral(">Агро ООД – Стопанска година 2025/2026 – Отпечатано на %1<").arg(today)));
    EXPECT_TRUE(html.contains(QStringLiteral(">стр. 1 от ")));
    EXPECT_FALSE(html.contains(QStringLiteral("Филтър")));
    EXPECT_TRUE(prompter_.shown().isEmpty()) << prompter_.shown().join(u'|').toStdString();
}

// Rows a screen gathered itself name the firm of the database it gives.
TEST_F(RenderTest, RowsOfTheScreensOwnNameTheFirmOfTheDatabaseGiven)
{
    writeLayout(QStringLiteral("Rows.rav"), R"(<report version="1">
      <detail connection="tr" height="5"><field name="IME" width="60" height="5"/></detail>
    </report>)");
    testsupport::runSql(db_.path(), {QStringLiteral("insert into FIRMA (NAIM_FIRMA, ID_VZP) values ('Агро ООД', 2)")});
    reports::Table rows;
    rows.fields = QStringList{QStringLiteral("IME")};
    rows.rows.push_back({fb::Value(QStringLiteral("Иван"))});
    reports::ReportProject project(QStringLiteral("Rows.rav"), prompter_, nullptr);
    project.setOutputChooser(chooser_);
    project.bindRows(QStringLiteral("tr"), rows);
    chooser_.answerPdf(path(QStringLiteral("alone.pdf")));
    chooser_.answerPdf(path(QStringLiteral("given.pdf")));
    ASSERT_TRUE(project.execute());
    project.setDatabase(database_);
    ASSERT_TRUE(project.execute());
    const QString today = QDate::currentDate().toString(QStringLiteral("dd.MM.yyyy"));
    EXPECT_EQ(lines(pdfText(path(QStringLiteral("alone.pdf")))), (QStringList{QStringLiteral("Иван"), foot(1, 1)}));
    // A firm without a farming year: its name and the day.
    EXPECT_EQ(
        lines(pdfText(path(QStringLiteral("given.pdf")))),
        (QStringList{QStringLiteral("Иван"), QStringLiteral("Агро ООД – Отпечатано на %1 стр. 1 от 1").arg(today)}));
}

TEST(FootText, NamesWhatIsKnown)
{
    const QDate day(2026, 1, 5);
    EXPECT_EQ(reports::footText(QStringLiteral("Агро ООД"), QDate(2024, 10, 1), QDate(2025, 9, 30), day),
              QStringLiteral("Агро ООД – Стопанска година 2024/2025 – Отпечатано на 05.01.2026"));
    EXPECT_EQ(reports::footText(QString(), QDate(2023, 3, 1), QDate(2024, 2, 29), day),
              QStringLiteral("Стопанска година 2023/2024 – Отпечатано на 05.01.2026"));
    EXPECT_EQ(reports::footText(QStringLiteral("Агро ООД"), QDate(2024, 10, 1), QDate(), day),
              QStringLiteral("Агро ООД – Отпечатано на 05.01.2026"));
}

TEST_F(RenderTest, SubListsPrintTheLinesOfEachRowWithTheirOwnTotals)
{
    testsupport::runSql(db_.path(),
                        {QStringLiteral("create table L (ID_T decimal(15,2), STOKA varchar(20), KG integer)"),
                         QStringLiteral("insert into L values (1, 'Пшеница', 100)"),
                         QStringLiteral("insert into L values (3, 'Слънчоглед', 7)"),
                         QStringLiteral("insert into L values (1, 'Ечемик', 25)")});
    writeLayout(QStringLiteral("Sub.rav"), R"(<report version="1">
      <detail connection="rvdsM" height="6">
        <field name="ID" width="10" height="6"/><field name="IME" x="10" width="60" height="6"/>
        <sublist connection="rvdsL" field="ID_T" masterField="ID">
          <header height="5"><text x="20" width="40" height="5">Стока</text></header>
          <row height="5"><field name="STOKA" x="20" width="40" height="5"/><field name="KG" x="70" width="20" height="5" align="right"/></row>
          <footer height="5"><text x="20" width="40" height="5">Общо кг:</text><total field="KG" x="70" width="20" height="5" align="right"/></footer>
        </sublist>
      </detail>
    </report>)");
    auto m = query(QStringLiteral("QM"), QStringLiteral("select 1 as ID, 'Иван' as IME from rdb$database union all "
                                                        "select 2, 'Мария' from rdb$database union all "
                                                        "select 3, 'Петър' from rdb$database"));
    auto l = query(QStringLiteral("QL"), QStringLiteral("select * from L order by STOKA"));
    reports::ReportProject project(QStringLiteral("Sub.rav"), prompter_, nullptr);
    project.setOutputChooser(chooser_);
    project.bindConnection(QStringLiteral("rvdsM"), *m);
    project.bindConnection(QStringLiteral("rvdsL"), *l);
    chooser_.answerPdf(path(QStringLiteral("sub.pdf")));
    ASSERT_TRUE(project.execute());
    // Mary has no lines: neither the head nor the total of a sub-list is printed for her.
    EXPECT_EQ(lines(pdfText(path(QStringLiteral("sub.pdf")))),
              (QStringList{QStringLiteral("1 Иван"), QStringLiteral("Стока"), QStringLiteral("Ечемик 25"),
                           QStringLiteral("Пшеница 100"), QStringLiteral("Общо кг: 125"), QStringLiteral("2 Мария"),
                           QStringLiteral("3 Петър"), QStringLiteral("Стока"), QStringLiteral("Слънчоглед 7"),
                           QStringLiteral("Общо кг: 7"), foot(1, 1)}));
}

TEST_F(RenderTest, PlotsWithADifferenceListOfTheProgram)
{
    ASSERT_TRUE(QFile::copy(QStringLiteral(ARVENTA_LAYOUTS_DIR "/SpisykKatKoef.rav"),
                            path(QStringLiteral("SpisykKatKoef.rav"))));
    testsupport::runSql(
        db_.path(),
        {QStringLiteral("create table KK (EKATTE varchar(5), NAIM_NM varchar(50), NAIM_MESTN varchar(50), IMOT_NO "
                        "varchar(15), PLOSHT double precision, PRPLOSHT double precision, PRPL decimal(18,3), "
                        "NAIM_NTP varchar(50), NAIM_FS varchar(50))"),
         QStringLiteral("insert into KK values ('10135', 'Ботевград', 'Под село', '000123', 8.59, 9.879, 9.878, "
                        "'Нива', 'Частна')"),
         QStringLiteral("insert into KK values ('10135', 'Ботевград', 'Кайряка', '000456', 1.735, 1.734, 1.735, "
                        "'Ливада', 'Частна')")});
    auto kk = query(QStringLiteral("IBQKatKoef"), QStringLiteral("select * from KK order by IMOT_NO"));
    reports::ReportProject project(QStringLiteral("SpisykKatKoef.rav"), prompter_, nullptr);
    project.setOutputChooser(chooser_);
    project.bindConnection(QStringLiteral("rvdsQueryKatKoef"), *kk);
    chooser_.answerPdf(path(QStringLiteral("kk.pdf")));
    ASSERT_TRUE(project.execute());
    const QStringList text = lines(pdfText(path(QStringLiteral("kk.pdf"))));
    EXPECT_EQ(text.value(0), QStringLiteral("Приравняване на категории"));
    EXPECT_TRUE(text.contains(QStringLiteral("10135 Ботевград Под село 000123 8,590 9,879 9,878 Нива Частна")));
    EXPECT_TRUE(text.contains(QStringLiteral("10135 Ботевград Кайряка 000456 1,735 1,734 1,735 Ливада Частна")));
    EXPECT_TRUE(text.contains(QStringLiteral("Брой имоти: 2 Общо: 10,325 11,613 11,613")))
        << text.join(u'|').toStdString();
    // The page's number is the stamp's: the layout has none of its own.
    EXPECT_EQ(text.last(), foot(1, 1));
    EXPECT_EQ(text.join(u'|').count(QStringLiteral("от 1")), 1);
}

}  // namespace
