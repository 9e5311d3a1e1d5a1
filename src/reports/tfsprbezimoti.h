#pragma once

#include "common/register_screen.h"

class SortSwitch;
class TDM;

// The owners without properties ("Справка на Собственик без имоти"): every
// owner who holds no ownership share at all, read by its own query under
// IBTQ1, sorted by a column title. It only reads.
class TFSprbezimoti : public RegisterScreen {
    Q_OBJECT
public:
    // `direction` is the screen kind's run-long sort switch.
    TFSprbezimoti(TDM& dm, Prompter& prompter, SortSwitch& direction, QWidget* parent = nullptr);
};
