#pragma once

#include <QString>

namespace fb {

class Connection;
class Transaction;

// Runs a select and fetches every row into the engine's message buffer
// without reading a single value out of it: what the engine alone costs,
// for the benchmarks that weigh the program's own layers against it.
// Returns the number of rows.
long long fetchRaw(Connection& connection, Transaction& tr, const QString& sql);

}  // namespace fb
