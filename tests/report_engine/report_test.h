#pragma once

#include "dataset/database.h"
#include "dataset/dataset.h"
#include "dataset/transaction_area.h"
#include "support/pdf_text.h"
#include "support/qt_printers.h"
#include "support/scripted_output_chooser.h"
#include "support/scripted_prompter.h"
#include "support/test_db.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <memory>

namespace reporttest {

// A test database, a folder that is the current folder while the test runs
// (layouts are looked up there), and query datasets over the database.
class ReportTest : public ::testing::Test {
protected:
    ReportTest() : previous_(QDir::currentPath()) { QDir::setCurrent(folder_.path()); }
    ~ReportTest() override { QDir::setCurrent(previous_); }

    std::unique_ptr<dataset::Dataset> query(const QString& name, const QString& sql)
    {
        auto d = std::make_unique<dataset::Dataset>(area_, name);
        d->sql().setLines({sql});
        return d;
    }
    // Writes a layout file into the current folder.
    void writeLayout(const QString& name, const QByteArray& text)
    {
        QFile f(QDir::current().filePath(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text);
    }
    QString path(const QString& name) const { return QDir::current().filePath(name); }
    QString readText(const QString& name) const
    {
        QFile f(path(name));
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
    }
    static QString pdfText(const QString& file) { return testsupport::pdfText(file); }

    testsupport::TestDatabase db_;
    dataset::Database database_{db_.path()};
    dataset::TransactionArea area_{database_, QStringLiteral("IBTReport")};
    testsupport::ScriptedPrompter prompter_;
    testsupport::ScriptedOutputChooser chooser_;

private:
    QTemporaryDir folder_;
    QString previous_;
};

}  // namespace reporttest
