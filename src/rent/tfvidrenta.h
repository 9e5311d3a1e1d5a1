#pragma once

#include "common/register_screen.h"

class TDM;

// The rent types ("Вид рента"): the kinds of rent a rule line gives per
// decare and a payout hands out, with their unit of measure, through the
// shared cursor TVidRenta under IBTVR, so that the rules screen's picker
// offers a saved type at once. Type 1, money, is delivered with the
// database and stays as it is; a type some rule line uses cannot be
// deleted, while one that only receipts name can.
class TFVidRenta : public RegisterScreen {
    Q_OBJECT
public:
    TFVidRenta(TDM& dm, Prompter& prompter, QWidget* parent = nullptr);
};
