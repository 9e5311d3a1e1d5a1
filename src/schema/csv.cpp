#include "schema/csv.h"

namespace schema {

std::vector<QStringList> parseCsv(const QString& text)
{
    std::vector<QStringList> records;
    QStringList record;
    QString field;
    bool quoted = false;
    bool fieldStarted = false;

    const auto endField = [&] {
        record.append(field);
        field.clear();
        fieldStarted = false;
    };
    const auto endRecord = [&] {
        if (fieldStarted || !record.isEmpty())
            endField();
        if (!(record.size() == 1 && record.front().isEmpty()) && !record.isEmpty())
            records.push_back(record);
        record.clear();
    };

    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (quoted) {
            if (c == QLatin1Char('"')) {
                if (i + 1 < text.size() && text[i + 1] == QLatin1Char('"')) {
                    field.append(c);
                    ++i;
                } else {
                    quoted = false;
                }
            } else {
                field.append(c);
            }
        } else if (c == QLatin1Char('"')) {
            quoted = true;
            fieldStarted = true;
        } else if (c == QLatin1Char(',')) {
            endField();
            fieldStarted = true;  // a trailing comma still makes an empty last field
        } else if (c == QLatin1Char('\n')) {
            endRecord();
        } else if (c != QLatin1Char('\r')) {
            field.append(c);
            fieldStarted = true;
        }
    }
    endRecord();
    return records;
}

}  // namespace schema
