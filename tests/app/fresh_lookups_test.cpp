// The lists the screens offer (rent types, contract kinds and types) show
// what another desk committed since the program started, the next time a
// screen that offers them opens or comes to the front.
#include "app/screen_registry.h"
#include "app/startup.h"
#include "app/tfmain.h"
#include "support/scripted_prompter.h"
#include "support/sql.h"
#include "support/test_db.h"

#include <gtest/gtest.h>

#include <QAbstractItemModel>
#include <QApplication>
#include <QComboBox>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

namespace {

class FreshLookups : public ::testing::Test {
protected:
    FreshLookups()
    {
        testsupport::runSql(db.path(), {"insert into \"DOG DANNI\" (ID_DOG, NOMER, ID_VIDDOG, ID_DT, SYSTOQNIE) "
                                        "values (100, '9', 1, 1, 'Действащ')"});
        program = startArventa(exeDir.path(), prompter, db.path());
        program.main->show();
    }
    ~FreshLookups() override
    {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->objectName() == QLatin1String("TFDogNew"))
                delete w;
        for (QMdiSubWindow* w : program.main->mdiArea()->subWindowList())
            delete w;
    }

    // What another desk commits.
    void elsewhere(const char* sql) { testsupport::runSql(db.path(), {QString::fromUtf8(sql)}); }
    Screen* open(const char* item, const char* kind)
    {
        program.main->runCommand(QLatin1String(item));
        return program.registry->instance(QLatin1String(kind));
    }
    static QStringList column(QWidget* screen, const char* grid, int c)
    {
        QStringList out;
        const QAbstractItemModel* m = screen->findChild<QTableView*>(QLatin1String(grid))->model();
        for (int r = 0; r < m->rowCount(); ++r)
            out << m->index(r, c).data().toString();
        return out;
    }
    static QStringList items(QWidget* w, const char* combo)
    {
        QStringList out;
        auto* c = w->findChild<QComboBox*>(QLatin1String(combo));
        for (int i = 0; c && i < c->count(); ++i)
            out << c->itemText(i);
        return out;
    }
    // The contract editor opened by the contracts register's "Корекция".
    QWidget* contractEditor(Screen* contracts)
    {
        QTest::mouseClick(contracts->findChild<QPushButton*>(QStringLiteral("bitDogKor")), Qt::LeftButton);
        for (QWidget* w : QApplication::allWidgets())
            if (w->objectName() == QLatin1String("TFDogNew") && w->isVisible())
                return w;
        return nullptr;
    }
    static void closeWidget(QWidget* w)
    {
        auto* frame = qobject_cast<QMdiSubWindow*>(w->parentWidget());
        (frame ? static_cast<QWidget*>(frame) : w)->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    testsupport::TestDatabase db;
    QTemporaryDir exeDir;
    testsupport::ScriptedPrompter prompter;
    Arventa program;
};

TEST_F(FreshLookups, RentTypesAddedElsewhereAreListedWhenTheScreenOpensOrComesForward)
{
    elsewhere("insert into VID_RENTA (ID_VR, NAIM_VR) values (50, 'Слама')");
    Screen* types = open("mVidoveRenta", "TFVidRenta");
    ASSERT_TRUE(types);
    EXPECT_TRUE(column(types, "jvdbgridVidRenta", 0).join(u'|').contains(QStringLiteral("Слама")))
        << column(types, "jvdbgridVidRenta", 0).join(u'|').toStdString();

    // Another screen in front, then this one again.
    ASSERT_TRUE(open("mHora", "TFHora"));
    elsewhere("insert into VID_RENTA (ID_VR, NAIM_VR) values (51, 'Сено')");
    program.main->mdiArea()->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(types->parentWidget()));
    EXPECT_TRUE(column(types, "jvdbgridVidRenta", 0).join(u'|').contains(QStringLiteral("Сено")));
    EXPECT_TRUE(prompter.shown().isEmpty()) << prompter.shown().join(u'|').toStdString();
}

TEST_F(FreshLookups, ContractKindsAndTypesAddedElsewhereAreOfferedByTheNextContractEditor)
{
    Screen* contracts = open("Dogovori", "TFDogovor");
    ASSERT_TRUE(contracts);
    QWidget* editor = contractEditor(contracts);
    ASSERT_TRUE(editor);
    EXPECT_FALSE(items(editor, "jvdblcDogTip").contains(QStringLiteral("Съвместна обработка")));
    prompter.answerNo();  // nothing to keep
    closeWidget(editor);

    elsewhere("insert into DOGTIP (ID_DT, TIP) values (50, 'Съвместна обработка')");
    elsewhere("insert into VID_DOG (ID_VIDDOG, NAIM_VD) values (50, 'Ползване')");
    editor = contractEditor(contracts);
    ASSERT_TRUE(editor);
    EXPECT_TRUE(items(editor, "jvdblcDogTip").contains(QStringLiteral("Съвместна обработка")))
        << items(editor, "jvdblcDogTip").join(u'|').toStdString();
    EXPECT_TRUE(items(editor, "jvdblcVidDog").contains(QStringLiteral("Ползване")))
        << items(editor, "jvdblcVidDog").join(u'|').toStdString();
    prompter.answerNo();
    closeWidget(editor);
    EXPECT_EQ(prompter.shown(), QStringList(2, QStringLiteral("Желаете ли да запишете!")));
}

}  // namespace
