#pragma once

#include <QJsonArray>
#include <QJsonObject>
#include <QString>

// A survey database as Python's own sqlite3 reads it (read_survey_database.py):
// {"schema": {table: create statement}, "rows": {table: [[values]]}}.
QJsonObject readSurveyDatabase(const QString& path);

// The rows of one table, each a list of its column values.
QJsonArray surveyRows(const QJsonObject& database, const QString& table);
