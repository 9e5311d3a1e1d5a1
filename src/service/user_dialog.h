#pragma once

#include "schema/roles.h"

#include <QDialog>

#include <functional>
#include <optional>

class QComboBox;
class QLabel;
class QLineEdit;

// What the administrator gives for a user: a new one's name, password and
// role; a new password; a new role.
struct UserEntry {
    QString name, password;
    schema::roles::Role role = schema::roles::Role::Clerk;
};

enum class UserChange { New, Password, Role };

// Asks for what `change` needs, starting from `current`; nothing when the
// administrator gave up ("Отказ", Esc).
using UserAsker = std::function<std::optional<UserEntry>(UserChange change, const UserEntry& current)>;

// The dialog behind the users screen's commands: only the fields the change
// needs, the password typed twice. "Запис" keeps the dialog open and says
// what is wrong above the fields until the entry will do.
class TFPotrebitel : public QDialog {
    Q_OBJECT
public:
    TFPotrebitel(UserChange change, const UserEntry& current, QWidget* parent = nullptr);
    UserEntry entry() const;

private:
    void save();

    UserChange change_;
    QLabel* problem_;
    QLineEdit* name_;
    QLineEdit* password_;
    QLineEdit* again_;
    QComboBox* role_;
};

// The program's asker: the dialog, over the active window.
UserAsker userDialog();
