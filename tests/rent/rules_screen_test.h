#pragma once

#include "rent/tfrentazeml.h"
#include "rent_test_data.h"
#include "support/scripted_output_chooser.h"
#include "support/screen_test.h"
#include "support/sql.h"
#include "support/typing.h"

#include <QComboBox>
#include <QTableView>

namespace renttest {

// The rules screen on the small enterprise with its three rules.
class RulesScreenTest : public testsupport::ScreenTest<TFRentaZeml> {
protected:
    void SetUp() override
    {
        seed(kEnterprise);
        seed(kRules);
    }

    TFRentaZeml& open()
    {
        return show(new TFRentaZeml(module(), prompter, outputs, [this](Screen&) { ++rentTypesAsked; }));
    }
    void seed(const QStringList& sql) { testsupport::runSql(db.path(), sql); }
    qint64 count(const QString& from) { return testsupport::countRows(db.path(), from); }

    QTableView* rules() const { return control<QTableView>("jvdbgridZemlishta"); }
    QTableView* lines() const { return control<QTableView>("jvdbgridVidrenta"); }
    QWidget* rulePanel() const { return control<QWidget>("panelZemlishta"); }
    QWidget* linePanel() const { return control<QWidget>("panelVidrenta"); }
    QLineEdit* size() const { return edit("dbedVRRazmer"); }
    QLineEdit* price() const { return edit("dbedVREC"); }

    // A grid's rows, each as its cells joined by " | ".
    static QStringList rows(QTableView* grid) { return testsupport::gridRows(grid); }
    static QStringList items(QComboBox* c)
    {
        QStringList out;
        for (int i = 0; i < c->count(); ++i)
            out << c->itemText(i);
        return out;
    }
    void selectRule(int row) { rules()->setCurrentIndex(rules()->model()->index(row, 0)); }
    void selectLine(int row) { lines()->setCurrentIndex(lines()->model()->index(row, 0)); }
    // Types into an edit after emptying it, as the user does.
    void typeOver(QLineEdit* e, const QString& text)
    {
        e->selectAll();
        QTest::keyClick(e, Qt::Key_Backspace);
        testsupport::typeText(e, text);
    }
    // A new line of the rent type with the size and price typed as given.
    void addLine(const QString& type, const QString& typedSize, const QString& typedPrice)
    {
        click("bitVRDob");
        choose("jvdblcbVRNaim", type);
        testsupport::typeText(size(), typedSize);
        testsupport::typeText(price(), typedPrice);
        click("bitVRZapisDob");
    }

    testsupport::ScriptedOutputChooser outputs;
    int rentTypesAsked = 0;
};

}  // namespace renttest
