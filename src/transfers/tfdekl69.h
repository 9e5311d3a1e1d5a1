#pragma once

#include "transfers/land_declaration_screen.h"

// "Декларация по чл. 69": the declaration of the firm's own land, one
// workbook per cadastral area in the folder Dekl69 beside the program.
class TFDekl69 : public LandDeclarationScreen {
    Q_OBJECT
public:
    TFDekl69(TDM& dm, Prompter& prompter, QString programFolder = QCoreApplication::applicationDirPath(),
             QWidget* parent = nullptr);
};
