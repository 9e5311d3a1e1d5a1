// Every field a clerk can type into, on every screen of the program and the
// dialogs and editors they open, given what a careless clerk types; then
// whatever was saved is read back: nothing out of its domain, no impossible
// date, and no message of the engine's instead of the program's own.
#include "app/screen_registry.h"
#include "common/date_field.h"
#include "common/number_field.h"
#include "common/prompter.h"
#include "common/screen.h"
#include "dm/domains.h"
#include "dm/tdm.h"
#include "fb/statement.h"
#include "fb/transaction.h"
#include "rent/rent_test_data.h"
#include "support/scripted_output_chooser.h"
#include "support/sql.h"
#include "support/test_db.h"
#include "support/typing.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QRegularExpression>
#include <QSet>
#include <QTimer>

#include <functional>

namespace {

// What a careless clerk types: a sign, too many digits, too many decimals, a
// point for a comma, letters, impossible dates, dates without points, an
// emoji and blanks.
const QStringList kHostile = {QStringLiteral("-5"),         QStringLiteral("99999999999999999999"),
                              QStringLiteral("1,23456"),    QStringLiteral("12.5"),
                              QStringLiteral("abc"),        QStringLiteral("31.02.2025"),
                              QStringLiteral("00.00.0000"), QStringLiteral("06102024"),
                              QStringLiteral("Иван 😀"),     QStringLiteral("   ")};

// The commands that open a panel, a dialog or another screen with fields.
const QStringList kOpeners = {QStringLiteral("Добавяне"), QStringLiteral("Корекция"), QStringLiteral("Собственост"),
                              QStringLiteral("Покажи рента"), QStringLiteral(">>>")};

// The engine's and the file system's English, which must never be all a user reads.
const QRegularExpression kEngineText(
    QStringLiteral("exception|violation|overflow|transliterate|Dynamic SQL|arithmetic|conversion error|truncation|"
                   "deadlock|update conflicts|Operation not permitted|not a database|readonly"),
    QRegularExpression::CaseInsensitiveOption);

// Answers every question with "Не" (nothing is deleted, overwritten or
// closed without its work thrown away being the test's choice), cancels
// every input and file dialog, and keeps every text.
class CarelessPrompter : public Prompter {
public:
    void message(const QString& text) override { shown << text; }
    bool confirm(const QString& text, Default preset) override
    {
        shown << text;
        if (text == QStringLiteral("Моля, потвърдете изтриването!"))
            deleteDefaults << preset;
        return false;
    }
    std::optional<QString> input(const QString&, const QString&, const QString&) override { return std::nullopt; }
    QString openFile(const QString&, const QString&, const QString&) override { return {}; }
    QString browseFolder(const QString&, const QString&) override { return {}; }
    QStringList shown;
    QList<Default> deleteDefaults;
};

bool usable(const QWidget* w)
{
    return w->isVisible() && w->isEnabled();
}

// The fields of a window the user can type into now.
QList<QLineEdit*> typeableFields(QWidget* window)
{
    QList<QLineEdit*> out;
    for (QLineEdit* e : window->findChildren<QLineEdit*>())
        if (usable(e) && !e->isReadOnly() && !qobject_cast<QAbstractButton*>(e->parentWidget()))
            out << e;
    return out;
}

QAbstractButton* buttonCaptioned(QWidget* window, const QString& caption)
{
    for (QAbstractButton* b : window->findChildren<QAbstractButton*>())
        if (usable(b) && b->text() == caption)
            return b;
    return nullptr;
}

// A panel's "Отказ" (not an editor's own, which would close it).
QAbstractButton* panelCancel(QWidget* screen)
{
    for (QAbstractButton* b : screen->findChildren<QAbstractButton*>()) {
        if (!usable(b) || b->text() != QStringLiteral("Отказ"))
            continue;
        for (QWidget* w = b->parentWidget(); w && w != screen; w = w->parentWidget())
            if (w->objectName().startsWith(QLatin1String("panel")))
                return b;
    }
    return nullptr;
}

class InputSweep : public ::testing::Test {
protected:
    InputSweep()
    {
        QLocale::setDefault(QLocale(QLocale::Bulgarian, QLocale::Bulgaria));
        testsupport::runSql(db.path(), renttest::kEnterprise + renttest::kRules);
        dm = std::make_unique<TDM>(db.path());
        registerScreens(registry);
        registry.setOutputChooser(outputs);
        area.resize(1366, 768);
        area.show();
        // A modal dialog is swept as it opens, then given up.
        QObject::connect(&dialogs, &QTimer::timeout, [this] { sweepModalDialog(); });
        dialogs.start(10);
    }
    ~InputSweep() override
    {
        dialogs.stop();
        for (QMdiSubWindow* w : area.subWindowList())
            delete w;
    }

    // Each hostile text in every field at once, then "Запис".
    void sweepFields(QWidget* window)
    {
        for (const QString& text : kHostile) {
            const QList<QLineEdit*> fields = typeableFields(window);
            if (fields.isEmpty())
                return;
            for (QLineEdit* field : fields) {
                swept.insert(window->objectName() + QLatin1Char('.') + field->objectName());
                field->selectAll();
                field->del();
                testsupport::typeText(field, text);
                if (auto* number = qobject_cast<NumberField*>(field); number && !number->refusal().isEmpty()) {
                    EXPECT_FALSE(number->value()) << field->objectName().toStdString() << " " << text.toStdString();
                }
            }
            // A panel's "OK" first, then the window's "Запис".
            for (const QString& caption : {QStringLiteral("OK"), QStringLiteral("Запис")})
                if (QAbstractButton* save = buttonCaptioned(window, caption))
                    save->click();
            QApplication::processEvents();
            if (!window->isVisible())
                return;
        }
    }

