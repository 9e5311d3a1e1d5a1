#pragma once

#include <QString>
#include <QStringList>

namespace dataset {

// A statement held as an ordered list of lines, so that list screens can
// replace the WHERE, condition and order lines. Parameters are named
// (":name"); text() joins the lines, parsed() turns the names into the
// positional markers the database takes.
class StatementLines {
public:
    StatementLines() = default;
    StatementLines(QStringList lines) : lines_(std::move(lines)) {}

    QStringList& lines() { return lines_; }
    const QStringList& lines() const { return lines_; }
    void setLines(const QStringList& lines) { lines_ = lines; }
    void clear() { lines_.clear(); }
    void add(const QString& line) { lines_ << line; }
    bool isEmpty() const { return lines_.isEmpty(); }
    // Replaces the last line (the order line of a list).
    void setLastLine(const QString& line);

    QString text() const { return lines_.join(QLatin1Char('\n')); }

    struct Parsed {
        QString sql;         // with '?' for each parameter
        QStringList params;  // the parameter names in the order of the markers, upper case
    };
    // Names inside quoted literals and quoted identifiers are left alone.
    static Parsed parse(const QString& text);

private:
    QStringList lines_;
};

}  // namespace dataset
