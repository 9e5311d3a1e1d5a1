#pragma once

#include <QStringList>

namespace declarationtest {

// A firm in the farming year 01.10.2024-30.09.2025 (so the calendar year of
// the income declaration is 2024), seated in с. Изгрев, a company.
inline const QStringList kFirm = {
    "insert into FIRMA (ID_FIRMA, NAIM_FIRMA, EIN, ADRESS, MOL, EGN_MOL, ID_VZP, EKATTE, ID_OBSHT, ID_OBL, "
    "FROMYEAR, TOYEAR) values (1, 'Нива ООД', '050000009', 'ул. Люляк 1', 'Иван Иванов', '7501010004', 3, "
    "'00134', 'BLG03', 'BLG', '2024-10-01', '2025-09-30')",
};

// Owners paid in the calendar year 2024, in the order of their names:
//   Агро ЕООД  a company number: listed, counted, left out of the form
//   Айше       foreign, valid LNCh, 40.00
//   Ахмед      foreign, no identifier, 5.00
//   Георги     no country: not listed
//   Иван       local, EGN, 100.50 goods receipt + 50.25 cash = 150.75
//   Мария      only OIR (paid before the last closing), 80.00
//   Петър      10.00 in 2024 and 99.00 in 2025 (not counted)
//   Стоян      local, no identifier, 20.00
inline const QStringList kPayments = {
    "insert into HORA (ID_HORA, EGN, IME, CHFL, KOD_COUNTRY, ADRES) values (1, '050000009', 'Агро ЕООД', 'не', 'BG', "
    "'София')",
    "insert into HORA (ID_HORA, EGN, IME, CHFL, KOD_COUNTRY, ADRES) values (2, '1000000001', 'Айше', 'да', 'TR', "
    "'Истанбул')",
    "insert into HORA (ID_HORA, EGN, IME, CHFL, KOD_COUNTRY, ADRES) values (3, null, 'Ахмед', 'да', 'TR', 'Измир')",
    "insert into HORA (ID_HORA, EGN, IME, CHFL, KOD_COUNTRY, ADRES) values (4, '7501010004', 'Георги', 'не', null, "
    "'Русе')",
    "insert into HORA (ID_HORA, EGN, IME, CHFL, KOD_COUNTRY, ADRES) values (5, '0415010003', 'Иван', 'не', 'BG', "
    "'Изгрев')",
    "insert into HORA (ID_HORA, EGN, IME, CHFL, KOD_COUNTRY, ADRES) values (6, '7501010004', 'Мария', 'не', 'BG', "
    "'Изгрев')",
    "insert into HORA (ID_HORA, EGN, IME, CHFL, KOD_COUNTRY, ADRES) values (7, '7501010004', 'Петър', 'не', 'BG', "
    "'Изгрев')",
    "insert into HORA (ID_HORA, EGN, IME, CHFL, KOD_COUNTRY, ADRES) values (8, '', 'Стоян', 'не', 'BG', 'Изгрев')",
    "insert into \"RAZP DANNI\" (ID_RD, ID_HORA, NOM, DATA, SUMA) values (1, 5, 1, '2024-11-15', 100.5)",
    "insert into RAZP_PARI (ID_RAZPPARI, ID_HORA, NOMER, DATA, SUMA) values (1, 5, 2, '2024-12-01', 50.25)",
    "insert into RAZP_PARI (ID_RAZPPARI, ID_HORA, NOMER, DATA, SUMA) values (2, 1, 3, '2024-12-01', 30)",
    "insert into RAZP_PARI (ID_RAZPPARI, ID_HORA, NOMER, DATA, SUMA) values (3, 2, 4, '2024-12-01', 40)",
    "insert into RAZP_PARI (ID_RAZPPARI, ID_HORA, NOMER, DATA, SUMA) values (4, 3, 5, '2024-12-01', 5)",
    "insert into RAZP_PARI (ID_RAZPPARI, ID_HORA, NOMER, DATA, SUMA) values (5, 4, 6, '2024-12-01', 70)",
    "insert into RAZP_PARI (ID_RAZPPARI, ID_HORA, NOMER, DATA, SUMA) values (6, 7, 7, '2024-12-01', 10)",
    "insert into RAZP_PARI (ID_RAZPPARI, ID_HORA, NOMER, DATA, SUMA) values (7, 7, 8, '2025-01-10', 99)",
    "insert into RAZP_PARI (ID_RAZPPARI, ID_HORA, NOMER, DATA, SUMA) values (8, 8, 9, '2024-10-20', 20)",
    "insert into OIR (ID_HORA, SUMA_OIR) values (6, 80)",
};

// The land of two cadastral areas, Изгрев (00134, id 1) and Бело поле (03664, id 2).
//   Изгрев, locality Горна:
//     001002  own, categories 3 and 4 of 2.5 each, notarial deed 12 of 03.05.2010
//     000101  own, category 5 of 1.234, decision 7 without a date
//     003001  leased from Иван and Мария under contract 1 (in force, 2020-2025,
//             land office 123/2020), category 3 of 4, notarial deed 5 of 01.02.2003
//     003002  leased under contract 2, terminated before the farming year
//             though its dates cover it: no line, "без договор"
//     003003  leased under contracts 3 and 4, both run out: "изтекъл договор"
//   Бело поле, locality Ливадите: 200, own, without categories.
inline const QStringList kLand = {
    "insert into ZEMLISHTE (ID_ZEML, EKATTE, ID_OBSHT, ID_OBL) values (1, '00134', 'BLG03', 'BLG')",
    "insert into ZEMLISHTE (ID_ZEML, EKATTE, ID_OBSHT, ID_OBL) values (2, '03664', 'BLG03', 'BLG')",
    "insert into MESTNOST (ID_MESTN, ID_ZEML, NAIM_MESTN) values (10, 1, 'Горна')",
    "insert into MESTNOST (ID_MESTN, ID_ZEML, NAIM_MESTN) values (20, 2, 'Ливадите')",
    "insert into ZEMQ (ID_ZEMQ, ID_MEST, IMOT_NO, PLOSHT, ID_FS, ID_NTP, ID_VDS, NZNOMER, NZDATA) "
    "values (100, 10, '001002', 5, 1, 1, 1, '12', '2010-05-03')",
    "insert into ZEMQ (ID_ZEMQ, ID_MEST, IMOT_NO, PLOSHT, ID_FS, ID_NTP, ID_VDS, NZNOMER) "
    "values (101, 10, '000101', 1.234, 1, 2, 2, '7')",
    "insert into ZEMQ (ID_ZEMQ, ID_MEST, IMOT_NO, PLOSHT, ID_FS, ID_NTP, ID_VDS, NZNOMER, NZDATA) "
    "values (102, 10, '003001', 4, 2, 1, 1, '5', '2003-02-01')",
    "insert into ZEMQ (ID_ZEMQ, ID_MEST, IMOT_NO, PLOSHT, ID_FS, ID_NTP) values (103, 10, '003002', 3, 2, 1)",
    "insert into ZEMQ (ID_ZEMQ, ID_MEST, IMOT_NO, PLOSHT, ID_FS, ID_NTP) values (104, 10, '003003', 2, 3, 1)",
    "insert into ZEMQ (ID_ZEMQ, ID_MEST, IMOT_NO, PLOSHT, ID_FS, ID_NTP) values (200, 20, '200', 7, 1, 1)",
    "insert into KATEGORIQ (ID_ZEMQ, VID, PLOSHT) values (100, 3, 2.5)",
    "insert into KATEGORIQ (ID_ZEMQ, VID, PLOSHT) values (100, 4, 2.5)",
    "insert into KATEGORIQ (ID_ZEMQ, VID, PLOSHT) values (101, 5, 1.234)",
    "insert into KATEGORIQ (ID_ZEMQ, VID, PLOSHT) values (102, 3, 4)",
    "insert into KATEGORIQ (ID_ZEMQ, VID, PLOSHT) values (103, 3, 3)",
    "insert into KATEGORIQ (ID_ZEMQ, VID, PLOSHT) values (104, 3, 2)",
    "insert into HORA (ID_HORA, EGN, IME) values (11, '0415010003', 'Иван Петров')",
    "insert into HORA (ID_HORA, EGN, IME) values (12, '7501010004', 'Мария Иванова')",
    "insert into \"DOG DANNI\" (ID_DOG, NOMER, OTDATA, DODATA, OSZREGNO, SYSTOQNIE) "
    "values (1, '1', '2020-10-01', '2025-09-30', '123/2020', 'Действащ')",
    "insert into \"DOG DANNI\" (ID_DOG, NOMER, OTDATA, DODATA, SYSTOQNIE, DATAPR) "
    "values (2, '2', '2020-10-01', '2030-09-30', 'Прекратен', '2024-05-01')",
    "insert into \"DOG DANNI\" (ID_DOG, NOMER, OTDATA, DODATA, SYSTOQNIE) "
    "values (3, '3', '2015-10-01', '2020-09-30', 'Действащ')",
    "insert into \"DOG DANNI\" (ID_DOG, NOMER, OTDATA, DODATA, SYSTOQNIE) "
    "values (4, '4', '2018-10-01', '2022-09-30', 'Действащ')",
    "insert into DOGHORAZEMI (ID_DHZ, ID_DOG, ID_ZEMQ, ID_SOBSTV, REDPLOSHT) values (1, 1, 102, 11, 2)",
    "insert into DOGHORAZEMI (ID_DHZ, ID_DOG, ID_ZEMQ, ID_SOBSTV, REDPLOSHT) values (2, 1, 102, 12, 2)",
    "insert into DOGHORAZEMI (ID_DHZ, ID_DOG, ID_ZEMQ, ID_SOBSTV, REDPLOSHT) values (3, 2, 103, 11, 3)",
    "insert into DOGHORAZEMI (ID_DHZ, ID_DOG, ID_ZEMQ, ID_SOBSTV, REDPLOSHT) values (4, 3, 104, 11, 2)",
    "insert into DOGHORAZEMI (ID_DHZ, ID_DOG, ID_ZEMQ, ID_SOBSTV, REDPLOSHT) values (5, 4, 104, 12, 2)",
};

}  // namespace declarationtest
