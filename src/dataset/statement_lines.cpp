#include "dataset/statement_lines.h"

namespace dataset {

void StatementLines::setLastLine(const QString& line)
{
    if (lines_.isEmpty())
        lines_ << line;
    else
        lines_.last() = line;
}

StatementLines::Parsed StatementLines::parse(const QString& text)
{
    Parsed out;
    // An execute block's ":names" are its own variables, not parameters.
    if (text.trimmed().startsWith(QLatin1String("execute block"), Qt::CaseInsensitive)) {
        out.sql = text;
        return out;
    }
    out.sql.reserve(text.size());
    QChar quote;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (!quote.isNull()) {
            out.sql += c;
            if (c == quote)
                quote = QChar();
            continue;
        }
        if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            quote = c;
            out.sql += c;
            continue;
        }
        const bool startsName =
            c == QLatin1Char(':') && i + 1 < text.size() && (text[i + 1].isLetter() || text[i + 1] == QLatin1Char('_'));
        if (!startsName) {
            out.sql += c;
            continue;
        }
        qsizetype end = i + 1;
        while (end < text.size() && (text[end].isLetterOrNumber() || text[end] == QLatin1Char('_')))
            ++end;
        out.params << text.mid(i + 1, end - i - 1).toUpper();
        out.sql += QLatin1Char('?');
        i = end - 1;
    }
    return out;
}

}  // namespace dataset
