#pragma once

#include "common/register_screen.h"

class TDM;

// The rent goods ("Раздадена култура"): the articles actually handed out on
// goods receipts, through the shared cursor TRentaKult under IBTRK, opened
// modally from the payout's quantity dialog, which reads its goods again
// once this closes. Goods 1, the pseudo-goods of money lines, is delivered
// with the database and stays as it is; goods a receipt line names cannot
// be deleted.
class TFRentaKult : public RegisterScreen {
    Q_OBJECT
public:
    TFRentaKult(TDM& dm, Prompter& prompter, QWidget* parent = nullptr);
};
