#pragma once

#include <gtest/gtest.h>

#include <QProcess>
#include <QString>

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

}  // namespace testsupport
