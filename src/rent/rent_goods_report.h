#pragma once

#include <QString>

// The three queries of the report "Справка стоки за рента по землища": the
// goods and money due in the farming year per cadastral area, contract type
// and rent type, over all owners together. Each is built on Q1, one row per
// rule line that applies: a rule line joined to ZP, the contracted area of
// its rule's cadastral area and contract type (schema::rent::areaPerCadastralArea).
//
// Because the quantities are rounded once on an area's whole equalised area,
// they can differ slightly from the sum of the owners' dues in the rent list.
namespace rent {

struct RentGoodsQueries {
    // IBQuery1, the report's body: one row per cadastral area, contract type
    // and rent type with COUNT_Q1, ID_DT, ID_ZEML, EKATTE, ZPD_PLOSHT,
    // ZP_PLOSHT, ID_VR, ME, NAIM_VR, NAIM_NM, OK (the quantity due for the
    // whole area) and STOINOST (its value).
    QString body;
    // IBQuery3: the rent types of each contract type that has a line in the
    // body (COUNT_VR, the rule lines of that type among the contract type's
    // rules; ID_VRK, ID_DT, TIP).
    QString typesPerContractType;
    // IBQuery4: the rent types in the body (COUNT_VR, the rule lines of that
    // type in all rules; ID_VRK).
    QString typesInUse;
};

// The queries over contract lines summed per contract, owner and area
// (`lines`, see schema::rent::areaPerCadastralArea); computed now when empty.
RentGoodsQueries rentGoodsQueries(const QString& lines = {});

}  // namespace rent
