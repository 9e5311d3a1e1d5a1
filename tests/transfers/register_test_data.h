#pragma once

#include <QStringList>

namespace register_test_data {

// A small register: owners whose identifiers begin with zeros, an area
// whose EKATTE does, a plot in two categories shared by two owners, both
// shares bound in contract 12 (and a contract 9 without lines, its year
// mistyped), and a rule of that area with a goods line.
inline const QStringList kRegister = {
    "insert into HORA (ID_HORA, EGN, IME, CHFL, KOD_COUNTRY, EKATTE) values (1, '7501010004', 'Мария', 'не', 'BG', "
    "'00134')",
    "insert into HORA (ID_HORA, EGN, IME, CHFL, KOD_COUNTRY) values (2, '0415010003', 'Иван', 'не', 'BG')",
    "insert into HORA (ID_HORA, EGN, IME, CHFL, KOD_COUNTRY) values (3, '050000009', 'Агро ЕООД', 'не', 'BG')",
    "insert into ZEMLISHTE (ID_ZEML, EKATTE, ID_OBSHT, ID_OBL) values (1, '00134', 'BLG03', 'BLG')",
    "insert into MESTNOST (ID_MESTN, ID_ZEML, NAIM_MESTN) values (10, 1, 'Горна')",
    "insert into MESTNOST (ID_MESTN, ID_ZEML, NAIM_MESTN) values (11, 1, 'Долна')",
    "insert into ZEMQ (ID_ZEMQ, ID_MEST, IMOT_NO, PLOSHT, PRPLOSHT, ID_NTP, ID_FS, ID_VDS, NZNOMER, NZDATA, OBRAB) "
    "values (100, 10, '001002', 5, 4.25, 1, 2, 1, '12', '2010-05-03', 0)",
    "insert into ZEMQ (ID_ZEMQ, ID_MEST, IMOT_NO, PLOSHT) values (101, 11, '001002', 1.5)",
    "insert into KATEGORIQ (ID_ZEMQ, VID, PLOSHT) values (100, 3, 2.5)",
    "insert into KATEGORIQ (ID_ZEMQ, VID, PLOSHT) values (100, 4, 2.5)",
    "insert into \"DOG DANNI\" (ID_DOG, NOMER, DATA, OTDATA, DODATA, ID_DT, ID_VIDDOG, SYSTOQNIE) "
    "values (5, '12', '2020-09-15', '2020-10-01', '2025-09-30', 1, 1, 'Действащ')",
    "insert into \"DOG DANNI\" (ID_DOG, NOMER, SYSTOQNIE, DATA) values (6, '9', 'Прекратен', '0201-05-01')",
    "insert into DOGHORAZEMI (ID_DHZ, ID_DOG, ID_ZEMQ, ID_SOBSTV, CHAST, REDPLOSHT) values (7, 5, 100, 2, '1/2', 2.5)",
    "insert into DOGHORAZEMI (ID_DHZ, ID_DOG, ID_ZEMQ, ID_SOBSTV, CHAST, REDPLOSHT) values (8, 5, 100, 1, '1/2', 2.5)",
    "insert into SOBSTV (ID_HORA, ID_ZEMQ, REDPLOSHT, CHAST, PRREDPL, ID_DOG, ID_DHZ) "
    "values (2, 100, 2.5, '1/2', 2.125, 5, 7)",
    "insert into SOBSTV (ID_HORA, ID_ZEMQ, REDPLOSHT, CHAST, PRREDPL, ID_DOG, ID_DHZ) "
    "values (1, 100, 2.5, '1/2', 2.125, 5, 8)",
    "insert into SOBSTV (ID_HORA, ID_ZEMQ, REDPLOSHT, CHAST, PRREDPL) values (3, 101, 1.5, '1/1', 1.5)",
    "insert into VID_RENTA (ID_VR, NAIM_VR, ME) values (2, 'Пшеница', 'кг')",
    "insert into \"RENTA ZEML\" (ID_RZ, ID_ZEML, ID_DT, RAZMER) values (1, 1, 1, 10)",
    "insert into VIDRENTAKOL (ID_VRK, ID_RZ, KOL, EC) values (2, 1, 40, 0.25)",
};

}  // namespace register_test_data
