#pragma once

#include "declaration_test_data.h"

namespace surveycardtest {

// Beside the declarations' land (Изгрев: own 001002 and 000101, 003001 under
// a contract in force, 003002 "без договор", 003003 "изтекъл договор";
// Бело поле: own 200), two more areas after them:
//   Бистрица (id 3): only 400, without a contract: no valid plot, skipped;
//   Бучино (id 4): 500, own, 12.5 dka with 2.5 dka irrigated, and 501 under
//   the contract in force;
// and own 001002 also leased under the run-out contract 3.
// The firm's contacts, so that every header cell has something.
inline const QStringList kMore = {
    "update FIRMA set PK = '2700', TEL = '073123456', MOB_TEL = '0888123456', FAKS = '073654321', "
    "EMAIL = 'niva@example.bg'",
    "insert into ZEMLISHTE (ID_ZEML, EKATTE, ID_OBSHT, ID_OBL) values (3, '04217', 'BLG03', 'BLG')",
    "insert into ZEMLISHTE (ID_ZEML, EKATTE, ID_OBSHT, ID_OBL) values (4, '07168', 'BLG03', 'BLG')",
    "insert into MESTNOST (ID_MESTN, ID_ZEML, NAIM_MESTN) values (30, 3, 'Кория')",
    "insert into MESTNOST (ID_MESTN, ID_ZEML, NAIM_MESTN) values (40, 4, 'Равнището')",
    "insert into ZEMQ (ID_ZEMQ, ID_MEST, IMOT_NO, PLOSHT, ID_FS, ID_NTP) values (400, 30, '400', 9, 2, 1)",
    "insert into ZEMQ (ID_ZEMQ, ID_MEST, IMOT_NO, PLOSHT, POLPL, ID_FS, ID_NTP) "
    "values (500, 40, '500', 12.5, 2.5, 1, 2)",
    "insert into ZEMQ (ID_ZEMQ, ID_MEST, IMOT_NO, PLOSHT, ID_FS, ID_NTP) values (501, 40, '501', 3.333, 3, 1)",
    "insert into DOGHORAZEMI (ID_DHZ, ID_DOG, ID_ZEMQ, ID_SOBSTV, REDPLOSHT) values (6, 1, 501, 11, 3.333)",
    // An expired contract on own land leaves it valid.
    "insert into DOGHORAZEMI (ID_DHZ, ID_DOG, ID_ZEMQ, ID_SOBSTV, REDPLOSHT) values (7, 3, 100, 11, 5)",
};

inline QStringList all()
{
    return declarationtest::kFirm + declarationtest::kLand + kMore;
}

}  // namespace surveycardtest
