#include "registers/tfhora.h"

#include "app/startup.h"
#include "app/tdm.h"
#include "common/sort_switch.h"
#include "dataset/dataset_model.h"
#include "fb/statement.h"
#include "fb/transaction.h"
#include "support/qt_printers.h"
#include "support/scripted_prompter.h"
#include "support/sql.h"
#include "support/test_db.h"
#include "support/typing.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

namespace {

using testsupport::typeText;

const QString kNoData = QStringLiteral("Няма данни!");
const QString kNoName = QStringLiteral("Няма дани!");
const QString kAskSave = QStringLiteral("Желаете ли да запишете!");
const QString kConfirmDelete = QStringLiteral("Моля, потвърдете изтриването!");

// Owners in Благоевград (province BLG, municipality BLG03, town 04279), one
// with no settlement (never listed) and one with no country (listed).
const QStringList kOwners = {
    QStringLiteral("insert into HORA (ID_HORA, EGN, IME, ADRES, EKATTE, ID_OBSHT, ID_OBL, KOD_COUNTRY, CHFL) "
                   "values (1, '7001010011', 'Петър Иванов', 'ул. Първа 1', '04279', 'BLG03', 'BLG', 'BG', 'не')"),
    QStringLiteral("insert into HORA (ID_HORA, EGN, IME, EKATTE, ID_OBSHT, ID_OBL, KOD_COUNTRY, CHFL) "
                   "values (2, '7102020023', 'Анна Петрова', '04279', 'BLG03', 'BLG', 'BG', 'не')"),
    QStringLiteral("insert into HORA (ID_HORA, EGN, IME, EKATTE, ID_OBSHT, ID_OBL, KOD_COUNTRY, CHFL) "
                   "values (3, '0500000090007', 'ПЕТРОВ ООД', '04279', 'BLG03', 'BLG', 'BG', 'не')"),
    QStringLiteral("insert into HORA (ID_HORA, EGN, IME, EKATTE, ID_OBSHT, ID_OBL, KOD_COUNTRY, CHFL) "
                   "values (4, '1000000001', 'Ханс Мюлер', '04279', 'BLG03', 'BLG', 'DE', 'да')"),
    QStringLiteral("insert into HORA (ID_HORA, EGN, IME, EKATTE, ID_OBSHT, ID_OBL) "
                   "values (5, '8004040048', 'Без Държава', '00134', 'BLG03', 'BLG')"),
    QStringLiteral("insert into HORA (ID_HORA, EGN, IME) values (6, '6503030034', 'Без Място')"),
};
// The listed identifiers in the default order.
const QStringList kListed = {QStringLiteral("0500000090007"), QStringLiteral("1000000001"),
                             QStringLiteral("7001010011"), QStringLiteral("7102020023"), QStringLiteral("8004040048")};

// An opener of the owner picker that notes what it is told.
class StubOpener : public QObject, public OwnerPickerClient {
public:
    void ownerPicked(OwnerPick pick, int idHora) override { picked.emplace_back(pick, idHora); }
    void pendingRowCancelled(OwnerPick pick) override { cancelled.push_back(pick); }

    std::vector<std::pair<OwnerPick, int>> picked;
    std::vector<OwnerPick> cancelled;
};

class TFHoraTest : public ::testing::Test {
protected:
    TFHoraTest() { testsupport::runSql(db.path(), kOwners); }
    ~TFHoraTest() override { delete screen.data(); }

    TDM& module()
    {
        if (!dm)
            dm = std::make_unique<TDM>(db.path());
        return *dm;
    }
    TFHora& open()
    {
        screen = new TFHora(module(), prompter, direction);
        screen->show();
        screen->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(screen));
        return *screen;
    }
    bool closed()
    {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return screen.isNull();
    }

    template <typename T>
    T* control(const char* name) const
    {
        T* w = screen->findChild<T*>(QLatin1String(name));
        EXPECT_TRUE(w) << name;
        return w;
    }
    QLineEdit* edit(const char* name) const { return control<QLineEdit>(name); }
    QComboBox* combo(const char* name) const { return control<QComboBox>(name); }
    QTableView* grid() const { return control<QTableView>("jvdbgridHora"); }
    QWidget* panel() const { return control<QWidget>("panelHora"); }
    QCheckBox* foreignBox() const { return control<QCheckBox>("chbCHFL"); }

    void click(const char* name) { QTest::mouseClick(control<QPushButton>(name), Qt::LeftButton); }
    // Types over the whole text, as the user does after selecting it.
    void type(const char* name, const QString& text)
    {
        QLineEdit* e = edit(name);
        e->setFocus(Qt::TabFocusReason);
        e->selectAll();
        QTest::keyClick(e, Qt::Key_Backspace);
        typeText(e, text);
    }
    void choose(const char* name, const QString& item)
    {
        QComboBox* c = combo(name);
        const int index = c->findText(item);
        ASSERT_GE(index, 0) << item.toStdString();
        c->setCurrentIndex(index);
        emit c->activated(index);
    }
    void focusOn(const char* name) { control<QWidget>(name)->setFocus(Qt::TabFocusReason); }
    void choosePlace()
    {
        choose("jvdblcOblast", QStringLiteral("Благоевград"));
        choose("jvdblcObshtina", QStringLiteral("Благоевград"));
        choose("jvdblcGrad", QStringLiteral("Изгрев"));
    }

