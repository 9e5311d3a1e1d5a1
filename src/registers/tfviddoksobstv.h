#pragma once

#include "registers/lookup_list.h"

class TDM;

// The kinds of ownership document (VIDDOKSOBSTV), opened from the plot editor.
// Yes to the close question with an empty name shows the message and closes
// all the same, without saving.
class TFVidDokSobstv : public LookupList {
    Q_OBJECT
public:
    TFVidDokSobstv(TDM& dm, Prompter& prompter, QWidget* parent = nullptr);
};
