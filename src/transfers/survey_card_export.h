#pragma once

#include "transfers/survey_card.h"

#include <functional>

// The survey card written into an empty copy of the authorities' form
// (forms/zp_viva11_5.xlsx) through the form's own macros. The screen TFAK
// and the command line arventa-export both write it through here.
namespace transfers::survey_card {

inline const QString kNoFile = QStringLiteral("Не е изберан файл!");
inline const QString kWrongWorkbook = QStringLiteral("Не е избран коректния файл!");
inline const QString kFilled = QStringLiteral("В документа има попълнени данни, изберете празен файл!");
inline const QString kDone = QStringLiteral("Данните са прехвърлени успешно!");
inline const QString kFailed = QStringLiteral("Данните не са прехвърлени.");

using Progress = std::function<void(int percent)>;

// Fills the form at `path` with the firm's header and, for every area with
// valid plots, its line on the card and its plots through table 1, then
// completes the card and saves it in place. Returns an empty text when
// saved, else the refusal (no sheet "анкетна карта", or a form whose
// comboHeadOblast is filled); a refused form and one where a step fails
// (WorkbookError with its message) are left as they were.
QString transfer(const QString& path, const Firm& firm, const std::vector<Area>& areas, const Progress& progress = {});

}  // namespace transfers::survey_card
