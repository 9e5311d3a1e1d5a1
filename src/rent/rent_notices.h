#pragma once

#include <QString>

class Prompter;

namespace dataset {
class Database;
}

namespace fb {
class Connection;
}

namespace rent {

// The rows the rent cannot be worked out for (a rule line or a share stored
// with a figure no statement can multiply: an older register, a hand edit),
// named so that they can be put right: "Рентата не може да бъде изчислена
// за: …". The lists and reports leave them out and show everyone else.
// Empty when there are none.
QString uncomputableNotice(fb::Connection& connection);

// Says the notice, when there is one, as a list or report opens; a failure
// to read it is said in its place.
void sayUncomputable(dataset::Database& database, Prompter& prompter);

}  // namespace rent
