#include "app/startup.h"
#include "demo/writer.h"
#include "fb/connection.h"
#include "fb/statement.h"
#include "rent/rent_goods_report.h"
#include "rent/tfvidrenta.h"
#include "rules_screen_test.h"
#include "schema/rent_due_cache.h"
#include "schema/rent_sql.h"
#include "support/pdf_text.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QDir>
#include <QFile>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTemporaryDir>
#include <QToolButton>

namespace {

using renttest::RulesScreenTest;

// Runs the test in a folder holding the report's layout, as the program's own folder does.
class InLayoutFolder {
public:
    InLayoutFolder() : previous_(QDir::currentPath())
    {
        QDir::setCurrent(folder_.path());
        EXPECT_TRUE(QFile::copy(QStringLiteral(ARVENTA_LAYOUTS_DIR "/SprZR.rav"), folder_.filePath("SprZR.rav")));
    }
    ~InLayoutFolder() { QDir::setCurrent(previous_); }
    QString file(const char* name) const { return folder_.filePath(QLatin1String(name)); }

private:
    QTemporaryDir folder_;
    QString previous_;
};

// The printed lines that hold `text`, blanks squeezed.
QStringList linesWith(const QString& pdf, const QString& text)
{
    QStringList out;
    for (const QString& line : pdf.split(QLatin1Char('\n')))
        if (line.simplified().contains(text))
            out << line.simplified();
    return out;
}

// Worked out by hand from the small enterprise: per area and contract type the
// equalised area counted (Изгрев/Аренда 3.457 + 2.100 = 5.557: contract 104
// ended before the year; Бело поле/Наем 3.000; Изгрев/Наем 1.500), each rule
// line's quantity on it (wheat rounded to whole kilograms per decare first,
// money to stotinki) and its value.
TEST_F(RulesScreenTest, TheReportGivesEachAreasDueOverAllOwnersPerRentType)
{
    InLayoutFolder folder;
    open();
    outputs.answerPdf(folder.file("SprZR.pdf"));
    click("bitSprStokiZeml");
    EXPECT_TRUE(prompter.shown().isEmpty()) << prompter.shown().join(QLatin1Char('|')).toStdString();
    ASSERT_EQ(outputs.asked().size(), 1u);
    EXPECT_EQ(outputs.asked()[0].title, QStringLiteral("Изходни опции"));
    const QString pdf = testsupport::pdfText(folder.file("SprZR.pdf"));
    EXPECT_TRUE(pdf.contains(QStringLiteral("Справка стоки за рента по землища")));

    EXPECT_EQ(linesWith(pdf, QStringLiteral("Вид рента:")),
              (QStringList{"Вид рента: Пари Мярка: лв Редове в правилата: 3",
                           "Вид рента: Пшеница Мярка: кг Редове в правилата: 2"}));
    // Money: 30.00 × 5.557; 20.00 × 1.500 priced at 22.00 a decare; 12.13 × 3.000.
    EXPECT_EQ(linesWith(pdf, QStringLiteral("Изгрев")),
              (QStringList{"Аренда 00134 Изгрев 5,000 5,557 166,71 166,71", "Наем 00134 Изгрев 1,200 1,500 30,00 33,00",
                           "Аренда 00134 Изгрев 5,000 5,557 222,00 55,50"}));
    // Wheat: 40 × 5.557 = 222.28, 222 kg at 0.25; 12.5 kg a decare counts as 13: 39 kg at 0.30.
    EXPECT_EQ(
        linesWith(pdf, QStringLiteral("Бело поле")),
        (QStringList{"Наем 03664 Бело поле 3,000 3,000 36,39 36,39", "Наем 03664 Бело поле 3,000 3,000 39,00 11,70"}));
    EXPECT_EQ(linesWith(pdf, QStringLiteral("Общо за вида рента:")),
              (QStringList{"Общо за вида рента: 233,10 236,10 лв", "Общо за вида рента: 261,00 67,20 лв"}));

    // A share changed since is in the next report: the kept lines are brought up to date.
    seed({"update SOBSTV set PRREDPL = 3.1 where ID_HORA = 2 and ID_ZEMQ = 100"});
    outputs.answerPdf(folder.file("again.pdf"));
    click("bitSprStokiZeml");
    EXPECT_TRUE(prompter.shown().isEmpty()) << prompter.shown().join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(linesWith(testsupport::pdfText(folder.file("again.pdf")), QStringLiteral("Аренда 00134")).value(0),
              QStringLiteral("Аренда 00134 Изгрев 5,000 6,557 196,71 196,71"));

    // The preview is the engine's window, maximised and titled as asked.
    outputs.answerPreview();
    click("bitSprStokiZeml");
    QWidget* preview = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->windowTitle() == QStringLiteral("Предпринт"))
            preview = w;
    ASSERT_TRUE(preview);
    EXPECT_TRUE(preview->isMaximized());
    preview->close();
}

