// The owners register: its list, filter, search, entry checks and save.
#include "registers/tfhora_test.h"

#include <QTest>

namespace tfhoratest {

TEST_F(TFHoraTest, OpensOnTheListedOwnersInTheDefaultOrder)
{
    TFHora& s = open();
    EXPECT_EQ(s.windowTitle(), QStringLiteral("Собственици"));
    EXPECT_TRUE(panel()->isHidden());
    QStringList titles;
    for (int c = 0; c < grid()->model()->columnCount(); ++c)
        titles << grid()->model()->headerData(c, Qt::Horizontal).toString();
    EXPECT_EQ(titles, (QStringList{"ЕГН/ЕИН", "Име/Наименование", "Държава", "Област", "Община", "Гр./с.", "Адрес",
                                   "Телефон", "Представляван/-а от", "Банка", "IBAN", "BIC", "Чуждестранно лице"}));
    EXPECT_EQ(column(0), kListed);  // no settlement: not listed
    EXPECT_EQ(column(2), (QStringList{"България", "Германия", "България", "България", ""}));
    select(QStringLiteral("7001010011"));
    QStringList row;
    for (int c = 0; c < 7; ++c)
        row << selected(c);
    EXPECT_EQ(row, (QStringList{"7001010011", "Петър Иванов", "България", "Благоевград", "Благоевград", "Благоевград",
                                "ул. Първа 1"}));
    EXPECT_TRUE(prompter.shown().isEmpty());
}

TEST_F(TFHoraTest, TheNameColumnSortsAscendingThenDescendingWithItsOwnTieBreak)
{
    open();
    doubleClickTitle(1);
    EXPECT_EQ(column(1), (QStringList{"Анна Петрова", "Без Държава", "ПЕТРОВ ООД", "Петър Иванов", "Ханс Мюлер"}));
    const auto marker = [&] {
        return grid()->model()->headerData(1, Qt::Horizontal, dataset::DatasetModel::SortMarkerRole);
    };
    EXPECT_EQ(marker().toInt(), int(Qt::AscendingOrder));
    doubleClickTitle(1);
    EXPECT_EQ(column(1), (QStringList{"Ханс Мюлер", "Петър Иванов", "ПЕТРОВ ООД", "Без Държава", "Анна Петрова"}));
    EXPECT_EQ(marker().toInt(), int(Qt::DescendingOrder));

    // Another column takes the next direction; ties fall back on the identifier.
    doubleClickTitle(2);
    EXPECT_EQ(column(0), (QStringList{"8004040048", "0500000090007", "7001010011", "7102020023", "1000000001"}));
    EXPECT_TRUE(prompter.shown().isEmpty());
}

TEST_F(TFHoraTest, FilterByNameAndSearchByTheFirstTenDigits)
{
    open();
    edit("edFilterIme")->setText(QStringLiteral("петров"));  // anywhere in the name, any case
    click("butFilterShow");
    EXPECT_EQ(column(1), (QStringList{"ПЕТРОВ ООД", "Анна Петрова"}));
    doubleClickTitle(1);  // a sort keeps the filter
    EXPECT_EQ(column(1), (QStringList{"Анна Петрова", "ПЕТРОВ ООД"}));
    edit("edFilterIme")->setText(QStringLiteral("никой"));
    click("butFilterShow");
    click("bitHoraKor");
    click("bitHoraDel");
    EXPECT_EQ(prompter.shown(), (QStringList{kNoData, kNoData}));
    click("butFilterClear");
    EXPECT_EQ(edit("edFilterIme")->text(), QString());
    EXPECT_EQ(column(0), kListed);

    // The box takes ten digits and nothing else; a 13-digit code is found
    // by its first ten, below the selected owner.
    doubleClickTitle(1);  // by name, descending now
    EXPECT_EQ(selected(1), QStringLiteral("Ханс Мюлер"));
    QLineEdit* box = edit("edSearchEGN");
    QTest::keyClicks(box, QStringLiteral("05x0000009-0007"));
    EXPECT_EQ(box->text(), QStringLiteral("0500000090"));
    click("butSearch");
    EXPECT_EQ(selected(), QStringLiteral("0500000090007"));
    click("butSearch");  // no other below it
    EXPECT_EQ(selected(), QStringLiteral("0500000090007"));
    box->setText(QStringLiteral("7"));
    click("butSearch");
    EXPECT_EQ(selected(), QStringLiteral("7102020023"));
    EXPECT_EQ(prompter.shown().size(), 2);
}

TEST_F(TFHoraTest, ANewOwnerIsStoredWithHisPlaceAsNoForeignerAndSelectedByHisNewKey)
{
    open();
    click("bitHoraDob");
    EXPECT_FALSE(panel()->isHidden());
    EXPECT_FALSE(grid()->isEnabled());
    EXPECT_FALSE(control<QPushButton>("bitHoraDob")->isEnabled());  // covered by the panel
    EXPECT_EQ(QApplication::focusWidget(), edit("dbedEGN"));
    EXPECT_FALSE(foreignBox()->isChecked());
    EXPECT_EQ(combo("jvdblcCountry")->currentText(), QStringLiteral("България"));
    for (const char* name : {"jvdblcOblast", "jvdblcObshtina", "jvdblcGrad"})
        EXPECT_EQ(combo(name)->currentIndex(), -1) << name;

    type("dbedEGN", QStringLiteral("121212121"));  // a company code: no warning
    type("dbedIme", QStringLiteral("Нова Земя ООД"));
    choosePlace();
    // Longer than their columns: cut to the column, never an error.
    type("dbedAdres", QString(60, QChar(u'а')));
    QLineEdit* predst = edit("dbedPredst");
    predst->setFocus();
    predst->insert(QString(70, QChar(u'б')));  // a paste
    click("bitZapis");
    EXPECT_TRUE(prompter.shown().isEmpty()) << prompter.shown().join(QLatin1Char('|')).toStdString();
    EXPECT_TRUE(panel()->isHidden());
    EXPECT_TRUE(grid()->isEnabled());
    EXPECT_EQ(stored(QStringLiteral("121212121"), QStringLiteral("IME, EKATTE, ID_OBSHT, ID_OBL, CHFL, KOD_COUNTRY")),
              (QStringList{"Нова Земя ООД", "00134", "BLG03", "BLG", "не", "BG"}));
    EXPECT_EQ(stored(QStringLiteral("121212121"), QStringLiteral("ADRES, PREDST")),
              (QStringList{QString(50, QChar(u'а')), QString(50, QChar(u'б'))}));
    EXPECT_EQ(stored(QStringLiteral("121212121"), QStringLiteral("ID_HORA")), QStringList{"7"});
    EXPECT_EQ(selected(1), QStringLiteral("Нова Земя ООД"));  // listed and selected by the key read back
    EXPECT_EQ(dm->THora.state(), dataset::State::Browse);
    EXPECT_EQ(dm->THora["ID_HORA"].asInt(), 7);
}

TEST_F(TFHoraTest, TheSaveChecksRefuseInOrderAndKeepEverythingTyped)
{
    open();
    click("bitHoraDob");
    type("dbedAdres", QStringLiteral("ул. Втора 2"));
    type("dbedTel", QStringLiteral("0888 123 456"));
    click("bitZapis");
    choose("jvdblcOblast", QStringLiteral("Благоевград"));
    choose("jvdblcObshtina", QStringLiteral("Благоевград"));
    click("bitZapis");
    choose("jvdblcGrad", QStringLiteral("Изгрев"));
    click("bitZapis");
    type("dbedIme", QStringLiteral("Иван Иванов"));
    click("bitZapis");  // no identifier for one who is not foreign
    QTest::mouseClick(foreignBox(), Qt::LeftButton);
    combo("jvdblcCountry")->setFocus();
    QTest::keyClick(combo("jvdblcCountry"), Qt::Key_Backspace);  // backspace empties the country
    click("bitZapis");
    EXPECT_EQ(prompter.shown(), (QStringList{"Изберете община!", "Изберете населено място!", "Няма дани!", kNoData,
                                             "Въведете държава!"}));
    EXPECT_FALSE(panel()->isHidden());
    EXPECT_EQ(dm->THora.state(), dataset::State::Insert);
    EXPECT_EQ(edit("dbedAdres")->text(), QStringLiteral("ул. Втора 2"));
    EXPECT_EQ(edit("dbedTel")->text(), QStringLiteral("0888 123 456"));
    EXPECT_EQ(edit("dbedIme")->text(), QStringLiteral("Иван Иванов"));
    EXPECT_EQ(combo("jvdblcGrad")->currentText(), QStringLiteral("Изгрев"));

    // A foreign person with a country needs no identifier.
    choose("jvdblcCountry", QStringLiteral("Гърция"));
    click("bitZapis");
    EXPECT_EQ(prompter.shown().size(), 5);
    EXPECT_EQ(count(QStringLiteral("HORA where IME = 'Иван Иванов' and EGN is null and CHFL = 'да' and "
                                   "KOD_COUNTRY = 'GR' and TEL = '0888 123 456'")),
              1);
}

TEST_F(TFHoraTest, AProvinceOrMunicipalityChosenEmptiesWhatLiesBelowButAnOwnersOwnPlaceStays)
{
    open();
    select(QStringLiteral("8004040048"));                // Изгрев
    emit grid()->doubleClicked(grid()->currentIndex());  // a double click on a row corrects it
    EXPECT_EQ(combo("jvdblcOblast")->currentText(), QStringLiteral("Благоевград"));
    EXPECT_EQ(combo("jvdblcObshtina")->currentText(), QStringLiteral("Благоевград"));
    EXPECT_EQ(combo("jvdblcGrad")->currentText(), QStringLiteral("Изгрев"));
    EXPECT_EQ(dm->TNasmqsto["EKATTE"].asString(), QStringLiteral("00134"));
    type("dbedTel", QStringLiteral("123"));
    click("bitZapis");  // his place unchanged is stored again
    EXPECT_EQ(stored(QStringLiteral("8004040048"), QStringLiteral("EKATTE, ID_OBSHT, ID_OBL, TEL")),
              (QStringList{"00134", "BLG03", "BLG", "123"}));

    click("bitHoraKor");
    choose("jvdblcObshtina", QStringLiteral("Банско"));
    EXPECT_EQ(combo("jvdblcGrad")->currentIndex(), -1);
    choose("jvdblcGrad", QStringLiteral("Банско"));
    choose("jvdblcOblast", QStringLiteral("Бургас"));
    EXPECT_EQ(combo("jvdblcObshtina")->currentIndex(), -1);
    EXPECT_EQ(combo("jvdblcGrad")->currentIndex(), -1);
    EXPECT_EQ(combo("jvdblcObshtina")->findText(QStringLiteral("Банско")), -1);  // Бургас's municipalities
    choose("jvdblcObshtina", QStringLiteral("Айтос"));
    choose("jvdblcGrad", QStringLiteral("Айтос"));
    combo("jvdblcOblast")->setFocus();
    QTest::keyClick(combo("jvdblcOblast"), Qt::Key_Backspace);  // empties the province and all below
    for (const char* name : {"jvdblcOblast", "jvdblcObshtina", "jvdblcGrad"})
        EXPECT_EQ(combo(name)->currentIndex(), -1) << name;
    focusOn("dbedIme");
    click("bitZapis");
    EXPECT_EQ(prompter.shown(), QStringList{"Изберете община!"});
    choose("jvdblcOblast", QStringLiteral("Бургас"));
    choose("jvdblcObshtina", QStringLiteral("Айтос"));
    choose("jvdblcGrad", QStringLiteral("Айтос"));
    click("bitZapis");
    EXPECT_EQ(stored(QStringLiteral("8004040048"), QStringLiteral("ID_OBSHT, ID_OBL")), (QStringList{"BGS01", "BGS"}));
}

TEST_F(TFHoraTest, LeavingTheIdentifierWarnsAndAForeignerWithABadNumberCanStillBeSaved)
{
    open();
    click("bitHoraDob");
    type("dbedEGN", QStringLiteral("12a34"));
    EXPECT_EQ(edit("dbedEGN")->text(), QStringLiteral("1234"));  // digits only
    type("dbedEGN", QStringLiteral("12345678901234567"));
    EXPECT_EQ(edit("dbedEGN")->text(), QStringLiteral("1234567890123"));  // thirteen at most
    focusOn("dbedIme");
    EXPECT_EQ(prompter.shown(), QStringList{"Грешен ЕГН/ЕИН!"});
    EXPECT_EQ(edit("dbedEGN")->text(), QStringLiteral("1234567890123"));  // the value stays

    QTest::mouseClick(foreignBox(), Qt::LeftButton);
    EXPECT_EQ(combo("jvdblcCountry")->currentText(), QStringLiteral("България"));  // no country of his yet
    type("dbedEGN", QStringLiteral("1000000002"));  // a personal number, not a foreigner's
    focusOn("dbedIme");
    type("dbedEGN", QStringLiteral("1000000002"));
    edit("dbedEGN")->clear();  // an empty field is not checked
    focusOn("dbedIme");
    type("dbedEGN", QStringLiteral("1000000002"));
    type("dbedIme", QStringLiteral("John Smith"));
    choose("jvdblcCountry", QStringLiteral("Германия"));
    choosePlace();
    click("bitZapis");
    EXPECT_EQ(prompter.shown(), (QStringList{"Грешен ЕГН/ЕИН!", "Грешен ЛНЧ!", "Грешен ЛНЧ!"}));
    EXPECT_TRUE(panel()->isHidden());
    EXPECT_EQ(stored(QStringLiteral("1000000002"), QStringLiteral("IME, CHFL, KOD_COUNTRY")),
              (QStringList{"John Smith", "да", "DE"}));
}

TEST_F(TFHoraTest, AnExistingOwnersIdentifierTypedIntoANewOwnerSwitchesToHim)
{
    open();
    click("bitHoraDob");
    type("dbedIme", QStringLiteral("Някой Нов"));
    type("dbedEGN", QStringLiteral("7102020023"));
    focusOn("dbedAdres");
    EXPECT_TRUE(prompter.shown().isEmpty());
    EXPECT_EQ(dm->THora.state(), dataset::State::Edit);
    EXPECT_EQ(dm->THora["ID_HORA"].asInt(), 2);
    EXPECT_EQ(edit("dbedIme")->text(), QStringLiteral("Анна Петрова"));
    EXPECT_EQ(combo("jvdblcGrad")->currentText(), QStringLiteral("Благоевград"));
    EXPECT_EQ(selected(), QStringLiteral("7102020023"));
    // "Отказ" goes back to him, not to the first row.
    select(QStringLiteral("0500000090007"));
    click("bitOtkaz");
    EXPECT_EQ(selected(), QStringLiteral("7102020023"));
    EXPECT_EQ(count(QStringLiteral("HORA")), 6);

    // The same from a correction: the other owner's changes are dropped.
    select(QStringLiteral("7001010011"));
    click("bitHoraKor");
    type("dbedIme", QStringLiteral("Изгубено"));
    type("dbedEGN", QStringLiteral("1000000001"));
    click("bitZapis");  // the leave step runs first
    EXPECT_EQ(prompter.shown(), QStringList{"Грешен ЕГН/ЕИН!"});
    EXPECT_TRUE(panel()->isHidden());
    EXPECT_EQ(stored(QStringLiteral("7001010011"), QStringLiteral("IME")), QStringList{"Петър Иванов"});
    EXPECT_EQ(stored(QStringLiteral("1000000001"), QStringLiteral("IME, CHFL")), (QStringList{"Ханс Мюлер", "да"}));
    EXPECT_EQ(selected(), QStringLiteral("1000000001"));
    EXPECT_EQ(count(QStringLiteral("HORA where EGN = '1000000001'")), 1);
}

TEST_F(TFHoraTest, LeavingAnOwnersOwnIdentifierKeepsWhatWasTyped)
{
    open();
    select(QStringLiteral("7001010011"));
    click("bitHoraKor");
    type("dbedIme", QStringLiteral("Петър Иванов Петров"));
    focusOn("dbedEGN");
    focusOn("dbedAdres");
    EXPECT_EQ(edit("dbedIme")->text(), QStringLiteral("Петър Иванов Петров"));
    click("bitZapis");
    EXPECT_EQ(stored(QStringLiteral("7001010011"), QStringLiteral("IME")), QStringList{"Петър Иванов Петров"});
    EXPECT_TRUE(prompter.shown().isEmpty());
}

TEST_F(TFHoraTest, AnOwnerWhoIsNotForeignIsAlwaysStoredWithBG)
{
    open();
    select(QStringLiteral("1000000001"));
    click("bitHoraKor");
    EXPECT_TRUE(foreignBox()->isChecked());
    EXPECT_EQ(combo("jvdblcCountry")->currentText(), QStringLiteral("Германия"));
    QTest::mouseClick(foreignBox(), Qt::LeftButton);
    EXPECT_EQ(combo("jvdblcCountry")->currentText(), QStringLiteral("Германия"));  // his stored country wins
    type("dbedEGN", QStringLiteral("6503030034"));  // the unlisted owner's: switches to him
    focusOn("dbedIme");
    EXPECT_EQ(edit("dbedIme")->text(), QStringLiteral("Без Място"));
    EXPECT_FALSE(foreignBox()->isChecked());  // no flag stored: the box stays as it was
    EXPECT_EQ(combo("jvdblcGrad")->currentIndex(), -1);
    choosePlace();
    choose("jvdblcCountry", QStringLiteral("Гърция"));
    click("bitZapis");
    EXPECT_EQ(stored(QStringLiteral("6503030034"), QStringLiteral("CHFL, KOD_COUNTRY")), (QStringList{"не", "BG"}));
    EXPECT_EQ(selected(1), QStringLiteral("Без Място"));  // listed now
    EXPECT_EQ(stored(QStringLiteral("1000000001"), QStringLiteral("CHFL, KOD_COUNTRY")), (QStringList{"да", "DE"}));
}

TEST_F(TFHoraTest, OwnersWithSharesOrRentCannotBeDeletedButOnlyHistoryIsNoObstacle)
{
    seed({QStringLiteral("insert into SOBSTV (ID_HORA, ID_ZEMQ, CHAST) values (1, 10, '1/2')"),
          QStringLiteral("insert into OIR (ID_HORA, SUMA_OIR) values (2, 12.5)"),
          QStringLiteral("insert into ONR (ID_HORA, SUMA, GODOT, GODDO) values (3, 40, 2014, 2015)"),
          QStringLiteral("insert into ISTORIQ (ID_HORA, ID_ZEMQ, VIDSOBSTV) values (4, 10, 'бивш собственик')")});
    open();
    for (const char* egn : {"7001010011", "7102020023", "0500000090007"}) {
        select(QLatin1String(egn));
        click("bitHoraDel");
    }
    EXPECT_EQ(prompter.shown(), (QStringList{"Този собственик има имоти!", "Този собственик има изплатена рента!",
                                             "Този собственик има изплатена рента!"}));
    EXPECT_EQ(count(QStringLiteral("HORA")), 6);

    select(QStringLiteral("1000000001"));
    prompter.answerNo();
    click("bitHoraDel");
    EXPECT_EQ(count(QStringLiteral("HORA where ID_HORA = 4")), 1);
    prompter.answerYes();
    click("bitHoraDel");
    EXPECT_EQ(count(QStringLiteral("HORA where ID_HORA = 4")), 0);
    EXPECT_EQ(column(0), (QStringList{"0500000090007", "7001010011", "7102020023", "8004040048"}));
    EXPECT_EQ(prompter.shown().mid(3), (QStringList{kConfirmDelete, kConfirmDelete}));
    // A paid row that arrives later is seen at once.
    seed({QStringLiteral("insert into OIR (ID_HORA, SUMA_OIR) values (5, 1)")});
    select(QStringLiteral("8004040048"));
    click("bitHoraDel");
    EXPECT_EQ(prompter.shown().last(), QStringLiteral("Този собственик има изплатена рента!"));
}

// A long register opens on its first rows and reads on as far as it needs:
// a search stops at the owner found, a sort and a filter read their first
// rows again, and the list still shows every owner when scrolled to its end.
TEST_F(TFHoraTest, ALongRegisterIsReadOnlyAsFarAsItIsLookedAt)
{
    seed(
        {QStringLiteral("execute block as declare i integer = 0; begin while (i < 1500) do begin "
                        "insert into HORA (ID_HORA, EGN, IME, EKATTE, ID_OBSHT, ID_OBL, KOD_COUNTRY, CHFL) values "
                        "(100 + :i, '8' || lpad(:i, 9, '0'), 'Собственик ' || :i, '04279', 'BLG03', 'BLG', 'BG', "
                        "'не'); i = i + 1; end end")});
    TFHora& s = open();
    dataset::Dataset& rows = *s.listRows();
    EXPECT_LT(rows.loadedRowCount(), 1505);
    EXPECT_EQ(selected(), QStringLiteral("0500000090007"));  // the first in identifier order

    edit("edSearchEGN")->setText(QStringLiteral("8000000900"));
    click("butSearch");
    EXPECT_EQ(selected(1), QStringLiteral("Собственик 900"));
    EXPECT_LT(rows.loadedRowCount(), 1505);

    // A correction saved goes back to its owner without reading the rest.
    click("bitHoraKor");
    click("bitZapis");
    EXPECT_EQ(selected(1), QStringLiteral("Собственик 900"));
    EXPECT_LT(rows.loadedRowCount(), 1505);

    edit("edFilterIme")->setText(QStringLiteral("собственик 14"));
    click("butFilterShow");
    EXPECT_EQ(rows.rowCount(), 111);  // 14, 140–149 and 1400–1499
    click("butFilterClear");
    EXPECT_LT(rows.loadedRowCount(), 1505);
    EXPECT_EQ(rows.rowCount(), 1505);
    EXPECT_TRUE(prompter.shown().isEmpty()) << prompter.shown().join(u'|').toStdString();
}

}  // namespace tfhoratest
