#pragma once

#include "common/screen.h"

#include <QCoreApplication>
#include <QDate>
#include <QString>

#include <functional>
#include <optional>

class Prompter;
class QLabel;
class QProgressBar;
class TDM;
namespace fb {
class Connection;
class Transaction;
}  // namespace fb

// "Приключване на година": archives the year's database and layouts into a
// folder named after the farming year beside the program, keeps the year's
// paid totals in OIR, carries each owner's unpaid rest into ONR, moves the
// farming year on and empties the payout tables. The database work is one
// transaction: it all happens or none of it does. A register on a server is
// archived through the server's own backup, and only while no other desk is
// attached to it. The screen names the year
// it closes, and nothing starts before the user has said "Да" to that year
// (and once more when the year has not ended yet).
class TFPreklgod : public Screen {
    Q_OBJECT
public:
    // Called as the run passes each step: kCopying once the database is let
    // go (on a server it stays attached) and its copies begin, 0 when the copies are made and the database is
    // about to change, 1 to 6 after each database step inside the
    // transaction, 7 once it is committed. What it throws at 0 to 6 ends the
    // run like a database error; at kCopying and 7 it must not throw.
    static constexpr int kCopying = -1;
    using StepHook = std::function<void(int step)>;
    using Clock = std::function<QDate()>;
    TFPreklgod(TDM& dm, Prompter& prompter, QString programFolder = QCoreApplication::applicationDirPath(),
               StepHook afterStep = {}, Clock today = &QDate::currentDate, QWidget* parent = nullptr);

private:
    void closeYear();
    // The user's "Да" to closing the year from `from` to `to`.
    bool confirmed(const QDate& from, const QDate& to);
    void showYear(const std::optional<std::pair<QDate, QDate>>& year);
    bool aloneOnServer();
    // The folder copies, the layouts taken from `layouts`; the reason when one failed.
    std::optional<QString> copyFiles(const QString& source, const QString& layouts, const QString& archive,
                                     const std::pair<QDate, QDate>& year);
    void keepFiguresOfTheNewYear();
    void runDatabaseSteps(fb::Connection& connection, fb::Transaction& tr);
    void step(int number, int progress);
    // Undoes what the run made and shows `text`.
    void fail(const QString& text, const QString& archive);

    TDM& dm_;
    Prompter& prompter_;
    QString programFolder_;
    StepHook afterStep_;
    Clock today_;
    QLabel* labGodina_;
    QProgressBar* ProgressBar1_;
};
