#pragma once

#include "common/screen.h"

#include <QCoreApplication>
#include <QString>

class Prompter;
class QLineEdit;
class QProgressBar;
class TDM;

// "Износ в таблици": the whole register written into one new workbook the
// user names, with a sheet that explains every column. An existing file is
// replaced only after "Да" to the question, which defaults to "Не"; the
// blank forms delivered with the program are never written over.
class TFIznosTablici : public Screen {
    Q_OBJECT
public:
    TFIznosTablici(TDM& dm, Prompter& prompter, QString programFolder = QCoreApplication::applicationDirPath(),
                   QWidget* parent = nullptr);

private:
    void browse();
    void exportRegister();
    // The refusal said before anything is written; false when there is one.
    bool acceptable(const QString& path);
    void aboutToClose() override;

    TDM& dm_;
    Prompter& prompter_;
    QString programFolder_;
    // The data folder when the screen was opened; current again when it closes.
    QString rememberedFolder_;
    QLineEdit* edFileName_;
    QProgressBar* ProgressBar1_;
};
