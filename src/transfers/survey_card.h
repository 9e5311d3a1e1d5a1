#pragma once

#include "fb/value.h"
#include "report_engine/report_data.h"
#include "transfers/survey_database.h"

#include <QString>
#include <QStringList>

#include <utility>
#include <vector>

namespace dataset {
class Dataset;
class TransactionArea;
}  // namespace dataset

// What the two survey card transfers share (into the authorities' workbook
// form and into the survey database): the firm, the cadastral areas, the
// plots the firm works in the farming year with their basis, and the plots
// left out for want of one. Areas are in hectares (decares / 10).
namespace transfers::survey_card {

inline const QString kYes = QStringLiteral("да");
inline const QString kNoInvalidData = QStringLiteral("Няма невалидни данни!");
inline const QString kFetching = QStringLiteral("Изтегляне на данните, моля изчакайте!");
inline const QString kInvalidNotRead = QStringLiteral("Невалидните данни не са прочетени.");
inline const QString kHectares = QStringLiteral(" ха");

// Every cadastral area: ID_ZEML, NAIM_NM, EKATTE, NAIM_OBSHT, NAIM_OBL, TIP,
// NM (the settlement's type and name), ID_OBL, ID_OBSHT.
QString areasStatement();

// The plots of every area with their basis, as the inner level Q1 the lines
// below complete: ID_ZEML, EKATTE, NAIM_NM, NAIM_MESTN, ID_ZEMQ, KOD_FS,
// NAIM_FS, KOD_NTP, NAIM_NTP, IMOT_NO, PLOSHT, PL, POLPL (hectares) and
// OSNOVANIE: "да" for own land whatever its contracts; "без договор" with no
// contract at all; "да" with a contract in force in the farming year;
// "изтекъл договор" with only contracts out of it; else "не".
QString plotsStatement();
// Completing it to the current area's plots with a valid basis (:id_zeml),
// by plot number: the grid's and the transfer's rows.
QStringList areaPlotLines();
// Completing it to every plot of every area, by settlement (the reading
// the invalid list is taken from).
QStringList allPlotLines();
// Every plot with a valid basis of every area, by EKATTE and plot number.
QString validPlotsStatement();

// The sum under the plots: four decimals in the user's locale and " ха".
QString sumText(double hectares);
// An area as the form is given it: decimal text in the user's locale,
// rounded to the ten-thousandth a hectare of three-decimal decares has.
QString hectaresText(double hectares);

struct Plot {
    QString ekatte, imotNo, naimNtp, naimFs, kodNtp, kodFs;
    double pl = 0, polpl = 0;
};

struct Area {
    QString idZeml, ekatte, naimObl, naimObsht, nm, idObl, idObsht;
    std::vector<Plot> plots;  // with a valid basis, by plot number
};

// The firm's header on the card and its record in the survey database.
struct Firm {
    QString naimObl, vzp, naimObsht, grS;
    survey_database::Firm record;
};

// From the firm query's row (the declarations' firm statement).
Firm firmOf(const dataset::Dataset& firm);

// Every area in the areas query's order with its valid plots, from one
// reading of the valid plots query (both opened when closed).
std::vector<Area> areasOf(dataset::Dataset& areas, dataset::Dataset& validPlots);

// The firm and every area with its valid plots, read in `area`'s
// transaction: what a transfer writes.
std::pair<Firm, std::vector<Area>> readCard(dataset::TransactionArea& area);

// The survey database's input: the areas that have plots, in order, and
// every plot by EKATTE and plot number.
std::vector<survey_database::Area> databaseAreas(const std::vector<Area>& areas);
std::vector<survey_database::Plot> databasePlots(const std::vector<Area>& areas);

// The invalid list's fields, in the layout's order.
QStringList invalidFields();
// The rows of the all-plots reading whose trimmed basis is not "да", as
// values of invalidFields().
std::vector<std::vector<fb::Value>> invalidRows(dataset::Dataset& allPlots);
// Those rows as the invalid list the screen and the command line print
// (TransferNevalidniAK.rav), the areas shown "#0.0000".
reports::Table invalidTable(dataset::Dataset& allPlots);

}  // namespace transfers::survey_card
