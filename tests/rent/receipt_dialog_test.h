#pragma once

#include "dm/tdm.h"
#include "rent_test_data.h"
#include "support/screen_test.h"
#include "support/scripted_prompter.h"
#include "support/sql.h"
#include "support/test_db.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <memory>

namespace renttest {

// A receipt dialog driven through its widgets on a fresh database with the
// small enterprise of rent_test_data.h; the dialog itself runs modally, so
// each test says what the user does in it before running it.
class ReceiptDialogTest : public ::testing::Test {
protected:
    ReceiptDialogTest() { seed(kEnterprise); }

    TDM& module()
    {
        if (!dm)
            dm = std::make_unique<TDM>(db.path());
        return *dm;
    }
    void seed(const QStringList& sql) { testsupport::runSql(db.path(), sql); }
    // Rows as committed, seen from a connection of the test's own.
    qint64 count(const QString& from) const { return testsupport::countRows(db.path(), from); }

    template <typename T = QWidget>
    static T* child(QWidget& dialog, const char* name)
    {
        T* w = dialog.findChild<T*>(QLatin1String(name));
        EXPECT_TRUE(w) << name;
        return w;
    }
    static QLineEdit* edit(QWidget& dialog, const char* name) { return child<QLineEdit>(dialog, name); }
    static void click(QWidget& dialog, const char* name)
    {
        QTest::mouseClick(child<QPushButton>(dialog, name), Qt::LeftButton);
    }
    // Empties a box and types into it key by key.
    static void retype(QWidget& dialog, const char* name, const QString& text)
    {
        QLineEdit* e = edit(dialog, name);
        e->clear();
        QTest::keyClicks(e, text);
    }

    testsupport::TestDatabase db;
    testsupport::ScriptedPrompter prompter;
    std::unique_ptr<TDM> dm;
};

}  // namespace renttest
