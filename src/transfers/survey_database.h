#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

// The survey card written into the authorities' survey database: a small
// SQLite file (an empty one is forms/zp_v15.mde) with the list of the
// cadastral areas written (karta_spisak_nm), one line per plot with a valid
// basis (VHOD_L) and the firm's record of the form (blanka_reg). The screen
// TFAK_access and the command line arventa-export both write it through
// here.
namespace transfers::survey_database {

inline const QString kFileName = QStringLiteral("zp_v15.mde");
inline const QString kFilter = QStringLiteral("MS Access DB (*.mde)");

inline const QString kNoFile = QStringLiteral("Не е избран файл!");
inline const QString kFilled = QStringLiteral("В документа има попълнени данни, изберете празен файл!");
inline const QString kDone = QStringLiteral("Данните са прехвърлени успешно!");
inline const QString kFailed = QStringLiteral("Данните не са прехвърлени.");
inline const QString kNotSurveyDatabase = QStringLiteral("Избраният файл не е база данни на анкетната карта.");
// The file's name is put in.
inline const QString kReadOnly = QStringLiteral("Файлът „%1“ е само за четене и не може да бъде попълнен.");
inline const QString kFolderReadOnly = QStringLiteral("Папката „%1“ не може да бъде записана.");

// The firm's record, from its FIRMA row.
struct Firm {
    QString idObl;   // FIRMA.ID_OBL
    QString kodVzp;  // VZP.KOD_VZP; "0" is a natural person
    QString naimFirma, mol, ein, egnMol;
    QString idObsht;  // FIRMA.ID_OBSHT
    QString ekatte;   // FIRMA.EKATTE
    QString adress, tel, mobTel, faks, email, pk;
};

// A cadastral area that has plots with a valid basis, in the areas' order.
struct Area {
    QString ekatte, idObl, idObsht;
};

// A plot with a valid basis; its areas in hectares.
struct Plot {
    QString ekatte, imotNo, kodNtp, kodFs;
    double pl = 0, polpl = 0;
};

// The responsible person's name as the form keeps it (ime1, ime2, ime3):
// each a single blank unless the name has a blank at position 4 or later;
// then ime1 is the text before the first blank and the trimmed rest R is
// split at its first blank, ime2 before it (empty when R has none) and ime3
// from it on, the blank included (all of R when it has none).
struct NameParts {
    QString ime1, ime2, ime3;
};
NameParts splitName(const QString& mol);

// An area as the plot lines hold it: "%8.3f" with a point ("   1.250").
QString hectares(double value);

// The identifier of the form: EIN for a firm (KOD_VZP not 0), else EGN_MOL.
QString identifierOf(const Firm& firm);

using Progress = std::function<void(int percent)>;

// Writes the card into the survey database at `path` in one transaction:
// refused (kFilled, nothing written) when karta_spisak_nm has rows; else a
// karta_spisak_nm row per area, a VHOD_L row per plot, and the firm's
// blanka_reg record (every existing row updated, or one inserted). The
// record's ob, obsht2 and ekat2 come from the last area (empty without
// one). Returns an empty text when written, else the refusal; a database
// error leaves the file as it was and is a SurveyDatabaseError with the
// driver's text. Before anything is written the file is checked: one that
// is not a survey database (not SQLite, or without the form's tables) and
// one that cannot be written (the file or its folder, where the driver
// keeps its journal) are errors with their reason.
QString write(const QString& path, const Firm& firm, const std::vector<Area>& areas, const std::vector<Plot>& plots,
              const Progress& progress = {});

// The empty survey database (forms/zp_v15.mde is one): its three tables
// made at `path`, replacing a file there.
void createEmpty(const QString& path);
// The statements that make the tables, as the empty database holds them.
QStringList tableStatements();

class SurveyDatabaseError {
public:
    explicit SurveyDatabaseError(QString message, QString reason = {})
        : message_(std::move(message)), reason_(std::move(reason))
    {
    }
    // The driver's or the file system's text.
    const QString& message() const { return message_; }
    // Why, in Bulgarian, when the file itself is the cause (kNotSurveyDatabase,
    // kReadOnly…); empty for any other failure.
    const QString& reason() const { return reason_; }

private:
    QString message_;
    QString reason_;
};

// What a user is told first of the error: kFailed, and the reason under it
// when there is one. The driver's text goes below (failure::text).
QString whatFailed(const SurveyDatabaseError& error);

}  // namespace transfers::survey_database
