#include "service/closing_recovery.h"

#include "common/prompter.h"
#include "dm/tdm.h"
#include "fb/connection.h"
#include "fb/error.h"
#include "fb/statement.h"
#include "fb/transaction.h"
#include "service/archive_files.h"

#include <QDir>
#include <QFileInfo>

#include <optional>
#include <utility>

namespace service {

namespace {

const QString kBroken = QStringLiteral(
    "Извършено е неуспешно приключване на период!\n"
    "Моля, свържете се с Стелмар ЕООД!");

using Years = std::pair<int, int>;

std::optional<Years> farmingYear(fb::Connection& c)
{
    fb::Transaction tr(c, fb::TransactionOptions::readCommitted(true));
    fb::Statement st(c, QStringLiteral("select extract(year from fromyear), extract(year from toyear) from firma"));
    const auto rows = fb::fetchAll(st, tr);
    tr.commit();
    if (rows.size() != 1 || rows.front()[0].isNull())
        return std::nullopt;
    return Years{rows.front()[0].toInt(), rows.front()[1].toInt()};
}

// The farming year of the copy taken before the closing changed anything.
std::optional<Years> yearBefore(const QString& copy)
{
    if (!QFileInfo(copy).isFile())
        return std::nullopt;
    try {
        fb::Connection c;
        c.attach(copy);
        const auto years = farmingYear(c);
        c.detach();
        return years;
    } catch (const fb::Error&) {
        return std::nullopt;
    }
}

std::optional<Years> yearNow(TDM& dm)
{
    try {
        dm.IBDatabase1.ensureConnected();
        return farmingYear(dm.IBDatabase1.connection());
    } catch (const fb::Error&) {
        return std::nullopt;
    }
}

// The run copies the database into TEMP first and changes nothing before
// all its copies are made; a copy there that does not open (none yet, or
// the copier's half-written temporary file) means it was cut during that
// first copy. The database is then as it was, which its own farming year
// confirms: it reads, and the archive folder of that year, made only after
// TEMP's copy, is not there.
bool cutDuringCopies(const QDir& program, const std::optional<Years>& now)
{
    return now && !QFileInfo::exists(program.filePath(QStringLiteral("%1_%2").arg(now->first).arg(now->second)));
}

QString question(const Years& year, bool closed, bool copying)
{
    if (copying)
        return QStringLiteral(
                   "Приключването на период %1/%2 е било прекъснато при копирането на файловете, преди да промени "
                   "данните; годината не е приключена.\n"
                   "Временната папка TEMP ще бъде изтрита. Да продължи ли програмата?")
            .arg(year.first)
            .arg(year.second);
    if (closed)
        return QStringLiteral(
                   "Приключването на период %1/%2 е било прекъснато след като годината е приключена.\n"
                   "Остава да се изтрие временната папка TEMP. Да продължи ли програмата?")
            .arg(year.first)
            .arg(year.second);
    return QStringLiteral(
               "Приключването на период %1/%2 е било прекъснато преди да промени данните; "
               "годината не е приключена.\n"
               "Временната папка TEMP и архивът на годината ще бъдат изтрити. Да продължи ли програмата?")
        .arg(year.first)
        .arg(year.second);
}

}  // namespace

bool recoverBrokenClosing(const QString& programFolder, TDM& dm, Prompter& prompter)
{
    const QDir program(programFolder);
    const QString temp = program.filePath(QStringLiteral("TEMP"));
    if (!QFileInfo(temp).isDir())
        return true;
    const auto now = yearNow(dm);
    const auto copied = yearBefore(QDir(temp).filePath(QStringLiteral("ARVENTA.FDB")));
    const bool copying = !copied && cutDuringCopies(program, now);
    // Cut during the copies, the run's year is the database's own.
    const auto before = copying ? now : copied;
    if (!before || !now || (*now != *before && now->first != before->first + 1)) {
        prompter.message(kBroken);
        return false;
    }
    const bool closed = *now != *before;
    if (!prompter.confirm(question(*before, closed, copying), Prompter::Default::No)) {
        prompter.message(kBroken);
        return false;
    }
    // The archive of a closed year is its record and stays; that of a year
    // still open was made by the cut-off run (a run refuses an existing one).
    if (!closed && !copying)
        removeFolder(program.filePath(QStringLiteral("%1_%2").arg(before->first).arg(before->second)));
    if (!removeFolder(temp)) {
        prompter.message(kBroken);
        return false;
    }
    return true;
}

}  // namespace service
