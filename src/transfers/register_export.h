#pragma once

#include <QString>
#include <QStringList>

#include <functional>

namespace dataset {
class Database;
}

// The whole register as one workbook ("Износ в таблици"): first the sheet
// that explains every sheet and column, then one sheet per kind of record
// as the register's sheets describe them, one row per record in the order
// of its natural key, so that equal registers give equal workbooks. The
// register is read in one read-only snapshot: the workbook shows it as it
// was at one moment, whatever other desks save meanwhile.
namespace transfers::register_export {

// The texts the screen and the command line say.
extern const QString kFailed;  // "Износът в таблици не е извършен."
extern const QString kDone;    // "Износът в таблици е извършен!"
extern const QString kNoFile;  // "Моля, въведете име на файл!"
// The question before the file at `path` is replaced, naming it.
QString overwriteQuestion(const QString& path);
// The file the blank register's workbook is delivered as.
extern const QString kBlankFileName;
// Said when the file chosen is a blank form delivered with the program.
QString blankRefusal(const QString& path);

// Called with the share done, 0 to 100.
using Progress = std::function<void(int percent)>;

// The statement that reads a sheet's rows, its columns in the sheet's
// order, ordered by all of them (the key first).
QString sheetStatement(const QString& sheet);

// Writes the register of `database` into a new workbook at `path`,
// replacing a file that is there only once the workbook is whole. Throws
// fb::Error or WorkbookError; `path` is then as it was. Returns the number
// of records written.
long long write(dataset::Database& database, const QString& path, const Progress& progress = {});

// The same workbook for an empty register: the delivered blank one.
void writeBlank(const QString& path);

}  // namespace transfers::register_export