// The report's queries read the kept contract lines, and the rule-type lists
// join Q1's keys instead of asking "in" a subquery: on a generated enterprise
// they give the same rows as the queries written plainly over the raw lines.
TEST(RentGoodsReport, TheQueriesGiveTheRowsOfTheirPlainFormOnAGeneratedEnterprise)
{
    testsupport::TestDatabase db;
    fb::Connection c;
    c.attach(db.path());
    demo::fill(c, {150, 400, 3});
    schema::rent::bringUpToDate(c);

    const QString plainZP = QStringLiteral(
        "select zemlishte.id_zeml, \"DOG DANNI\".id_dt%1,\n"
        " sum(cast(doghorazemi.redplosht as decimal(15,3))) ZPD_plosht, sum(cast(sobstv.prredpl as decimal(15,3))) "
        "ZP_plosht\n"
        "from firma cross join \"DOG DANNI\"\n"
        " inner join doghorazemi on (\"DOG DANNI\".id_dog = doghorazemi.id_dog)\n"
        " inner join sobstv on (doghorazemi.id_zemq = sobstv.id_zemq) and (doghorazemi.id_sobstv = sobstv.id_hora)\n"
        " inner join zemq on (doghorazemi.id_zemq = zemq.id_zemq)\n"
        " inner join mestnost on (zemq.id_mest = mestnost.id_mestn)\n"
        " inner join zemlishte on (mestnost.id_zeml = zemlishte.id_zeml)\n%2"
        "where %3\ngroup by zemlishte.id_zeml, \"DOG DANNI\".id_dt%1");
    const QString year = schema::rent::farmingYearCondition();
    const QString named =
        plainZP.arg(QStringLiteral(", nas_mqsto.naim_nm"),
                    QStringLiteral(" inner join nas_mqsto on (zemlishte.ekatte = nas_mqsto.ekatte)\n"), year);
    const QString keys = plainZP.arg(QString(), QString(), year);
    rent::RentGoodsQueries plain = rent::rentGoodsQueries();
    plain.body.replace(schema::rent::areaPerCadastralArea(true), named);
    for (QString* q : {&plain.typesPerContractType, &plain.typesInUse}) {
        q->replace(schema::rent::areaPerCadastralArea(false), keys);
        // Back to "in (select … group by …)" with the join's own subquery.
        const qsizetype join = q->indexOf(QStringLiteral(" inner join (select Q1."));
        const qsizetype on = q->lastIndexOf(QStringLiteral(") T on ("));
        const QString sub = q->mid(join + 13, on - join - 13);
        const QString column = q->contains(QStringLiteral("T.id_dt")) ? QStringLiteral("\"RENTA ZEML\".id_dt")
                                                                      : QStringLiteral("vidrentakol.id_vrk");
        q->replace(join, q->indexOf(QLatin1Char('\n'), on) - join,
                   QStringLiteral("\nwhere %1 in (%2)").arg(column, sub));
    }
    ASSERT_FALSE(plain.body.contains(QStringLiteral("nach_renta")));
    ASSERT_TRUE(plain.typesInUse.contains(QStringLiteral("in (select Q1.id_vr")));

    const rent::RentGoodsQueries kept = rent::rentGoodsQueries(schema::rent::keptContractLines());
    const rent::RentGoodsQueries computed = rent::rentGoodsQueries();
    fb::Transaction tr(c);
    const auto read = [&](const QString& sql) {
        fb::Statement st(c, sql);
        QStringList out;
        for (const auto& row : fb::fetchAll(st, tr)) {
            QStringList cells;
            for (const fb::Value& v : row)
                cells << (v.isNull() ? QStringLiteral("-") : v.toString());
            out << cells.join(QLatin1Char(' '));
        }
        out.sort();
        return out;
    };
    const QStringList body = read(plain.body);
    EXPECT_GT(body.size(), 20);
    EXPECT_EQ(read(kept.body), body);
    EXPECT_EQ(read(computed.body), body);
    for (auto part : {&rent::RentGoodsQueries::typesPerContractType, &rent::RentGoodsQueries::typesInUse}) {
        const QStringList rows = read(plain.*part);
        EXPECT_FALSE(rows.isEmpty());
        EXPECT_EQ(read(kept.*part), rows);
        EXPECT_EQ(read(computed.*part), rows);
    }
}