    void sweepModalDialog()
    {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!dialog || sweeping_.contains(dialog))
            return;
        sweeping_.insert(dialog);
        sweepFields(dialog);
        if (dialog->isVisible())
            dialog->reject();
        sweeping_.remove(dialog);
    }

    // Every screen shown now, in the area or on its own.
    QSet<Screen*> openScreens() const
    {
        QSet<Screen*> out;
        for (Screen* s : area.findChildren<Screen*>())
            if (s->isVisible())
                out.insert(s);
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* s = qobject_cast<Screen*>(w); s && s->isVisible())
                out.insert(s);
        return out;
    }

    // The screen's own panels opened by each "Добавяне", "Корекция" and the
    // like, and the screens those open beside it, each swept in turn.
    void sweepScreen(QWidget* screen, int depth = 0)
    {
        QList<QAbstractButton*> commands;
        for (QAbstractButton* b : screen->findChildren<QAbstractButton*>())
            if (kOpeners.contains(b->text()))
                commands << b;
        for (QAbstractButton* b : commands) {
            if (!usable(b))
                continue;
            const QSet<Screen*> before = openScreens();
            b->click();
            QApplication::processEvents();
            sweepFields(screen);
            if (QAbstractButton* cancel = panelCancel(screen))
                cancel->click();
            for (Screen* opened : openScreens())
                if (!before.contains(opened) && depth < 2) {
                    sweepScreen(opened, depth + 1);
                    opened->close();
                    QApplication::processEvents();
                }
        }
        // Every delete asks, "Не" being what Enter gives; it is answered "Не".
        for (QAbstractButton* b : screen->findChildren<QAbstractButton*>())
            if (usable(b) && b->text() == QStringLiteral("Изтриване"))
                b->click();
        // Last the screen's own fields, whose "Запис" may close it.
        if (screen->isVisible())
            sweepFields(screen);
    }

    // Rows of a table whose column holds `condition`.
    qint64 count(const QString& from) { return testsupport::countRows(db.path(), from); }

    testsupport::TestDatabase db;
    CarelessPrompter prompter;
    testsupport::ScriptedOutputChooser outputs;
    std::unique_ptr<TDM> dm;
    ScreenRegistry registry;
    QMdiArea area;
    QTimer dialogs;
    QSet<QString> swept;

private:
    QSet<QDialog*> sweeping_;
};

TEST_F(InputSweep, NothingOutOfItsDomainReachesTheDatabaseAndNoEngineTextIsAllAUserReads)
{
    ScreenContext context{*dm, prompter, registry.sortSwitches(), outputs};
    // The service screens copy and close the register itself: they have
    // no fields of figures and are left to their own tests.
    const QSet<QString> services = {QStringLiteral("TFBackup"), QStringLiteral("TFPreklgod"),
                                    QStringLiteral("TFZarejdanenagod")};
    QStringList kinds = registry.kinds();
    // One order every run: what one screen stores legitimately (a receipt of
    // 5 kg, typed as "-5" whose sign is not taken) changes what the next may
    // do (rules with a receipt are not corrected).
    kinds.sort();
    for (const QString& kind : kinds) {
        if (services.contains(kind))
            continue;
        Screen* screen = registry.create(kind, context);
        ASSERT_TRUE(screen) << kind.toStdString();
        area.addSubWindow(screen)->setAttribute(Qt::WA_DeleteOnClose);
        screen->show();
        QApplication::processEvents();
        sweepScreen(screen);
        for (QMdiSubWindow* w : area.subWindowList())
            w->close();
        QApplication::processEvents();
    }
    // The sweep reached the figures it is about.
    for (const char* field :
         {"TFKatKoef.dbedKoef", "TFRentaZeml.dbedVRRazmer", "TFRentaZeml.dbedVREC", "TFKatdob.edPlosht",
          "TFImot.dbedPolPl", "TFImot.dbedNzData", "TFFirma.dbedEIN", "TFHora.dbedIme", "TFDogNomer.edNomer",
          "TFRazpiska.edRazpNo", "TFHoraZemqRenta.dbedRazpNo", "TFHoraZemqRenta.dbedPredstRS"})
        EXPECT_TRUE(swept.contains(QLatin1String(field))) << field;

    for (const dm::FieldDomain& d : dm::fieldDomains()) {
        if (!d.use.isEmpty() || d.table == QLatin1String("DOG DANNI"))
            continue;
        const QString quoted =
            d.table.contains(QLatin1Char(' ')) ? QLatin1Char('"') + d.table + QLatin1Char('"') : d.table;
        const QString op = d.domain.aboveLeast ? QStringLiteral("<=") : QStringLiteral("<");
        EXPECT_EQ(count(QStringLiteral("%1 where %2 %3 %4 or %2 > %5")
                            .arg(quoted, d.column, op)
                            .arg(d.domain.least, 0, 'f', 6)
                            .arg(d.domain.most, 0, 'f', 6)),
                  0)
            << d.table.toStdString() << "." << d.column.toStdString();
    }
    EXPECT_EQ(count(QStringLiteral("\"DOG DANNI\" where NOMER is not null and (trim(NOMER) = '' or NOMER = '0')")), 0);
    EXPECT_EQ(count(QStringLiteral("\"DOG DANNI\" where SVDELO is not null and SVDELO not similar to "
                                   "'[0-9]{2}.[0-9]{2}.[0-9]{4}'")),
              0);
    for (const QString& text : prompter.shown)
        EXPECT_FALSE(kEngineText.match(text).hasMatch()) << text.toStdString();
    EXPECT_GE(prompter.deleteDefaults.size(), 4);
    EXPECT_EQ(prompter.deleteDefaults, QList<Prompter::Default>(prompter.deleteDefaults.size(), Prompter::Default::No));
}

}  // namespace
