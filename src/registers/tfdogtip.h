#pragma once

#include "registers/lookup_list.h"

class TDM;

// The contract types (DOGTIP), opened from the contract editor.
class TFDogTip : public LookupList {
    Q_OBJECT
public:
    TFDogTip(TDM& dm, Prompter& prompter, QWidget* parent = nullptr);
};
