#pragma once

#include "common/screen.h"

#include <QDate>
#include <QString>

#include <functional>
#include <optional>

class Prompter;
class QLabel;
class QLineEdit;
class QProgressBar;
class TDM;

// The backup folder's name for a day: "Archive_" and the day in the user's
// short date format, with any path separator in it made a dot.
QString backupFolderName(const QDate& day);

// "Създаване на архив": copies the database file into a dated folder inside
// a folder the user chooses. The connection is closed for the copy only and
// opened again after it; a copy that fails its check leaves no folder behind.
// A register on a server is backed up by the server's engine instead, while
// the desks stay connected: the folder then holds that backup (ARVENTA.FBK)
// and its restore (ARVENTA.FDB), which is checked as a copy is.
// The screen names the database it copies, with its farming year, and says
// when that is the database of an archived period loaded in this run.
class TFBackup : public Screen {
    Q_OBJECT
public:
    using Clock = std::function<QDate()>;
    TFBackup(TDM& dm, Prompter& prompter, Clock today = &QDate::currentDate, bool oldPeriod = false,
             QWidget* parent = nullptr);

private:
    void browse();
    void makeBackup();
    // Copies the database into `folder`, which was just made; the reason when the copy failed.
    std::optional<QString> copyInto(const QString& folder);
    void aboutToClose() override;

    TDM& dm_;
    Prompter& prompter_;
    Clock today_;
    // The data folder when the screen was opened; it is current again when the screen closes.
    QString rememberedFolder_;
    QLabel* labBaza_;
    QLineEdit* edFileName_;
    QProgressBar* ProgressBar1_;
};
