#pragma once

#include "registers/lookup_list.h"

class TDM;

// The sown crops (KULTURA), opened from the plot editor beside its crop drop-down.
class TFZasqtaKultura : public LookupList {
    Q_OBJECT
public:
    TFZasqtaKultura(TDM& dm, Prompter& prompter, QWidget* parent = nullptr);
};
