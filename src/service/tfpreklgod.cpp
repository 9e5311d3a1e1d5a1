#include "service/tfpreklgod.h"

#include "common/failure.h"
#include "common/prompter.h"
#include "dm/tdm.h"
#include "fb/connection.h"
#include "fb/error.h"
#include "fb/statement.h"
#include "fb/transaction.h"
#include "schema/rent_due_cache.h"
#include "schema/rent_sql.h"
#include "service/archive_files.h"
#include "service/server_archive.h"

#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include <exception>

namespace {

const QString kDatabaseFile = QStringLiteral("ARVENTA.FDB");
const QString kAborted = QStringLiteral("Грешка: Приключването на период е прекратено!");
const QString kNotClosed = QStringLiteral("Годината не е приключена.");
const QString kNoYear = QStringLiteral("Годината не е приключена.\nВъв „Фирма“ не е зададена стопанска година.");
const QString kFiguresNotKept = QStringLiteral("Дължимата рента за новата година не е изчислена.");

// Paid per owner with payment dates in the calendar year the farming year
// ends in: goods receipts and every cash payment, past-years ones too.
QString paymentsOfTheYear()
{
    return QStringLiteral(
        "select count(*) C2, hora.id_hora, coalesce(Q1.sum_rr,0)+coalesce(Q2.sum_rp,0) IZPL\n"
        "from hora\n"
        " left outer join (select \"RAZP DANNI\".id_hora, sum(cast(\"RAZP DANNI\".suma as decimal(15,2))) sum_rr\n"
        "  from \"RAZP DANNI\" cross join firma\n"
        "  where extract(year from \"RAZP DANNI\".data) = extract(year from firma.toyear)\n"
        "  group by \"RAZP DANNI\".id_hora) Q1 on (hora.id_hora = Q1.id_hora)\n"
        " left outer join (select razp_pari.id_hora, sum(cast(razp_pari.suma as decimal(15,2))) sum_rp\n"
        "  from razp_pari cross join firma\n"
        "  where extract(year from razp_pari.data) = extract(year from firma.toyear)\n"
        "  group by razp_pari.id_hora) Q2 on (hora.id_hora = Q2.id_hora)\n"
        "where coalesce(Q1.sum_rr,0) > 0 or coalesce(Q2.sum_rp,0) > 0\n"
        "group by hora.id_hora, Q1.sum_rr, Q2.sum_rp");
}

// The firm's farming year, its first and last day, read in a transaction
// of its own; empty when the firm has none.
std::optional<std::pair<QDate, QDate>> farmingYear(fb::Connection& connection)
{
    fb::Transaction tr(connection, fb::TransactionOptions::readCommitted(true));
    fb::Statement st(connection, QStringLiteral("select fromyear, toyear from firma"));
    const auto rows = fb::fetchAll(st, tr);
    tr.commit();
    if (rows.empty() || rows.front()[0].isNull() || rows.front()[1].isNull())
        return std::nullopt;
    return std::make_pair(rows.front()[0].toDate(), rows.front()[1].toDate());
}

QString yearText(const QDate& from, const QDate& to)
{
    const QString format = QStringLiteral("dd.MM.yyyy");
    return from.toString(format) + QStringLiteral(" – ") + to.toString(format);
}

QString otherDesksText(const QStringList& desks)
{
    return QStringLiteral(
               "Годината не може да бъде приключена, докато към базата са свързани и други работни места:\n"
               "%1\nЗатворете програмата на тези места и опитайте отново.")
        .arg(desks.join(QLatin1Char('\n')));
}

// The farming year an archive's database holds; empty when it cannot be read.
std::optional<std::pair<QDate, QDate>> yearOfFile(const QString& file)
{
    try {
        fb::Connection c;
        c.attach(file);
        const auto year = farmingYear(c);
        c.detach();
        return year;
    } catch (const fb::Error&) {
        return std::nullopt;
    }
}

}  // namespace

TFPreklgod::TFPreklgod(TDM& dm, Prompter& prompter, QString programFolder, StepHook afterStep, Clock today,
                       QWidget* parent)
    : Screen(parent),
      dm_(dm),
      prompter_(prompter),
      programFolder_(std::move(programFolder)),
      afterStep_(std::move(afterStep)),
      today_(std::move(today)),
      labGodina_(new QLabel(this)),
      ProgressBar1_(new QProgressBar(this))
{
    setWindowTitle(QStringLiteral("Приключване на година"));
    labGodina_->setObjectName(QStringLiteral("labGodina"));
    QFont bold = labGodina_->font();
    bold.setBold(true);
    labGodina_->setFont(bold);
    ProgressBar1_->setObjectName(QStringLiteral("ProgressBar1"));
    ProgressBar1_->setRange(0, 100);
    ProgressBar1_->setValue(0);
    auto* BitBtn1 = new QPushButton(QStringLiteral("Приключване на текущ период"), this);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    auto* BitBtn3 = new QPushButton(QStringLiteral("Изход"), this);
    BitBtn3->setObjectName(QStringLiteral("BitBtn3"));
    connect(BitBtn1, &QPushButton::clicked, this, &TFPreklgod::closeYear);
    connect(BitBtn3, &QPushButton::clicked, this, &TFPreklgod::closeWindow);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(labGodina_);
    layout->addWidget(BitBtn1);
    layout->addWidget(ProgressBar1_);
    layout->addWidget(BitBtn3, 0, Qt::AlignRight);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    // The year is named as soon as the screen is up; a database that cannot
    // be read now is said when the user starts the closing.
    try {
        dm_.IBDatabase1.ensureConnected();
        showYear(farmingYear(dm_.IBDatabase1.connection()));
    } catch (const fb::Error&) {
        showYear(std::nullopt);
    }
}

