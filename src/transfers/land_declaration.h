#pragma once

#include <QDate>
#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

namespace dataset {
class Dataset;
}

// What the declarations under art. 69 and art. 70 share: the firm and the
// cadastral areas they are written for, the output folders beside the
// program, and the workbook each writes per area from nothing (title, column
// heads, one line per row, a frame and the declarant's footer).
namespace transfers::land_declaration {

inline const QString kNoFile = QStringLiteral("Не е изберан файл!");
inline const QString kOverwrite = QStringLiteral("Такъв файл съществува! Желаете ли да го презапишете?");
inline const QString kDone = QStringLiteral("Данните са прехвърлени успешно!");
// What a user is told first when the transfer or the reading before it failed.
inline const QString kFailed = QStringLiteral("Данните не са прехвърлени.");
inline const QString kFirmNotRead = QStringLiteral("Данните на фирмата не са прочетени.");
inline const QString kWarning = QStringLiteral("Известно ми е, че за неверни данни нося отговорност по чл. 313 от НК.");

// The firm with its settlement: every FIRMA column, KOD_VZP, VZP, NAIM_NM,
// TIP, NAIM_OBSHT, NAIM_OBL and GR_S (the settlement's type and name).
QString firmStatement();
// "Данните ще се формират за стопански период: 2024/2025" from the firm's row.
QString periodMessage(const dataset::Dataset& firm);

// The cadastral areas with plots of the firm's own land (form of management
// 1) or with plots of other land: ID_ZEML, NAIM_NM, EKATTE, NAIM_OBSHT,
// NAIM_OBL, TIP, NM.
enum class Land { Own, Leased };
QString areasStatement(Land land);

// Whether the plot (zemq, in the enclosing select) has a contract in force
// in the farming year, or one out of it (run out before it or starting
// after it, whatever its state): an indexed test per plot.
QString plotHasContract(bool inForce);

// "<program folder>/Dekl69" and the file of an area in it, "<EKATTE>.xlsx".
QString outputFolder(const QString& programFolder, const QString& name);
QString outputFile(const QString& folder, const QString& ekatte);

// The document of ownership: its kind, then " number/date" when both are there.
QString ownershipDocument(const QString& kind, const QString& number, const QDate& date);

// A number as the declarations write it into a cell: its shortest exact
// text, which the sheet takes as that number.
QString plainNumber(double value);

// One text cell of the footer, `below` rows under the last line (n + below).
struct FooterCell {
    int below;
    char column;
    QString text;
    bool right = false;
};

struct Form {
    QString title;                 // row 3, merged across, bold
    QStringList heads;             // row 4, one per column from A
    std::vector<int> textColumns;  // formatted as text ("@"), so leading zeros stay
    std::vector<FooterCell> footer;
};

// The footer's place and date lines: GR_S at n + 9 and "Дата <date> г." at n + 10.
std::vector<FooterCell> placeAndDate(const QString& place, const QDate& today);

using Progress = std::function<void(int percent)>;

// Writes the declaration with `lines` (the cells from column B on; column A
// numbers them from 1) to `path`, replacing a file there. A failure leaves
// no file (and an older one as it was): WorkbookError with its message.
void write(const QString& path, const Form& form, const std::vector<QStringList>& lines, const Progress& progress = {});

}  // namespace transfers::land_declaration
