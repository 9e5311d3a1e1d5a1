#include "survey_database_reader.h"

#include <gtest/gtest.h>

#include <QJsonDocument>
#include <QProcess>

QJsonObject readSurveyDatabase(const QString& path)
{
    QProcess reader;
    reader.start(QStringLiteral(ARVENTA_PYTHON3), {QStringLiteral(ARVENTA_SURVEY_READER), path});
    if (!reader.waitForStarted()) {
        ADD_FAILURE() << "python3 (" << ARVENTA_PYTHON3 << ") cannot be started";
        return {};
    }
    reader.waitForFinished(60000);
    if (reader.exitCode() != 0) {
        ADD_FAILURE() << "sqlite3 could not read " << path.toStdString() << ":\n"
                      << reader.readAllStandardError().toStdString();
        return {};
    }
    return QJsonDocument::fromJson(reader.readAllStandardOutput()).object();
}

QJsonArray surveyRows(const QJsonObject& database, const QString& table)
{
    return database[QStringLiteral("rows")][table].toArray();
}
