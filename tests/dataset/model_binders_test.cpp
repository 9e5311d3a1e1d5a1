#include "dataset/binders.h"
#include "dataset/database.h"
#include "dataset/dataset.h"
#include "dataset/dataset_model.h"
#include "dataset/transaction_area.h"
#include "dataset/usage_error.h"
#include "dm/tables.h"
#include "fb/statement.h"
#include "fb/transaction.h"
#include "support/test_db.h"

#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QTableView>
#include <QTest>

using namespace dataset;

namespace {

class ModelBindersTest : public ::testing::Test {
protected:
    ModelBindersTest()
    {
        database.connect();
        fb::Transaction tr(database.connection());
        fb::execute(database.connection(), tr,
                    QStringLiteral("insert into ZEMQ (ID_ZEMQ, ID_MEST, IMOT_NO, PLOSHT, NZDATA, OBRT) "
                                   "values (1, 1, '101', 12.3456, '2010-03-07', 'да')"));
        fb::execute(database.connection(), tr,
                    QStringLiteral("insert into ZEMQ (ID_ZEMQ, ID_MEST, IMOT_NO, PLOSHT) values (2, 1, '102', 0.5)"));
        tr.commit();
        dm::useTable(zemq, QStringLiteral("ZEMQ"));
        zemq.field("PLOSHT").setDisplayFormat(QStringLiteral("#0.000"));
        zemq.field("NZDATA").setEditMask(QStringLiteral("!99/99/0000;1;_"));
        zemq.field("IMOT_NO2").setEditMask(QStringLiteral("#####.###.###;1;_"));
        zemq.open();
    }

    testsupport::TestDatabase db;
    Database database{db.path()};
    TransactionArea area{database, QStringLiteral("IBTImot")};
    Dataset zemq{area, QStringLiteral("TZemq")};
};

TEST_F(ModelBindersTest, TheModelFollowsTheDatasetAndShowsFormatsAndTheSortMarker)
{
    DatasetModel model(zemq, {{QStringLiteral("IMOT_NO"), QStringLiteral("Имот")},
                              {QStringLiteral("PLOSHT"), QStringLiteral("Площ"), {}, Qt::AlignRight},
                              {QStringLiteral("PLOSHT"), QStringLiteral("Площ 2"), QStringLiteral("#0.00")},
                              {QStringLiteral("NZDATA"), QStringLiteral("Дата")}});
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    ASSERT_EQ(model.rowCount(), 2);
    EXPECT_EQ(model.headerData(1, Qt::Horizontal).toString(), QStringLiteral("Площ"));
    EXPECT_EQ(model.index(0, 1).data().toString(), QStringLiteral("12,346"));
    EXPECT_EQ(model.index(0, 2).data().toString(), QStringLiteral("12,35"));
    EXPECT_EQ(model.index(0, 3).data().toString(), QStringLiteral("07.03.2010"));
    EXPECT_EQ(model.index(1, 3).data().toString(), QString());
    EXPECT_EQ(model.index(0, 1).data(Qt::TextAlignmentRole).value<Qt::Alignment>(), Qt::AlignRight);

    zemq.append();
    zemq.field("IMOT_NO").setValue(QStringLiteral("103"));
    zemq.post();
    EXPECT_EQ(model.rowCount(), 3);
    EXPECT_EQ(model.index(2, 0).data().toString(), QStringLiteral("103"));
    zemq.first();
    zemq.edit();
    zemq.field("PLOSHT").setValue(2.0);
    zemq.post();
    EXPECT_EQ(model.index(0, 1).data().toString(), QStringLiteral("2,000"));
    zemq.remove();
    EXPECT_EQ(model.rowCount(), 2);
    zemq.close();
    EXPECT_EQ(model.rowCount(), 0);
    zemq.open();
    EXPECT_EQ(model.rowCount(), 2);

    model.setSortMarker(1, Qt::DescendingOrder);
    EXPECT_EQ(model.headerData(1, Qt::Horizontal, DatasetModel::SortMarkerRole).toInt(), int(Qt::DescendingOrder));
    EXPECT_FALSE(model.headerData(0, Qt::Horizontal, DatasetModel::SortMarkerRole).isValid());
    model.clearSortMarker();
    EXPECT_FALSE(model.headerData(1, Qt::Horizontal, DatasetModel::SortMarkerRole).isValid());
}

TEST_F(ModelBindersTest, TheGridAndTheDatasetShareTheCurrentRow)
{
    DatasetModel model(zemq, {{QStringLiteral("IMOT_NO"), QStringLiteral("Имот")}});
    QTableView view;
    new GridBinder(&view, model);
    view.setCurrentIndex(model.index(1, 0));
    EXPECT_EQ(zemq.currentRow(), 1);
    zemq.first();
    EXPECT_EQ(view.currentIndex().row(), 0);

    // A click on another row while the dataset edits goes back to the edited row.
    view.resize(400, 300);
    view.show();
    zemq.edit();
    zemq.field("IMOT_NO").setValue(QStringLiteral("999"));
    QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, view.visualRect(model.index(1, 0)).center());
    QCoreApplication::processEvents();
    EXPECT_EQ(zemq.state(), State::Edit);
    EXPECT_EQ(zemq.currentRow(), 0);
    EXPECT_EQ(zemq.field("IMOT_NO").asString(), QStringLiteral("999"));
    EXPECT_EQ(view.currentIndex().row(), 0);
    EXPECT_TRUE(view.selectionModel()->isRowSelected(0, {}));
    EXPECT_FALSE(view.selectionModel()->isRowSelected(1, {}));
    zemq.cancel();
    QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, view.visualRect(model.index(1, 0)).center());
    EXPECT_EQ(zemq.currentRow(), 1);
}