void TFPreklgod::showYear(const std::optional<std::pair<QDate, QDate>>& year)
{
    labGodina_->setText(year ? QStringLiteral("Стопанска година ") + yearText(year->first, year->second)
                             : QStringLiteral("Стопанската година не е зададена."));
}

// Closing cannot be undone from the program: the year is named and the user
// says "Да" to it, "Не" being the default; a year whose last day is still
// to come is named so and asked about once more.
bool TFPreklgod::confirmed(const QDate& from, const QDate& to)
{
    const QString year = yearText(from, to);
    if (!prompter_.confirm(QStringLiteral("Ще бъде приключена стопанска година %1.\n"
                                          "Новата стопанска година ще бъде %2.\n"
                                          "Желаете ли да продължите?")
                               .arg(year, yearText(from.addYears(1), to.addYears(1))),
                           Prompter::Default::No))
        return false;
    if (to <= today_())
        return true;
    return prompter_.confirm(QStringLiteral("Стопанска година %1 още не е завършила: последният ѝ ден е %2.\n"
                                            "Желаете ли да я приключите предсрочно?")
                                 .arg(year, to.toString(QStringLiteral("dd.MM.yyyy"))),
                             Prompter::Default::No);
}

void TFPreklgod::closeYear()
{
    ProgressBar1_->setValue(0);
    const QString dataFolder = QDir::currentPath();
    std::optional<std::pair<QDate, QDate>> year;
    try {
        dm_.IBDatabase1.ensureConnected();
        year = farmingYear(dm_.IBDatabase1.connection());
    } catch (const fb::Error& e) {
        failure::show(prompter_, kNotClosed, e);
        return;
    }
    // What is closed is the year read now: another desk may have moved it on
    // since the screen was opened.
    showYear(year);
    if (!year) {
        prompter_.message(kNoYear);
        return;
    }
    const QString archive =
        QDir(programFolder_).filePath(QStringLiteral("%1_%2").arg(year->first.year()).arg(year->second.year()));
    // Refused before the connection is touched: the screens keep working.
    if (QFileInfo::exists(archive)) {
        prompter_.message(QStringLiteral("Приключването е вече извършено!"));
        return;
    }
    // On a server the archive is the state of the database when it is made:
    // no other desk may change it meanwhile, nor work on in the old year.
    const bool server = service::onServer(dm_);
    if (server && !aloneOnServer())
        return;
    if (!confirmed(year->first, year->second))
        return;
    const QString source = service::databaseFilePath(dm_, dataFolder);
    // The engine lets go of the file only when the last attachment is gone.
    if (!server)
        service::releaseDatabase(dm_);
    if (afterStep_)
        afterStep_(kCopying);
    if (const auto reason = copyFiles(source, server ? dataFolder : QFileInfo(source).absolutePath(), archive, *year)) {
        fail(failure::text(kAborted, *reason), archive);
        return;
    }
    ProgressBar1_->setValue(68);
    if (const auto error = server ? std::nullopt : service::reconnect(dm_)) {
        fail(failure::text(kAborted, *error), archive);
        return;
    }
    QStringList latecomers;
    try {
        step(0, 72);
        fb::Connection& connection = dm_.IBDatabase1.connection();
        fb::Transaction tr(connection);
        runDatabaseSteps(connection, tr);
        // A desk that came in while the archive was made may have changed
        // the database after it: nothing of the closing stays then.
        if (server)
            latecomers = service::otherDesks(connection);
        if (latecomers.isEmpty())
            tr.commit();
    } catch (const std::exception& e) {
        // The transaction rolled back when it went out of scope.
        fail(failure::text(kAborted, e), archive);
        return;
    }
    if (!latecomers.isEmpty()) {
        fail(failure::text(kAborted, otherDesksText(latecomers)), archive);
        return;
    }
    step(7, 96);
    // Every shared cursor read the old year: open them all again.
    service::releaseDatabase(dm_);
    if (const auto error = service::reconnect(dm_))
        failure::show(prompter_, service::kNotReconnected, *error);
    else
        keepFiguresOfTheNewYear();
    ProgressBar1_->setValue(100);
    service::removeFolder(QDir(programFolder_).filePath(QStringLiteral("TEMP")));
    prompter_.message(QStringLiteral("Периодът е приключен успешно!"));
    closeWindow();
}

