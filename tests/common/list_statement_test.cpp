#include "common/list_statement.h"
#include "common/sort_switch.h"

#include <gtest/gtest.h>

namespace {

const ListStatement owners{.base = {QStringLiteral("select hora.egn, hora.ime from hora")},
                           .defaultOrder = {QStringLiteral(" order by "), QStringLiteral(" hora.egn, hora.ime ")}};

const ListStatement areas{.base = {QStringLiteral("select * from zemlishte")},
                          .defaultOrder = {QStringLiteral("order by oblast.naim_obl ")}};

const std::vector<FilterCondition> areaBoxes = {{QStringLiteral("(upper(oblast.naim_obl) starting with upper(")},
                                                {QStringLiteral("(upper(obshtina.naim_obsht) starting with upper(")}};

TEST(SqlLiteral, QuotesAndDoublesEverySingleQuote)
{
    EXPECT_EQ(sqlLiteral(QStringLiteral("О'Нийл")), QStringLiteral("'О''Нийл'"));
    EXPECT_EQ(sqlLiteral(QStringLiteral("''")), QStringLiteral("''''''"));
    EXPECT_EQ(sqlLiteral(QString()), QStringLiteral("''"));
    EXPECT_EQ(sqlLiteral(QStringLiteral("50% \"x\" :egn ?")), QStringLiteral("'50% \"x\" :egn ?'"));
}

TEST(ListStatement, AFilterWritesWhereAndBetweenTheNonEmptyBoxesAndRestoresTheDefaultOrder)
{
    EXPECT_EQ(areas.filtered(areaBoxes, {QString(), QString()}), areas.defaultLines());
    EXPECT_EQ(
        areas.filtered(areaBoxes, {QStringLiteral("Вар"), QStringLiteral("Д'")}),
        (QStringList{QStringLiteral("select * from zemlishte"), QStringLiteral(" WHERE "),
                     QStringLiteral("(upper(oblast.naim_obl) starting with upper('Вар')) "), QStringLiteral(" and "),
                     QStringLiteral("(upper(obshtina.naim_obsht) starting with upper('Д''')) "),
                     QStringLiteral("order by oblast.naim_obl ")}));
    // Only the second box: no " and ".
    EXPECT_EQ(areas.filtered(areaBoxes, {QString(), QStringLiteral("Аксаково")}),
              (QStringList{QStringLiteral("select * from zemlishte"), QStringLiteral(" WHERE "),
                           QStringLiteral("(upper(obshtina.naim_obsht) starting with upper('Аксаково')) "),
                           QStringLiteral("order by oblast.naim_obl ")}));

    // Fixed lines after the conditions (a group by) and a WHERE line of the screen's own.
    ListStatement rent{.base = {QStringLiteral("select …")},
                       .defaultOrder = {QStringLiteral(" order by Q1.ime ")},
                       .tail = {QStringLiteral(" group by Q1.id_sobstv")},
                       .whereLine = QStringLiteral(" WHERE  ")};
    EXPECT_EQ(rent.filtered({{QStringLiteral("(upper(Q1.ime) containing upper(")}}, {QStringLiteral("ан")}),
              (QStringList{QStringLiteral("select …"), QStringLiteral(" WHERE  "),
                           QStringLiteral("(upper(Q1.ime) containing upper('ан')) "),
                           QStringLiteral(" group by Q1.id_sobstv"), QStringLiteral(" order by Q1.ime ")}));
}

TEST(ListStatement, TheThreeSortFormsRebuildTheirLines)
{
    const QStringList filtered =
        owners.filtered({{QStringLiteral("(upper(hora.ime) containing(")}}, {QStringLiteral("и")});
    // The last line only, so the filter stays; a column may bring its own tie-break.
    QStringList a = owners.sorted(filtered, SortForm::lastLineWithTieBreak(QStringLiteral(" hora.egn, hora.ime ")),
                                  QStringLiteral("NAS_MQSTO.NAIM_NM"), false);
    EXPECT_EQ(a.mid(0, a.size() - 1), filtered.mid(0, filtered.size() - 1));
    EXPECT_EQ(a.last(), QStringLiteral("NAS_MQSTO.NAIM_NM DESC, hora.egn, hora.ime "));
    a = owners.sorted(filtered, SortForm::lastLineWithTieBreak(QStringLiteral(" hora.egn, hora.ime ")),
                      QStringLiteral("hora.ime"), true, QStringLiteral(" hora.egn "));
    EXPECT_EQ(a.last(), QStringLiteral("hora.ime ASC, hora.egn "));

    // The last line: "order by " + key, or the key alone after a " order by " line.
    const QStringList b = owners.sorted(filtered, SortForm::lastLine(), QStringLiteral("EGN"), true);
    EXPECT_EQ(b.size(), filtered.size());
    EXPECT_EQ(b.last(), QStringLiteral("order by EGN ASC"));
    EXPECT_EQ(owners.sorted({}, SortForm::lastLine(QString()), QStringLiteral("IME"), false),
              (QStringList{QStringLiteral("select hora.egn, hora.ime from hora"), QStringLiteral(" order by "),
                           QStringLiteral("IME DESC")}));

    // Rebuilt from the base, so the filter goes.
    EXPECT_EQ(
        owners.sorted(filtered, SortForm::rebuiltFromBase(), QStringLiteral("IME"), false),
        (QStringList{QStringLiteral("select hora.egn, hora.ime from hora"), QStringLiteral(" order by IME DESC")}));
}

TEST(SortSwitch, StartsAsTheScreenKindSaysAndFlipsAfterEverySort)
{
    SortSwitches switches;
    SortSwitch& owners = switches.of(QStringLiteral("TFHora"), SortSwitch::Ascending);
    SortSwitch& contracts = switches.of(QStringLiteral("TFDogovor"), SortSwitch::Descending);
    EXPECT_TRUE(owners.take());
    EXPECT_FALSE(owners.take());
    EXPECT_TRUE(owners.take());
    EXPECT_FALSE(contracts.take());
    EXPECT_TRUE(contracts.take());
    // Asking again gives the same switch, whatever first direction is named.
    EXPECT_EQ(&switches.of(QStringLiteral("TFHora"), SortSwitch::Descending), &owners);
    EXPECT_FALSE(owners.ascending());
}

TEST(ListStatement, TheWholeStatementStandsForTheUnfilteredList)
{
    const QString block = QStringLiteral("execute block returns (x integer) as begin x = 1; suspend; end");
    ListStatement s{.base = {QStringLiteral("select * from hora")},
                    .defaultOrder = {QStringLiteral("order by ime")},
                    .whole = {block}};
    const std::vector<FilterCondition> byName{FilterCondition{QStringLiteral("(ime starting with (")}};
    EXPECT_EQ(s.defaultLines(), QStringList{block});
    EXPECT_EQ(s.filtered(byName, {QString()}), QStringList{block});
    EXPECT_EQ(s.filtered(byName, {QStringLiteral("И")}),
              (QStringList{"select * from hora", " WHERE ", "(ime starting with ('И')) ", "order by ime"}));
    // A sort by a title from the whole list sorts the base.
    EXPECT_EQ(s.sorted(s.defaultLines(), SortForm::lastLine(), QStringLiteral("EGN"), false),
              (QStringList{"select * from hora", "order by EGN DESC"}));
    // The filter's own lines, for the rows the sums add up.
    EXPECT_TRUE(s.whereLines(byName, {QString()}).isEmpty());
    EXPECT_EQ(s.whereLines(byName, {QStringLiteral("И")}), (QStringList{" WHERE ", "(ime starting with ('И')) "}));
}

}  // namespace