// The menu item opens a rules screen of its own beside a registered one and
// runs the report at once; the rules screen's button shows the one rent
// types screen.
TEST(RentGoodsReport, TheMenuItemRunsTheReportOnASecondRulesScreen)
{
    testsupport::TestDatabase db;
    testsupport::runSql(db.path(), renttest::kEnterprise);
    testsupport::runSql(db.path(), renttest::kRules);
    testsupport::ScriptedPrompter prompter;
    testsupport::ScriptedOutputChooser outputs;
    InLayoutFolder folder;
    QTemporaryDir exeDir;
    Arventa program = startArventa(exeDir.path(), prompter, db.path());
    program.registry->setOutputChooser(outputs);
    TFMain& main = *program.main;
    main.show();
    const auto rulesScreens = [&] { return main.findChildren<TFRentaZeml*>().size(); };

    main.findChild<QToolButton*>(QStringLiteral("bitPravilaRenta"))->click();
    main.runCommand(QStringLiteral("mRentaZeml"));
    EXPECT_EQ(rulesScreens(), 1);
    outputs.answerPdf(folder.file("menu.pdf"));
    main.runCommand(QStringLiteral("mSprStokiRenta"));
    EXPECT_EQ(rulesScreens(), 2);
    EXPECT_TRUE(testsupport::pdfText(folder.file("menu.pdf")).contains(QStringLiteral("166,71")));
    testsupport::keepScreenshot(main.grab().toImage(), QStringLiteral("TFRentaZeml-main"));

    auto* rules = qobject_cast<TFRentaZeml*>(program.registry->instance(QStringLiteral("TFRentaZeml")));
    ASSERT_TRUE(rules);
    QTest::mouseClick(rules->findChild<QPushButton*>(QStringLiteral("bitVRDob")), Qt::LeftButton);
    auto* beside = rules->findChild<QPushButton*>(QStringLiteral("bitVRDobNew"));
    QTest::mouseClick(beside, Qt::LeftButton);
    QTest::mouseClick(beside, Qt::LeftButton);
    EXPECT_EQ(main.findChildren<TFVidRenta*>().size(), 1);
    auto* types = qobject_cast<TFVidRenta*>(program.registry->instance(QStringLiteral("TFVidRenta")));
    ASSERT_TRUE(types);
    EXPECT_EQ(main.mdiArea()->activeSubWindow(), types->parentWidget());
    main.runCommand(QStringLiteral("mVidoveRenta"));
    EXPECT_EQ(main.findChildren<TFVidRenta*>().size(), 1);
    EXPECT_TRUE(prompter.shown().isEmpty()) << prompter.shown().join(QLatin1Char('|')).toStdString();

    // Closing the program asks about the pending line.
    prompter.answerNo();
    EXPECT_TRUE(main.close());
    EXPECT_EQ(prompter.shown(), QStringList{QStringLiteral("Желаете ли да запишете!")});
}

}  // namespace
