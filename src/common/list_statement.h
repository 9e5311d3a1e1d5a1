#pragma once

#include <QString>
#include <QStringList>

#include <vector>

// The text a user typed, as an SQL string literal: enclosed in single quotes,
// every single quote inside doubled. The one way user text reaches a
// statement other than as a parameter.
QString sqlLiteral(const QString& text);

// One filter box's condition: the screen's fragment, the box's text as a
// literal, then the closing. "(upper(hora.ime) containing(" + 'text' + ")) "
struct FilterCondition {
    QString fragment;
    QString closing = QStringLiteral(")) ");
};

// How a list sorts by a column title.
//  lastLineWithTieBreak: the last line becomes the column's source,
//     " ASC," or " DESC," and a tie-break list (the screen's, or the
//     column's own); a filter in force stays;
//  lastLine: the last line becomes `text` + the column's key + " ASC" or
//     " DESC" (`text` is "order by ", " order by " or empty when the line
//     before already is " order by "); a filter in force stays;
//  rebuiltFromBase: the statement becomes the base and tail lines, then one
//     line `text` + the column's key + " ASC" or " DESC"; a filter in force
//     is dropped.
struct SortForm {
    enum Kind { None, LastLineWithTieBreak, LastLine, RebuiltFromBase };
    Kind kind = None;
    QString text;  // the tie-break list, or what precedes the key

    static SortForm lastLineWithTieBreak(const QString& tieBreak) { return {LastLineWithTieBreak, tieBreak}; }
    static SortForm lastLine(const QString& prefix = QStringLiteral("order by ")) { return {LastLine, prefix}; }
    static SortForm rebuiltFromBase(const QString& orderBy = QStringLiteral(" order by "))
    {
        return {RebuiltFromBase, orderBy};
    }
};

// A list's statement in the parts that filtering and sorting rebuild:
//  1. `base`: the select line(s) with their joins and fixed conditions;
//  2. under a filter, `whereLine` and the condition lines, `andLine` between them;
//  3. `tail`: fixed lines that follow the conditions (a group by), usually none;
//  4. `defaultOrder`: the order clause, one line "order by …" or the two
//     lines " order by " and the fields.
struct ListStatement {
    QStringList base;
    QStringList defaultOrder;
    QStringList tail = {};
    QString whereLine = QStringLiteral(" WHERE ");
    QString andLine = QStringLiteral(" and ");
    // The unfiltered list as a statement of its own, when base and order
    // would make the engine sort every row before handing the first: the
    // same rows in the same order, read as the grid needs them. A sort by a
    // title starts from base, tail and default order instead.
    QStringList whole = {};
    // The select of only the columns a list's sums add up, over the base's
    // joins: with the filter in force and the tail it gives the rows to sum,
    // so that a list read as the grid needs it is not read whole for them.
    QStringList sums = {};

    // Base, tail and default order (or the whole statement): the list unfiltered.
    QStringList defaultLines() const;
    // The filter: one condition per non-empty text, in the screen's order
    // (`texts[i]` goes with `conditions[i]`); every text empty gives the
    // default lines. A filter always restores the default order.
    QStringList filtered(const std::vector<FilterCondition>& conditions, const QStringList& texts) const;
    // Only the filter's lines: `whereLine` and the conditions, none when every text is empty.
    QStringList whereLines(const std::vector<FilterCondition>& conditions, const QStringList& texts) const;
    // The lines after a sort by a column: `current` is the statement in force
    // (a sort that replaces the last line keeps its filter), `key` the
    // column's source or field name, `tieBreak` a column's own tie-break
    // (empty: the form's).
    QStringList sorted(const QStringList& current, const SortForm& form, const QString& key, bool ascending,
                       const QString& tieBreak = {}) const;
};
