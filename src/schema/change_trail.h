#pragma once

// The trail of changes: who added, corrected or deleted which row of the
// register's working tables (owners, plots and their shares, contracts and
// their lines, rent rules and their lines, receipts and their lines, cash
// payments and the past years' rest), and when.
//
// Triggers on those tables write one row of JURNAL_PROM per row changed, in
// the changing transaction, so that a change rolled back leaves none: the
// table and the row's key, the action ("Добавяне", "Корекция",
// "Изтриване"), the owner the row belongs to where it has one, the user and
// the time, and the values as text (an insert's new values, a delete's old
// ones, a correction's changed columns both ways). A correction that
// changes nothing writes nothing. Rows of the trail are never changed, and
// only an administrator deletes them.
//
// The user is the login on a server register; on the embedded one (a
// single desk with no login) it is the name of the system's user, which the
// connection hands to the database when it attaches.

#include <QString>
#include <QStringList>

namespace schema::trail {

// The trail's table, its sequence and indexes, the functions that write
// numbers and dates as text, the guards of its rows and the triggers of
// every trailed table, in order.
QStringList trailDdl();

// The trailed tables, as the trail names them (upper case, blanks kept).
QStringList trailedTables();
// The names of the triggers that write the trail (a bulk load into a new
// database, which is nobody's change, switches them off).
QStringList trailTriggers();

}  // namespace schema::trail
