#pragma once

#include <QString>
#include <QStringList>

#include <vector>

namespace schema {

// Reads comma-separated text with RFC 4180 quoting (a field is quoted when it
// holds a comma, a quote or a line break; quotes inside are doubled).
// Returns the records, the header first; blank lines are skipped.
std::vector<QStringList> parseCsv(const QString& text);

}  // namespace schema
