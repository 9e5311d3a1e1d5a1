#pragma once

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>
#include <QString>

#include <ostream>

// What openpyxl, an independent reader, sees in a workbook file: the JSON
// of read_workbook.py. A test that calls it fails (with the reader's own
// message, such as a missing python3-openpyxl) when the file cannot be read.
QJsonObject readWithOpenpyxl(const QString& path);

// The facts of one sheet: "protected", "merges", "widths", "selection", "cells".
QJsonObject sheetFacts(const QJsonObject& book, const QString& sheet);
// The facts of one cell ("B12") of one sheet, empty when the reader has none.
QJsonObject cellFacts(const QJsonObject& book, const QString& sheet, const QString& cell);

// Failures show the JSON value itself.
inline void PrintTo(const QJsonValue& value, std::ostream* out)
{
    *out << QJsonDocument(QJsonArray{value}).toJson(QJsonDocument::Compact).toStdString();
}
