#pragma once

#include <QString>

#include <stdexcept>

namespace dataset {

// A dataset asked to do what its caller should have known it cannot: an
// unknown field, a write through a query, a move while a row is being
// edited, a dataset whose transaction or database is gone. It is a fault of
// the program, never a message of the database, so it is not an fb::Error
// and the screens' handlers of database errors do not show it as one.
class UsageError : public std::logic_error {
public:
    explicit UsageError(const QString& message) : std::logic_error(message.toStdString()) {}
    QString message() const { return QString::fromUtf8(what()); }
};

}  // namespace dataset
