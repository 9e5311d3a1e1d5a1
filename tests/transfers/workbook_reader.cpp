#include "workbook_reader.h"

#include <gtest/gtest.h>

#include <QJsonDocument>
#include <QProcess>

QJsonObject readWithOpenpyxl(const QString& path)
{
    QProcess reader;
    reader.start(QStringLiteral(ARVENTA_PYTHON3), {QStringLiteral(ARVENTA_WORKBOOK_READER), path});
    if (!reader.waitForStarted()) {
        ADD_FAILURE() << "python3 (" << ARVENTA_PYTHON3 << ") cannot be started; the workbook tests need python3 "
                      << "and the Debian package python3-openpyxl (scripts/setup.sh installs them)";
        return {};
    }
    reader.waitForFinished(60000);
    const QByteArray out = reader.readAllStandardOutput();
    if (reader.exitCode() != 0) {
        ADD_FAILURE() << "openpyxl could not read " << path.toStdString() << ":\n"
                      << reader.readAllStandardError().toStdString();
        return {};
    }
    return QJsonDocument::fromJson(out).object();
}

QJsonObject sheetFacts(const QJsonObject& book, const QString& sheet)
{
    return book[QStringLiteral("sheet")][sheet].toObject();
}

QJsonObject cellFacts(const QJsonObject& book, const QString& sheet, const QString& cell)
{
    return sheetFacts(book, sheet)[QStringLiteral("cells")][cell].toObject();
}
