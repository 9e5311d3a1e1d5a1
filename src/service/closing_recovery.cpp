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

}  // namespace

bool recoverBrokenClosing(const QString& programFolder, TDM& dm, Prompter& prompter)
{
    const QDir program(programFolder);
    const QString temp = program.filePath(QStringLiteral("TEMP"));
    if (!QFileInfo(temp).isDir())
        return true;
    const auto before = yearBefore(QDir(temp).filePath(QStringLiteral("ARVENTA.FDB")));
    const auto now = yearNow(dm);
    if (!before || !now || (*now != *before && now->first != before->first + 1)) {
        prompter.message(kBroken);
        return false;
    }
    const bool closed = *now != *before;
    const QString question =
        closed ? QStringLiteral(
                     "Приключването на период %1/%2 е било прекъснато след като годината е приключена.\n"
                     "Остава да се изтрие временната папка TEMP. Да продължи ли програмата?")
                     .arg(before->first)
                     .arg(before->second)
               : QStringLiteral(
                     "Приключването на период %1/%2 е било прекъснато преди да промени данните; "
                     "годината не е приключена.\n"
                     "Временната папка TEMP и архивът на годината ще бъдат изтрити. Да продължи ли програмата?")
                     .arg(before->first)
                     .arg(before->second);
    if (!prompter.confirm(question, Prompter::Default::No)) {
        prompter.message(kBroken);
        return false;
    }
    // The archive of a closed year is its record and stays; that of a year
    // still open was made by the cut-off run (a run refuses an existing one).
    if (!closed)
        removeFolder(program.filePath(QStringLiteral("%1_%2").arg(before->first).arg(before->second)));
    if (!removeFolder(temp)) {
        prompter.message(kBroken);
        return false;
    }
    return true;
}

}  // namespace service
