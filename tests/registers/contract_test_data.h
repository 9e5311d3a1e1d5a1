#pragma once

#include "registers/tfdognew.h"
#include "registers/tfdogovor.h"
#include "common/sort_switch.h"
#include "support/screen_test.h"
#include "support/qt_printers.h"
#include "support/sql.h"

#include <QTableView>

namespace contracttest {

// Изгрев, locality Горна: plot 101 (owners Иван and Мария, half each), plot
// 102 (Петър, in contract 10); Бело поле, locality Ливадите: plot 201
// (Иван). Contracts 9, 10, 57 and 41, made in that order, all in force;
// contract 10 binds Петър's share of plot 102.
inline const QStringList kContracts = {
    "insert into ZEMLISHTE (ID_ZEML, EKATTE, ID_OBSHT, ID_OBL) values (1, '00134', 'BLG03', 'BLG')",
    "insert into ZEMLISHTE (ID_ZEML, EKATTE, ID_OBSHT, ID_OBL) values (2, '03664', 'BLG03', 'BLG')",
    "insert into MESTNOST (ID_MESTN, ID_ZEML, NAIM_MESTN) values (10, 1, 'Горна')",
    "insert into MESTNOST (ID_MESTN, ID_ZEML, NAIM_MESTN) values (20, 2, 'Ливадите')",
    "insert into ZEMQ (ID_ZEMQ, ID_MEST, IMOT_NO, ID_NTP, ID_FS, PLOSHT, PRPLOSHT, OBRAB) values (100, 10, '101', 1, "
    "2, 5, 5, 0)",
    "insert into ZEMQ (ID_ZEMQ, ID_MEST, IMOT_NO, ID_NTP, ID_FS, PLOSHT, PRPLOSHT, OBRAB) values (101, 10, '102', 1, "
    "2, 1, 1, 1)",
    "insert into ZEMQ (ID_ZEMQ, ID_MEST, IMOT_NO, ID_NTP, ID_FS, PLOSHT, PRPLOSHT) values (200, 20, '201', 1, 2, 3, 3)",
    "insert into HORA (ID_HORA, EGN, IME, EKATTE, ID_OBSHT, ID_OBL) values (1, '7501010000', 'Иван', '00134', 'BLG03', "
    "'BLG')",
    "insert into HORA (ID_HORA, EGN, IME, EKATTE, ID_OBSHT, ID_OBL) values (2, '7501020000', 'Мария', '00134', "
    "'BLG03', 'BLG')",
    "insert into HORA (ID_HORA, EGN, IME, EKATTE, ID_OBSHT, ID_OBL) values (3, '7501030000', 'Петър', '00134', "
    "'BLG03', 'BLG')",
    "insert into SOBSTV (ID_HORA, ID_ZEMQ, REDPLOSHT, PRREDPL, CHAST) values (1, 100, 2.5, 2.5, '1/2')",
    "insert into SOBSTV (ID_HORA, ID_ZEMQ, REDPLOSHT, PRREDPL, CHAST) values (2, 100, 2.5, 2.5, '1/2')",
    "insert into SOBSTV (ID_HORA, ID_ZEMQ, REDPLOSHT, PRREDPL, CHAST, ID_DOG, ID_DHZ) values (3, 101, 1, 1, '1/1', "
    "101, 100)",
    "insert into SOBSTV (ID_HORA, ID_ZEMQ, REDPLOSHT, PRREDPL, CHAST) values (1, 200, 3, 3, '1/1')",
    "insert into \"DOG DANNI\" (ID_DOG, NOMER, DATA, OTDATA, DODATA, ID_VIDDOG, ID_DT, SYSTOQNIE) "
    "values (100, '9', '2020-01-10', '2020-10-01', '2030-09-30', 2, 1, 'Действащ')",
    "insert into \"DOG DANNI\" (ID_DOG, NOMER, DATA, OTDATA, DODATA, ID_VIDDOG, ID_DT, SYSTOQNIE) "
    "values (101, '10', '2021-03-15', '2021-10-01', '2031-09-30', 1, 1, 'Действащ')",
    "insert into \"DOG DANNI\" (ID_DOG, NOMER, ID_VIDDOG, ID_DT, SYSTOQNIE) values (102, '57', 3, 2, 'Действащ')",
    "insert into \"DOG DANNI\" (ID_DOG, NOMER, ID_VIDDOG, ID_DT, SYSTOQNIE) values (103, '41', 1, 2, 'Действащ')",
    "insert into DOGHORAZEMI (ID_DHZ, ID_DOG, ID_ZEMQ, ID_SOBSTV, CHAST, REDPLOSHT) values (100, 101, 101, 3, '1/1', "
    "1)",
};

// A goods receipt with one rent row for an owner.
inline QStringList receiptFor(int owner)
{
    return {QStringLiteral("insert into \"RAZP DANNI\" (ID_RD, ID_HORA, NOM) values (%1, %2, %1)")
                .arg(owner + 100)
                .arg(owner),
            QStringLiteral("insert into \"RAZP RENTA\" (ID_RR, ID_RD, ID_VR, KOL) values (%1, %1, 1, 10)")
                .arg(owner + 100)};
}

// The rows of a grid's column, top to bottom, as shown.
inline QStringList column(QTableView* grid, int c)
{
    QStringList out;
    for (int r = 0; r < grid->model()->rowCount(); ++r)
        out << grid->model()->index(r, c).data().toString();
    return out;
}

}  // namespace contracttest