// The new farming year changed every owner's rent due: the kept figures are
// worked out again now, as part of the closing, rather than by whichever
// rent screen is opened first.
void TFPreklgod::keepFiguresOfTheNewYear()
{
    try {
        schema::rent::bringUpToDate(dm_.IBDatabase1.connection());
    } catch (const fb::Error& e) {
        failure::show(prompter_, kFiguresNotKept, e);
    }
}

// Whether no other desk is attached to the server's register; when one is,
// the user is told who, and nothing has been done.
bool TFPreklgod::aloneOnServer()
{
    try {
        const QStringList desks = service::otherDesks(dm_.IBDatabase1.connection());
        if (desks.isEmpty())
            return true;
        prompter_.message(otherDesksText(desks));
    } catch (const fb::Error& e) {
        failure::show(prompter_, kNotClosed, e);
    }
    return false;
}

// TEMP gets the database as it is before the closing: a copy of the file,
// or for a server's register the server's backup restored here, which must
// hold the year being closed. The archive gets a copy of that.
std::optional<QString> TFPreklgod::copyFiles(const QString& source, const QString& layouts, const QString& archive,
                                             const std::pair<QDate, QDate>& year)
{
    const bool server = fb::Connection::isServerName(source);
    const QString temp = QDir(programFolder_).filePath(QStringLiteral("TEMP"));
    const QString before = QDir(temp).filePath(kDatabaseFile);
    if (!service::makeFolder(temp))
        return QStringLiteral("Папката „%1“ не може да бъде създадена!").arg(QDir::toNativeSeparators(temp));
    if (auto failure = server ? service::archiveFromServer(source, temp, false) : service::copyDatabase(source, before))
        return failure;
    if (server && yearOfFile(before) != year)
        return QStringLiteral("Архивът на базата не е на стопанска година %1.").arg(yearText(year.first, year.second));
    if (!service::makeFolder(archive))
        return QStringLiteral("Папката „%1“ не може да бъде създадена!").arg(QDir::toNativeSeparators(archive));
    if (auto failure = service::copyDatabase(server ? before : source, QDir(archive).filePath(kDatabaseFile)))
        return failure;
    ProgressBar1_->setValue(4);
    const QStringList failed = service::copyLayouts(layouts, archive);
    if (!failed.isEmpty())
        return QStringLiteral("Не са копирани: %1").arg(failed.join(QStringLiteral(", ")));
    return std::nullopt;
}

// Paid totals, arrears, carry-over, farming year and payouts, in the order
// they read each other: the carry-over reads the old farming year and the
// payouts, so it runs before both change.
void TFPreklgod::runDatabaseSteps(fb::Connection& connection, fb::Transaction& tr)
{
    fb::execute(connection, tr, QStringLiteral("delete from oir"));
    fb::execute(connection, tr,
                QStringLiteral("insert into oir (id_hora, suma_oir) select P.id_hora, P.IZPL from (") +
                    paymentsOfTheYear() + QStringLiteral(") P"));
    step(1, 76);
    fb::execute(connection, tr, QStringLiteral("delete from onr where onr.id_razppari <>0"));
    step(2, 80);
    fb::execute(connection, tr,
                QStringLiteral("insert into onr (id_hora, plosht, prplosht, suma, godot, goddo)\n"
                               "select U.id_sobstv, U.ZDPl, U.ZPl, U.OSTATYK, extract(year from firma.fromyear),"
                               " extract(year from firma.toyear)\nfrom firma cross join (") +
                    schema::rent::unpaidRest() + QStringLiteral(") U"));
    step(3, 84);
    // A year later keeps the day; 29 February becomes 28 February.
    fb::execute(connection, tr,
                QStringLiteral("update firma set fromyear = dateadd(1 year to fromyear),"
                               " toyear = dateadd(1 year to toyear)"));
    step(4, 88);
    fb::execute(connection, tr, QStringLiteral("delete from \"RAZP RENTA\""));
    fb::execute(connection, tr, QStringLiteral("delete from \"RAZP DANNI\""));
    step(5, 91);
    fb::execute(connection, tr, QStringLiteral("delete from razp_pari"));
    step(6, 95);
}

void TFPreklgod::step(int number, int progress)
{
    ProgressBar1_->setValue(progress);
    if (afterStep_)
        afterStep_(number);
}

// Nothing of the run stays: the database is as it was (its transaction
// rolled back), the copies go, and the next try starts afresh.
void TFPreklgod::fail(const QString& text, const QString& archive)
{
    service::releaseDatabase(dm_);
    service::reconnect(dm_);
    service::removeFolder(QDir(programFolder_).filePath(QStringLiteral("TEMP")));
    service::removeFolder(archive);  // an archive that was there already stopped the run before
    ProgressBar1_->setValue(0);
    prompter_.message(text);
}
