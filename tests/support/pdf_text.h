#pragma once

#include <gtest/gtest.h>

#include <QProcess>
#include <QString>
#include <QStringList>

namespace testsupport {

// The text of a PDF file as pdftotext (package poppler-utils) reads it,
// columns kept on their lines.
inline QString pdfText(const QString& file)
{
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), file, QStringLiteral("-")});
    if (!p.waitForFinished(30000) || p.exitCode() != 0)
        ADD_FAILURE() << "pdftotext (package poppler-utils) failed on " << file.toStdString();
    return QString::fromUtf8(p.readAllStandardOutput());
}

// The printed lines of a PDF that hold something, runs of spaces made single.
inline QStringList pdfLines(const QString& file)
{
    QStringList out;
    for (const QString& line : pdfText(file).split(QLatin1Char('\n')))
        if (!line.simplified().isEmpty())
            out << line.simplified();
    return out;
}

}  // namespace testsupport
