#pragma once

#include <QString>

class Prompter;
class TDM;

namespace service {

// A year closing that was cut off from outside (the process killed, the
// power lost) leaves its TEMP folder beside the program. Its database work
// is one transaction, so the database is either wholly closed or untouched;
// the farming year in it, set against the one in the TEMP copy, tells which.
// A TEMP without a copy that opens was cut during the run's first copy,
// before any change: the database's year is then the run's. The user is
// told which it is and asked whether the leftovers may go: the TEMP folder,
// and when the year was not closed the run's archive folder of that year.
// No database file is replaced.
//
// True when start-up may go on: there was no TEMP folder, or the user let
// the leftovers go and they did. False when the program must end (the user
// said no, or what happened cannot be told); the folders stay as they are.
bool recoverBrokenClosing(const QString& programFolder, TDM& dm, Prompter& prompter);

}  // namespace service