TEST_F(ModelBindersTest, EditBindersShowAndWriteTheirFields)
{
    QLineEdit number, date, plotId;
    QCheckBox obrt;
    new LineEditBinder(&number, zemq, QStringLiteral("IMOT_NO"), true);
    new MaskEditBinder(&date, zemq, QStringLiteral("NZDATA"));
    new MaskEditBinder(&plotId, zemq, QStringLiteral("IMOT_NO2"));
    new CheckBoxBinder(&obrt, zemq, QStringLiteral("OBRT"), QStringLiteral("да"), QStringLiteral("не"));
    QButtonGroup group;
    QRadioButton own, leased;
    group.addButton(&own, 0);
    group.addButton(&leased, 1);
    new RadioGroupBinder(&group, zemq, QStringLiteral("KOMASIRAN"), {0, 1});

    EXPECT_EQ(number.maxLength(), 15);
    EXPECT_EQ(number.text(), QStringLiteral("101"));
    EXPECT_EQ(date.text(), QStringLiteral("07.03.2010"));
    EXPECT_TRUE(obrt.isChecked());
    EXPECT_FALSE(own.isChecked() || leased.isChecked());
    zemq.next();
    EXPECT_EQ(number.text(), QStringLiteral("102"));
    EXPECT_FALSE(obrt.isChecked());

    zemq.edit();
    number.selectAll();
    QTest::keyClicks(&number, QStringLiteral("7a8"));  // the letter is refused
    EXPECT_EQ(zemq.field("IMOT_NO").asString(), QStringLiteral("78"));
    date.setFocus();
    date.home(false);
    QTest::keyClicks(&date, QStringLiteral("01022011"));
    EXPECT_EQ(zemq.field("NZDATA").asDate(), QDate(2011, 2, 1));
    plotId.home(false);
    QTest::keyClicks(&plotId, QStringLiteral("12345678901"));
    EXPECT_EQ(zemq.field("IMOT_NO2").asString(), QStringLiteral("12345.678.901"));
    obrt.click();
    EXPECT_EQ(zemq.field("OBRT").asString(), QStringLiteral("да"));
    leased.click();
    EXPECT_EQ(zemq.field("KOMASIRAN").asInt(), 1);
    zemq.post();
    area.commit();
    zemq.open();
    zemq.last();
    EXPECT_EQ(number.text(), QStringLiteral("78"));
    EXPECT_EQ(plotId.text(), QStringLiteral("12345.678.901"));
    EXPECT_TRUE(leased.isChecked());
}

TEST(LookupComboBinder, ChoosesThroughTheListAndEmptiesOnBackspace)
{
    testsupport::TestDatabase db;
    Database database(db.path());
    TransactionArea obl(database, QStringLiteral("IBTObl"));
    TransactionArea hora(database, QStringLiteral("IBTHora"));
    Dataset oblast(obl, QStringLiteral("TOblast"));
    dm::useTable(oblast, QStringLiteral("OBLAST"));
    Dataset obshtina(obl, QStringLiteral("TObshtina"));
    dm::useTable(obshtina, QStringLiteral("OBSHTINA"));
    obshtina.setMaster(oblast, QStringLiteral("ID_OBL"), QStringLiteral("ID_OBL"));
    Dataset owners(hora, QStringLiteral("THora"));
    dm::useTable(owners, QStringLiteral("HORA"));
    oblast.open();
    obshtina.open();
    owners.open();

    QComboBox provinces, municipalities;
    new LookupComboBinder(&provinces, oblast, QStringLiteral("ID_OBL"), QStringLiteral("NAIM_OBL"), &owners,
                          QStringLiteral("ID_OBL"));
    new LookupComboBinder(&municipalities, obshtina, QStringLiteral("ID_OBSHT"), QStringLiteral("NAIM_OBSHT"), &owners,
                          QStringLiteral("ID_OBSHT"));
    EXPECT_EQ(provinces.count(), 28);
    EXPECT_EQ(provinces.currentIndex(), -1);  // no owner, nothing chosen

    owners.append();
    const int sofia = provinces.findText(QStringLiteral("София (столица)"));
    ASSERT_GE(sofia, 0);
    provinces.setCurrentIndex(sofia);
    emit provinces.activated(sofia);
    EXPECT_EQ(owners.field("ID_OBL").asString(), oblast.field("ID_OBL").asString());
    EXPECT_EQ(oblast.currentRow(), sofia);  // the list moved, so its details followed
    EXPECT_EQ(municipalities.count(), obshtina.rowCount());
    EXPECT_EQ(municipalities.itemText(0), obshtina.field("NAIM_OBSHT").asString());
    emit municipalities.activated(0);
    EXPECT_EQ(owners.field("ID_OBSHT").asString(), obshtina.field("ID_OBSHT").asString());

    QTest::keyClick(&provinces, Qt::Key_Backspace);
    EXPECT_EQ(provinces.currentIndex(), -1);
    EXPECT_TRUE(owners.field("ID_OBL").isNull());
    owners.cancel();

    // A list with a row in edit is not moved by a choice: the owner takes
    // the key chosen, the list keeps its row.
    oblast.first();
    oblast.edit();
    owners.append();
    emit provinces.activated(sofia);
    EXPECT_EQ(oblast.currentRow(), 0);
    EXPECT_EQ(oblast.state(), State::Edit);
    EXPECT_EQ(owners.field("ID_OBL").value(), oblast.value(sofia, oblast.field("ID_OBL").index()));
    owners.cancel();
    oblast.cancel();

    // A closed owner takes nothing and the choice does no harm.
    owners.close();
    emit provinces.activated(1);
    EXPECT_EQ(oblast.currentRow(), 1);
}

}  // namespace
