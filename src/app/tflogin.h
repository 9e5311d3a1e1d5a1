#pragma once

#include "app/login.h"

#include <QDialog>

class QLabel;
class QLineEdit;

// The login of a server's register: user and password, "Вход" and
// "Отказ" (Esc). A refused login is said above the fields and the password
// is asked again, the user's name kept.
class TFLogin : public QDialog {
    Q_OBJECT
public:
    TFLogin(const QString& database, QWidget* parent = nullptr);

    // Shows the dialog with `refusal` above the fields (none on the first try).
    std::optional<Login> ask(const QString& refusal);

private:
    QLabel* refusal_;
    QLineEdit* user_;
    QLineEdit* password_;
};

// The asker of the program: the dialog, made anew for each try.
LoginAsker loginDialog(const QString& database);
