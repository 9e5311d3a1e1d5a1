#pragma once

#include "registers/lookup_list.h"

class TDM;

// The contract kinds (VID_DOG), opened from the contract editor.
class TFDogVid : public LookupList {
    Q_OBJECT
public:
    TFDogVid(TDM& dm, Prompter& prompter, QWidget* parent = nullptr);
};
