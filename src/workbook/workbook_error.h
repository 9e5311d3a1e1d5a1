#pragma once

#include <QString>

#include <stdexcept>

namespace transfers {

// Anything the workbook layer refuses or fails at: a file it cannot read or
// write, an address it cannot parse, a protected cell, an unknown macro. The
// text is Bulgarian and complete, so a screen shows what() as it is.
class WorkbookError : public std::runtime_error {
public:
    explicit WorkbookError(const QString& message) : std::runtime_error(message.toStdString()) {}
    QString message() const { return QString::fromStdString(what()); }
};

// A worksheet with more rows than the reader was told to take: refused
// before its cells are read.
class TooManyRowsError : public WorkbookError {
public:
    using WorkbookError::WorkbookError;
};

}  // namespace transfers
