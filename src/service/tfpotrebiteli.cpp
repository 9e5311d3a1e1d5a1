#include "service/tfpotrebiteli.h"

#include "common/failure.h"
#include "common/prompter.h"
#include "dm/tdm.h"
#include "fb/connection.h"
#include "fb/error.h"
#include "service/users.h"

#include <QPushButton>

using schema::roles::Role;

namespace {

// Every user with the strongest of the register's roles he holds (the
// engine's administrator role as the users know it).
QString usersStatement()
{
    return QStringLiteral(
        "select trim(u.sec$user_name) potrebitel, coalesce("
        " (select first 1 decode(trim(p.rdb$relation_name), 'RDB$ADMIN', 'Администратор', trim(p.rdb$relation_name))"
        "  from rdb$user_privileges p where p.rdb$user = u.sec$user_name and p.rdb$privilege = 'M'"
        "  and p.rdb$user_type = 8"
        "  and trim(p.rdb$relation_name) in ('RDB$ADMIN', 'Счетоводител', 'Служител', 'Преглед')"
        "  order by decode(trim(p.rdb$relation_name), 'RDB$ADMIN', 1, 'Счетоводител', 2, 'Служител', 3, 4)),"
        " iif(u.sec$user_name = 'SYSDBA', 'Администратор', 'без роля')) rolq "
        "from sec$users u");
}

kit::RegisterForm usersForm(TDM& dm)
{
    return {
        .kind = QStringLiteral("TFPotrebiteli"),
        .caption = QStringLiteral("Потребители"),
        .list = {.grid = QStringLiteral("jvdbgridPotrebiteli"),
                 .query = QStringLiteral("IBQueryPotrebiteli"),
                 .statement = {.base = {usersStatement()}, .defaultOrder = {QStringLiteral("order by 1")}},
                 .columns = {textColumn("POTREBITEL", "Потребител"), textColumn("ROLQ", "Роля")},
                 .key = QStringLiteral("POTREBITEL"),
                 .buttons = {{QStringLiteral("bitPotrDob"), QStringLiteral("Добавяне")},
                             {QStringLiteral("bitPotrRolq"), QStringLiteral("Роля")},
                             {QStringLiteral("bitPotrParola"), QStringLiteral("Нова парола")},
                             {QStringLiteral("bitPotrDel"), QStringLiteral("Изтриване")}}},
        .commands = {.add = {}, .correct = {}, .remove = {}},
        .database = &dm.IBDatabase1,
    };
}

}  // namespace

TFPotrebiteli::TFPotrebiteli(TDM& dm, Prompter& prompter, UserAsker ask, QWidget* parent)
    : RegisterScreen(prompter, usersForm(dm), parent), dm_(dm), ask_(std::move(ask))
{
    const auto wire = [this](const char* name, void (TFPotrebiteli::*step)()) {
        connect(control<QPushButton>(QLatin1String(name)), &QPushButton::clicked, this, step);
    };
    wire("bitPotrDob", &TFPotrebiteli::addUser);
    wire("bitPotrRolq", &TFPotrebiteli::changeRole);
    wire("bitPotrParola", &TFPotrebiteli::changePassword);
    wire("bitPotrDel", &TFPotrebiteli::removeUser);
    start();
}

QString TFPotrebiteli::current() const
{
    const dataset::Dataset& rows = list()->rows();
    return rows.isEmpty() ? QString() : rows.field(QStringLiteral("POTREBITEL")).asString();
}

QString TFPotrebiteli::changeableCurrent()
{
    const QString name = current();
    if (name.isEmpty())
        return {};
    if (const std::optional<QString> problem = users::changeProblem(name, fb::sessionUser())) {
        prompter().message(*problem);
        return {};
    }
    return name;
}

void TFPotrebiteli::change(const QString& what, const std::function<void()>& step, const QString& rowAfter)
{
    try {
        step();
    } catch (const fb::Error& e) {
        failure::show(prompter(), what, e);
    }
    list()->reread(QStringLiteral("POTREBITEL"), rowAfter);
}

void TFPotrebiteli::addUser()
{
    const std::optional<UserEntry> entry = ask_(UserChange::New, {});
    if (!entry)
        return;
    const QString name = entry->name.toUpper();
    change(
        QStringLiteral("Потребителят %1 не може да бъде добавен.").arg(name),
        [&] { users::add(dm_.IBDatabase1.connection(), entry->name, entry->password, entry->role); }, name);
}

void TFPotrebiteli::changeRole()
{
    const QString name = changeableCurrent();
    if (name.isEmpty())
        return;
    const std::optional<Role> held =
        schema::roles::fromCaption(list()->rows().field(QStringLiteral("ROLQ")).asString());
    const std::optional<UserEntry> entry = ask_(UserChange::Role, {name, {}, held.value_or(Role::Clerk)});
    if (!entry)
        return;
    change(
        QStringLiteral("Ролята на %1 не може да бъде сменена.").arg(name),
        [&] { users::setRole(dm_.IBDatabase1.connection(), name, entry->role); }, name);
}

void TFPotrebiteli::changePassword()
{
    const QString name = current();
    if (name.isEmpty())
        return;
    const std::optional<UserEntry> entry = ask_(UserChange::Password, {name, {}, Role::Clerk});
    if (!entry)
        return;
    change(
        QStringLiteral("Паролата на %1 не може да бъде сменена.").arg(name),
        [&] { users::setPassword(dm_.IBDatabase1.connection(), name, entry->password); }, name);
}

void TFPotrebiteli::removeUser()
{
    const QString name = changeableCurrent();
    if (name.isEmpty())
        return;
    if (!prompter().confirm(
            QStringLiteral("Да бъде ли изтрит потребителят %1? Той няма да може да влиза в регистъра.").arg(name),
            Prompter::Default::No))
        return;
    change(QStringLiteral("Потребителят %1 не може да бъде изтрит.").arg(name),
           [&] { users::remove(dm_.IBDatabase1.connection(), name); }, {});
}
