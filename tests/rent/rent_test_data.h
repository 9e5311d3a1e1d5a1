#pragma once

#include <QStringList>

namespace renttest {

// A small enterprise in the farming year 01.10.2024-30.09.2025.
//   Areas: Изгрев (00134, id 1, locality 10, plots 100 and 101) and Бело поле
//   (03664, id 2, locality 20, plot 200). Owners Иван (1), Мария (2), Петър (3).
//   Contracts, with the equalised areas they bind:
//     100 Аренда, in force:            Иван 100 (3.4567, cast to 3.457), Мария 100 (2.1)
//     101 Наем, in force:              Петър 101 (1.5), Иван 200 (3)
//     103 Аренда, terminated inside the year:  Петър 200 (0.75)
//     104 Аренда, terminated before the year:  Мария 101 (1)
//     102 of the third type, run out in 2020:  Мария 200
//   Rent type 2 is wheat in kilograms.
//   Rules: 1 Изгрев/Аренда (wheat 40 × 0.25, money 30 × 1), 2 Бело поле/Наем
//   (wheat 12.5 × 0.3, money 12.125 × 1), 3 Изгрев/Наем (money 20 × 1.1).
inline const QStringList kEnterprise = {
    "insert into FIRMA (ID_FIRMA, NAIM_FIRMA, FROMYEAR, TOYEAR) values (1, 'Нива ООД', '2024-10-01', '2025-09-30')",
    "insert into DOGTIP (ID_DT, TIP) values (3, 'Съвместна обработка')",
    "insert into VID_RENTA (ID_VR, NAIM_VR, ME) values (2, 'Пшеница', 'кг')",
    "insert into VID_RENTA (ID_VR, NAIM_VR, ME) values (3, 'Царевица', 'кг')",
    "insert into RENTAKULT (ID_RK, RK) values (2, 'Пшеница')",
    "insert into RENTAKULT (ID_RK, RK) values (3, 'Ечемик')",
    "insert into ZEMLISHTE (ID_ZEML, EKATTE, ID_OBSHT, ID_OBL) values (1, '00134', 'BLG03', 'BLG')",
    "insert into ZEMLISHTE (ID_ZEML, EKATTE, ID_OBSHT, ID_OBL) values (2, '03664', 'BLG03', 'BLG')",
    "insert into MESTNOST (ID_MESTN, ID_ZEML, NAIM_MESTN) values (10, 1, 'Горна')",
    "insert into MESTNOST (ID_MESTN, ID_ZEML, NAIM_MESTN) values (20, 2, 'Ливадите')",
    "insert into ZEMQ (ID_ZEMQ, ID_MEST, IMOT_NO, PLOSHT, PRPLOSHT) values (100, 10, '101', 5, 5.5567)",
    "insert into ZEMQ (ID_ZEMQ, ID_MEST, IMOT_NO, PLOSHT, PRPLOSHT) values (101, 10, '102', 2.2, 2.5)",
    "insert into ZEMQ (ID_ZEMQ, ID_MEST, IMOT_NO, PLOSHT, PRPLOSHT) values (200, 20, '201', 4, 4)",
    "insert into HORA (ID_HORA, EGN, IME) values (1, '7501010000', 'Иван')",
    "insert into HORA (ID_HORA, EGN, IME) values (2, '7501020000', 'Мария')",
    "insert into HORA (ID_HORA, EGN, IME) values (3, '7501030000', 'Петър')",
    "insert into SOBSTV (ID_HORA, ID_ZEMQ, REDPLOSHT, PRREDPL) values (1, 100, 2.5, 3.4567)",
    "insert into SOBSTV (ID_HORA, ID_ZEMQ, REDPLOSHT, PRREDPL) values (2, 100, 2.5, 2.1)",
    "insert into SOBSTV (ID_HORA, ID_ZEMQ, REDPLOSHT, PRREDPL) values (3, 101, 1.2, 1.5)",
    "insert into SOBSTV (ID_HORA, ID_ZEMQ, REDPLOSHT, PRREDPL) values (2, 101, 1, 1)",
    "insert into SOBSTV (ID_HORA, ID_ZEMQ, REDPLOSHT, PRREDPL) values (1, 200, 3, 3)",
    "insert into SOBSTV (ID_HORA, ID_ZEMQ, REDPLOSHT, PRREDPL) values (3, 200, 0.8, 0.75)",
    "insert into SOBSTV (ID_HORA, ID_ZEMQ, REDPLOSHT, PRREDPL) values (2, 200, 0.2, 0.25)",
    "insert into \"DOG DANNI\" (ID_DOG, NOMER, OTDATA, DODATA, ID_DT, SYSTOQNIE) "
    "values (100, '1', '2020-10-01', '2030-09-30', 1, 'Действащ')",
    "insert into \"DOG DANNI\" (ID_DOG, NOMER, OTDATA, DODATA, ID_DT, SYSTOQNIE) "
    "values (101, '2', '2024-10-01', '2027-09-30', 2, 'Действащ')",
    "insert into \"DOG DANNI\" (ID_DOG, NOMER, OTDATA, DODATA, ID_DT, SYSTOQNIE) "
    "values (102, '3', '2015-10-01', '2020-09-30', 3, 'Действащ')",
    "insert into \"DOG DANNI\" (ID_DOG, NOMER, OTDATA, DODATA, ID_DT, SYSTOQNIE, DATAPR) "
    "values (103, '4', '2020-10-01', '2030-09-30', 1, 'Прекратен', '2025-03-01')",
    "insert into \"DOG DANNI\" (ID_DOG, NOMER, OTDATA, DODATA, ID_DT, SYSTOQNIE, DATAPR) "
    "values (104, '5', '2020-10-01', '2030-09-30', 1, 'Прекратен', '2024-05-01')",
    "insert into DOGHORAZEMI (ID_DHZ, ID_DOG, ID_ZEMQ, ID_SOBSTV, REDPLOSHT) values (1, 100, 100, 1, 2.5)",
    "insert into DOGHORAZEMI (ID_DHZ, ID_DOG, ID_ZEMQ, ID_SOBSTV, REDPLOSHT) values (2, 100, 100, 2, 2.5)",
    "insert into DOGHORAZEMI (ID_DHZ, ID_DOG, ID_ZEMQ, ID_SOBSTV, REDPLOSHT) values (3, 101, 101, 3, 1.2)",
    "insert into DOGHORAZEMI (ID_DHZ, ID_DOG, ID_ZEMQ, ID_SOBSTV, REDPLOSHT) values (4, 101, 200, 1, 3)",
    "insert into DOGHORAZEMI (ID_DHZ, ID_DOG, ID_ZEMQ, ID_SOBSTV, REDPLOSHT) values (5, 103, 200, 3, 0.8)",
    "insert into DOGHORAZEMI (ID_DHZ, ID_DOG, ID_ZEMQ, ID_SOBSTV, REDPLOSHT) values (6, 104, 101, 2, 1)",
    "insert into DOGHORAZEMI (ID_DHZ, ID_DOG, ID_ZEMQ, ID_SOBSTV, REDPLOSHT) values (7, 102, 200, 2, 0.2)",
};

inline const QStringList kRules = {
    "insert into \"RENTA ZEML\" (ID_RZ, ID_ZEML, ID_DT, RAZMER) values (1, 1, 1, 40)",
    "insert into \"RENTA ZEML\" (ID_RZ, ID_ZEML, ID_DT, RAZMER) values (2, 2, 2, 15.875)",
    "insert into \"RENTA ZEML\" (ID_RZ, ID_ZEML, ID_DT, RAZMER) values (3, 1, 2, 22)",
    "insert into VIDRENTAKOL (ID_VRK, ID_RZ, KOL, EC) values (2, 1, 40, 0.25)",
    "insert into VIDRENTAKOL (ID_VRK, ID_RZ, KOL, EC) values (1, 1, 30, 1)",
    "insert into VIDRENTAKOL (ID_VRK, ID_RZ, KOL, EC) values (2, 2, 12.5, 0.3)",
    "insert into VIDRENTAKOL (ID_VRK, ID_RZ, KOL, EC) values (1, 2, 12.125, 1)",
    "insert into VIDRENTAKOL (ID_VRK, ID_RZ, KOL, EC) values (1, 3, 20, 1.1)",
};

// A goods receipt line paying wheat under the rule of area `zeml` and
// contract type `dt`.
inline QStringList receiptLine(int zeml, int dt)
{
    return {QStringLiteral("insert into \"RAZP DANNI\" (ID_RD, ID_HORA, NOM) values (1, 1, 1)"),
            QStringLiteral("insert into \"RAZP RENTA\" (ID_RR, ID_RD, ID_VR, ID_RK, KOL, ID_ZEML, ID_DT) "
                           "values (1, 1, 2, 2, 10, %1, %2)")
                .arg(zeml)
                .arg(dt)};
}

}  // namespace renttest
