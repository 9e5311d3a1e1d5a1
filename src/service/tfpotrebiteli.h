#pragma once

#include "common/register_screen.h"
#include "service/user_dialog.h"

class TDM;

// "Потребители": the users of a register kept on a server, each with his
// role here, kept by an administrator: "Добавяне" of a user with his
// password and role, "Роля", "Нова парола", "Изтриване" (asked, "Не"
// preset). Neither the server's first administrator nor the administrator's
// own user is removed or given another role. What the server refuses is
// said with its text and the list stays as it was.
class TFPotrebiteli : public RegisterScreen {
    Q_OBJECT
public:
    TFPotrebiteli(TDM& dm, Prompter& prompter, UserAsker ask = userDialog(), QWidget* parent = nullptr);

private:
    void addUser();
    void changeRole();
    void changePassword();
    void removeUser();
    // The user of the list's current row; empty when the list is empty.
    QString current() const;
    // The current user when he may be removed or given another role; else
    // empty, the reason said.
    QString changeableCurrent();
    // Runs one change of users; a refusal is said, and the list read again.
    void change(const QString& what, const std::function<void()>& step, const QString& rowAfter);

    TDM& dm_;
    UserAsker ask_;
};