    QStringList column(int c) const
    {
        QStringList out;
        for (int r = 0; r < grid()->model()->rowCount(); ++r)
            out << grid()->model()->index(r, c).data().toString();
        return out;
    }
    QString selected(int c = 0) const { return grid()->currentIndex().siblingAtColumn(c).data().toString(); }
    void select(const QString& egn)
    {
        const int row = int(column(0).indexOf(egn));
        ASSERT_GE(row, 0) << egn.toStdString();
        grid()->setCurrentIndex(grid()->model()->index(row, 0));
    }
    void doubleClickTitle(int c) { emit grid()->horizontalHeader()->sectionDoubleClicked(c); }

    void seed(const QStringList& statements) { testsupport::runSql(db.path(), statements); }
    qint64 count(const QString& from) const { return testsupport::countRows(db.path(), from); }
    // The stored columns of the owner with this identifier, as texts.
    QStringList stored(const QString& egn, const QString& columns) const
    {
        fb::Connection c;
        c.attach(db.path());
        fb::Transaction tr(c);
        fb::Statement st(c, QStringLiteral("select %1 from HORA where EGN = ?").arg(columns));
        st.bind(0, egn);
        QStringList out;
        for (const auto& row : fb::fetchAll(st, tr))
            for (const fb::Value& v : row)
                out << (v.isNull() ? QStringLiteral("NULL") : v.toString());
        return out;
    }

    testsupport::TestDatabase db;
    testsupport::ScriptedPrompter prompter;
    std::unique_ptr<TDM> dm;
    SortSwitch direction;
    QPointer<TFHora> screen;
};

TEST_F(TFHoraTest, OpensOnTheListedOwnersInTheDefaultOrder)
{
    TFHora& s = open();
    EXPECT_EQ(s.windowTitle(), QStringLiteral("Собственици"));
    EXPECT_TRUE(panel()->isHidden());
    QStringList titles;
    for (int c = 0; c < grid()->model()->columnCount(); ++c)
        titles << grid()->model()->headerData(c, Qt::Horizontal).toString();
    EXPECT_EQ(titles, (QStringList{"ЕГН/ЕИН", "Име/Наименование", "Държава", "Област", "Община", "Гр./с.", "Адрес",
                                   "Телефон", "Представляван/-а от", "Банка", "IBAN", "BIC", "Чуждестранно лице"}));
    EXPECT_EQ(column(0), kListed);  // no settlement: not listed
    EXPECT_EQ(column(2), (QStringList{"България", "Германия", "България", "България", ""}));
    select(QStringLiteral("7001010011"));
    QStringList row;
    for (int c = 0; c < 7; ++c)
        row << selected(c);
    EXPECT_EQ(row, (QStringList{"7001010011", "Петър Иванов", "България", "Благоевград", "Благоевград", "Благоевград",
                                "ул. Първа 1"}));
    EXPECT_TRUE(prompter.shown().isEmpty());
}

TEST_F(TFHoraTest, TheNameColumnSortsAscendingThenDescendingWithItsOwnTieBreak)
{
    open();
    doubleClickTitle(1);
    EXPECT_EQ(column(1), (QStringList{"Анна Петрова", "Без Държава", "ПЕТРОВ ООД", "Петър Иванов", "Ханс Мюлер"}));
    const auto marker = [&] {
        return grid()->model()->headerData(1, Qt::Horizontal, dataset::DatasetModel::SortMarkerRole);
    };
    EXPECT_EQ(marker().toInt(), int(Qt::AscendingOrder));
    doubleClickTitle(1);
    EXPECT_EQ(column(1), (QStringList{"Ханс Мюлер", "Петър Иванов", "ПЕТРОВ ООД", "Без Държава", "Анна Петрова"}));
    EXPECT_EQ(marker().toInt(), int(Qt::DescendingOrder));

    // Another column takes the next direction; ties fall back on the identifier.
    doubleClickTitle(2);
    EXPECT_EQ(column(0), (QStringList{"8004040048", "0500000090007", "7001010011", "7102020023", "1000000001"}));
    EXPECT_TRUE(prompter.shown().isEmpty());
}

TEST_F(TFHoraTest, FilterByNameAndSearchByTheFirstTenDigits)
{
    open();
    edit("edFilterIme")->setText(QStringLiteral("петров"));  // anywhere in the name, any case
    click("butFilterShow");
    EXPECT_EQ(column(1), (QStringList{"ПЕТРОВ ООД", "Анна Петрова"}));
    doubleClickTitle(1);  // a sort keeps the filter
    EXPECT_EQ(column(1), (QStringList{"Анна Петрова", "ПЕТРОВ ООД"}));
    edit("edFilterIme")->setText(QStringLiteral("никой"));
    click("butFilterShow");
    click("bitHoraKor");
    click("bitHoraDel");
    EXPECT_EQ(prompter.shown(), (QStringList{kNoData, kNoData}));
    click("butFilterClear");
    EXPECT_EQ(edit("edFilterIme")->text(), QString());
    EXPECT_EQ(column(0), kListed);

    // The box takes ten digits and nothing else; a 13-digit code is found
    // by its first ten, below the selected owner.
    doubleClickTitle(1);  // by name, descending now
    EXPECT_EQ(selected(1), QStringLiteral("Ханс Мюлер"));
    QLineEdit* box = edit("edSearchEGN");
    QTest::keyClicks(box, QStringLiteral("05x0000009-0007"));
    EXPECT_EQ(box->text(), QStringLiteral("0500000090"));
    click("butSearch");
    EXPECT_EQ(selected(), QStringLiteral("0500000090007"));
    click("butSearch");  // no other below it
    EXPECT_EQ(selected(), QStringLiteral("0500000090007"));
    box->setText(QStringLiteral("7"));
    click("butSearch");
    EXPECT_EQ(selected(), QStringLiteral("7102020023"));
    EXPECT_EQ(prompter.shown().size(), 2);
}

}  // namespace
