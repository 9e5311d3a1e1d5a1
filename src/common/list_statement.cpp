#include "common/list_statement.h"

QString sqlLiteral(const QString& text)
{
    QString doubled = text;
    doubled.replace(QLatin1Char('\''), QLatin1String("''"));
    return QLatin1Char('\'') + doubled + QLatin1Char('\'');
}

QStringList ListStatement::defaultLines() const
{
    return whole.isEmpty() ? base + tail + defaultOrder : whole;
}

QStringList ListStatement::filtered(const std::vector<FilterCondition>& conditions, const QStringList& texts) const
{
    const QStringList where = whereLines(conditions, texts);
    if (where.isEmpty())
        return defaultLines();
    return base + where + tail + defaultOrder;
}

QStringList ListStatement::whereLines(const std::vector<FilterCondition>& conditions, const QStringList& texts) const
{
    QStringList where;
    for (size_t i = 0; i < conditions.size() && qsizetype(i) < texts.size(); ++i) {
        const QString& text = texts[qsizetype(i)];
        if (text.isEmpty())
            continue;
        if (!where.isEmpty())
            where << andLine;
        where << conditions[i].fragment + sqlLiteral(text) + conditions[i].closing;
    }
    if (!where.isEmpty())
        where.prepend(whereLine);
    return where;
}

QStringList ListStatement::sorted(const QStringList& current, const SortForm& form, const QString& key, bool ascending,
                                  const QString& tieBreak) const
{
    // The whole list's own statement has no order line to replace.
    QStringList lines =
        current.isEmpty() || (!whole.isEmpty() && current == whole) ? base + tail + defaultOrder : current;
    switch (form.kind) {
        case SortForm::None:
            return lines;
        case SortForm::LastLineWithTieBreak:
            lines.last() = key + (ascending ? QStringLiteral(" ASC,") : QStringLiteral(" DESC,")) +
                           (tieBreak.isEmpty() ? form.text : tieBreak);
            return lines;
        case SortForm::LastLine:
            lines.last() = form.text + key + (ascending ? QStringLiteral(" ASC") : QStringLiteral(" DESC"));
            return lines;
        case SortForm::RebuiltFromBase:
            return base + tail +
                   QStringList{form.text + key + (ascending ? QStringLiteral(" ASC") : QStringLiteral(" DESC"))};
    }
    return lines;
}
