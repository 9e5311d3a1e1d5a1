#pragma once

#include "common/sort_switch.h"
#include "support/pdf_text.h"
#include "support/scripted_output_chooser.h"
#include "support/screen_test.h"
#include "support/sql.h"

#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QTableView>
#include <QTemporaryDir>

namespace propertyreports {

// Two cadastral areas: Благоевград (Къра, Баира) and Варна (Аязмото).
//   plot 101 (Къра, 10 dka, consolidated 2.5): Иван 6 (his share split
//            between contract 11, 4 dka, and 13, 2 dka), Мария 4, no contract;
//   plot 102 (Къра, 4): Иван's whole;
//   plot 201 (Баира, 6): Мария's whole, under contract 12, terminated;
//   plot 301 (Аязмото, 5): Иван's whole, under contract 11, whose dates ran out;
//   plot 302 (Аязмото, 1): no form of management, Мария's whole.
// Петър never held a share, Стоян's only share was deleted, Никола has no country.
inline const QStringList kLand = {
    QStringLiteral("update CATEGORY_COEFFICIENT set COEFFICIENT = 0.5 where CATEGORY = 4"),
    QStringLiteral("insert into ZEMLISHTE (ID_ZEML, EKATTE, ID_OBSHT, ID_OBL) values (1, '04279', 'BLG03', 'BLG')"),
    QStringLiteral("insert into ZEMLISHTE (ID_ZEML, EKATTE, ID_OBSHT, ID_OBL) values (2, '10135', 'VAR06', 'VAR')"),
    QStringLiteral("insert into MESTNOST (ID_MESTN, ID_ZEML, NAIM_MESTN) values (1, 1, 'Къра')"),
    QStringLiteral("insert into MESTNOST (ID_MESTN, ID_ZEML, NAIM_MESTN) values (2, 1, 'Баира')"),
    QStringLiteral("insert into MESTNOST (ID_MESTN, ID_ZEML, NAIM_MESTN) values (3, 2, 'Аязмото')"),
    QStringLiteral("insert into ZEMQ (ID_ZEMQ, ID_MEST, IMOT_NO, IMOT_NO2, ID_NTP, ID_FS, ID_KULT, ID_VDS, PLOSHT, "
                   "PRPLOSHT, POLPL, OBRAB, OBRT, KOMASIRAN, KOMASTEKST, KOMASIN, KOMASIP, SVAKTNO, NZDATA) values "
                   "(1, 1, '101', '00101.1', 1, 2, 1, 1, 10, 8, 1.25, 0, 'Да', 1, 'Да', '55', 2.5, 'А-7', "
                   "'2020-03-15')"),
    QStringLiteral("insert into ZEMQ (ID_ZEMQ, ID_MEST, IMOT_NO, ID_NTP, ID_FS, PLOSHT, PRPLOSHT, OBRAB, OBRT, "
                   "KOMASIRAN, KOMASTEKST) values (2, 1, '102', 2, 1, 4, 4, 1, 'Не', 0, 'Не')"),
    QStringLiteral("insert into ZEMQ (ID_ZEMQ, ID_MEST, IMOT_NO, ID_NTP, ID_FS, PLOSHT, PRPLOSHT, KOMASTEKST) "
                   "values (3, 2, '201', 1, 2, 6, 6, 'Не')"),
    QStringLiteral("insert into ZEMQ (ID_ZEMQ, ID_MEST, IMOT_NO, ID_NTP, ID_FS, ID_KULT, PLOSHT, PRPLOSHT, "
                   "KOMASTEKST) values (4, 3, '301', 1, 3, 2, 5, 5, 'Не')"),
    QStringLiteral("insert into ZEMQ (ID_ZEMQ, ID_MEST, IMOT_NO, ID_NTP, PLOSHT, PRPLOSHT) "
                   "values (5, 3, '302', 1, 1, 1)"),
    QStringLiteral("insert into KATEGORIQ (ID_ZEMQ, VID, PLOSHT) values (1, 3, 6)"),
    QStringLiteral("insert into KATEGORIQ (ID_ZEMQ, VID, PLOSHT) values (1, 4, 4)"),
    QStringLiteral("insert into HORA (ID_HORA, EGN, IME, ADRES, EKATTE, ID_OBSHT, ID_OBL, KOD_COUNTRY, CHFL) "
                   "values (1, '7501011234', 'Иван Петров', 'ул. Рила 1', '04279', 'BLG03', 'BLG', 'BG', 'не')"),
    QStringLiteral("insert into HORA (ID_HORA, EGN, IME, EKATTE, ID_OBSHT, ID_OBL, KOD_COUNTRY, CHFL) "
                   "values (2, '8002021234', 'Мария Иванова', '04279', 'BLG03', 'BLG', 'BG', 'не')"),
    QStringLiteral("insert into HORA (ID_HORA, EGN, IME, EKATTE, ID_OBSHT, ID_OBL, KOD_COUNTRY, CHFL) "
                   "values (3, '6003031234', 'Петър Стоев', '10135', 'VAR06', 'VAR', 'BG', 'не')"),
    QStringLiteral("insert into HORA (ID_HORA, EGN, IME, EKATTE, ID_OBSHT, ID_OBL, KOD_COUNTRY, CHFL) "
                   "values (4, '5504041234', 'Стоян Колев', '10135', 'VAR06', 'VAR', 'BG', 'не')"),
    QStringLiteral("insert into HORA (ID_HORA, EGN, IME, EKATTE, ID_OBSHT, ID_OBL, CHFL) "
                   "values (5, '9005051234', 'Никола Бонев', '10135', 'VAR06', 'VAR', 'не')"),
    QStringLiteral("insert into \"DOG DANNI\" (ID_DOG, NOMER, DATA, OTDATA, DODATA, SYSTOQNIE) "
                   "values (1, '11', '2010-09-01', '2010-10-01', '2015-09-30', 'Действащ')"),
    QStringLiteral("insert into \"DOG DANNI\" (ID_DOG, NOMER, DATA, OTDATA, DODATA, SYSTOQNIE, DATAPR) "
                   "values (2, '12', '2020-09-01', '2020-10-01', '2030-09-30', 'Прекратен', '2022-01-10')"),
    QStringLiteral("insert into \"DOG DANNI\" (ID_DOG, NOMER, DATA, OTDATA, DODATA, SYSTOQNIE) "
                   "values (3, '13', '2021-09-01', '2021-10-01', '2031-09-30', 'Действащ')"),
    QStringLiteral("insert into SOBSTV (ID_HORA, ID_ZEMQ, REDPLOSHT, CHAST, ID_DOG, PRREDPL) "
                   "values (1, 1, 6, '3/5', 1, 4.8)"),
    QStringLiteral("insert into SOBSTV (ID_HORA, ID_ZEMQ, REDPLOSHT, CHAST, PRREDPL) values (2, 1, 4, '2/5', 3.2)"),
    QStringLiteral("insert into SOBSTV (ID_HORA, ID_ZEMQ, REDPLOSHT, CHAST, PRREDPL) values (1, 2, 4, '1/1', 4)"),
    QStringLiteral("insert into SOBSTV (ID_HORA, ID_ZEMQ, REDPLOSHT, CHAST, ID_DOG, PRREDPL) "
                   "values (2, 3, 6, '1/1', 2, 6)"),
    QStringLiteral("insert into SOBSTV (ID_HORA, ID_ZEMQ, REDPLOSHT, CHAST, ID_DOG, PRREDPL) "
                   "values (1, 4, 5, '1/1', 1, 5)"),
    QStringLiteral("insert into SOBSTV (ID_HORA, ID_ZEMQ, REDPLOSHT, CHAST, PRREDPL) values (2, 5, 1, '1/1', 1)"),
    QStringLiteral("insert into SOBSTV (ID_HORA, ID_ZEMQ, REDPLOSHT, CHAST, PRREDPL) values (5, 2, 0, '0/1', 0)"),
    QStringLiteral("insert into SOBSTV (ID_HORA, ID_ZEMQ, REDPLOSHT, CHAST, PRREDPL) values (4, 2, 0, '0/1', 0)"),
    QStringLiteral("delete from SOBSTV where ID_HORA = 4"),
    QStringLiteral("insert into DOGHORAZEMI (ID_ZEMQ, ID_SOBSTV, ID_DOG, CHAST, REDPLOSHT) values (1, 1, 1, '2/5', 4)"),
    QStringLiteral("insert into DOGHORAZEMI (ID_ZEMQ, ID_SOBSTV, ID_DOG, CHAST, REDPLOSHT) values (1, 1, 3, '1/5', 2)"),
    QStringLiteral("insert into DOGHORAZEMI (ID_ZEMQ, ID_SOBSTV, ID_DOG, CHAST, REDPLOSHT) values (3, 2, 2, '1/1', 6)"),
    QStringLiteral("insert into DOGHORAZEMI (ID_ZEMQ, ID_SOBSTV, ID_DOG, CHAST, REDPLOSHT) values (4, 1, 1, '1/1', 5)"),
    QStringLiteral("insert into ISTORIQ (ID_HORA, ID_ZEMQ, PLOSHT, CHAST, VIDSOBSTV) values (3, 1, 10, '1/1', 'бивш')"),
};

// The stamp at the foot of a one-page printout of the land above, which has no firm.
inline QString onePageFoot()
{
    return QStringLiteral("Отпечатано на %1 стр. 1 от 1")
        .arg(QDate::currentDate().toString(QStringLiteral("dd.MM.yyyy")));
}

// A report screen's test: the land above, the layouts' folder current (a
// screen looks its layout up there), and the grid read back as text.
template <typename S>
class ReportScreenTest : public testsupport::ScreenTest<S> {
protected:
    ReportScreenTest() : previous_(QDir::currentPath())
    {
        QLocale::setDefault(QLocale(QLocale::Bulgarian, QLocale::Bulgaria));
        testsupport::runSql(this->db.path(), kLand);
        QDir::setCurrent(QStringLiteral(ARVENTA_LAYOUTS_DIR));
    }
    // The screen goes before the sort switch it was given.
    ~ReportScreenTest() override
    {
        delete this->screen.data();
        QDir::setCurrent(previous_);
    }

    QTableView* grid(const char* name) const { return this->template control<QTableView>(name); }
    QString label(const char* name) const { return this->template control<QLabel>(name)->text(); }
    static QStringList column(QTableView* g, int c)
    {
        QStringList out;
        for (int r = 0; r < g->model()->rowCount(); ++r)
            out << g->model()->index(r, c).data().toString();
        return out;
    }
    static QStringList row(QTableView* g, int r)
    {
        QStringList out;
        for (int c = 0; c < g->model()->columnCount(); ++c)
            out << g->model()->index(r, c).data().toString();
        return out;
    }
    static QStringList titles(QTableView* g)
    {
        QStringList out;
        for (int c = 0; c < g->model()->columnCount(); ++c)
            out << g->model()->headerData(c, Qt::Horizontal).toString();
        return out;
    }
    static void clickTitle(QTableView* g, int c) { emit g->horizontalHeader()->sectionClicked(c); }
    static QStringList printed(const QString& pdf) { return testsupport::pdfLines(pdf); }

    testsupport::ScriptedOutputChooser outputs;
    SortSwitch direction{SortSwitch::Ascending};
    QTemporaryDir out;

private:
    QString previous_;
};

}  // namespace propertyreports
