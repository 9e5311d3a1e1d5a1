// The owners register under test: its owners, a stub opener of the picker,
// and the fixture that opens the register over them.
#pragma once

#include "registers/tfhora.h"

#include "app/startup.h"
#include "dm/tdm.h"
#include "common/sort_switch.h"
#include "dataset/dataset_model.h"
#include "fb/statement.h"
#include "fb/transaction.h"
#include "support/qt_printers.h"
#include "support/screen_test.h"
#include "support/sql.h"
#include "support/test_db.h"
#include "support/typing.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

namespace tfhoratest {

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

class TFHoraTest : public testsupport::ScreenTest<TFHora> {
protected:
    TFHoraTest() { testsupport::runSql(db.path(), kOwners); }
    // The screen goes before the sort switch it was given.
    ~TFHoraTest() override { delete screen.data(); }

    TFHora& open() { return show(new TFHora(module(), prompter, direction)); }
    QTableView* grid() const { return control<QTableView>("jvdbgridHora"); }
    QWidget* panel() const { return control<QWidget>("panelHora"); }
    QCheckBox* foreignBox() const { return control<QCheckBox>("chbCHFL"); }

    // Types over the whole text, as the user does after selecting it.
    void type(const char* name, const QString& text)
    {
        QLineEdit* e = edit(name);
        e->setFocus(Qt::TabFocusReason);
        e->selectAll();
        QTest::keyClick(e, Qt::Key_Backspace);
        typeText(e, text);
    }
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

    SortSwitch direction;
};

}  // namespace tfhoratest
