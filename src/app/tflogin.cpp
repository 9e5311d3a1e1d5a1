#include "app/tflogin.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <memory>

TFLogin::TFLogin(const QString& database, QWidget* parent)
    : QDialog(parent), refusal_(new QLabel(this)), user_(new QLineEdit(this)), password_(new QLineEdit(this))
{
    setObjectName(QStringLiteral("TFLogin"));
    setWindowTitle(QStringLiteral("Вход в регистъра"));
    auto* where = new QLabel(QStringLiteral("Регистър: %1").arg(database), this);
    refusal_->setObjectName(QStringLiteral("labGreshka"));
    refusal_->setStyleSheet(QStringLiteral("color: #b00000"));
    refusal_->hide();
    user_->setObjectName(QStringLiteral("edPotrebitel"));
    user_->setMaxLength(63);  // the server's limit for a user's name
    password_->setObjectName(QStringLiteral("edParola"));
    password_->setEchoMode(QLineEdit::Password);
    password_->setMaxLength(255);
    auto* fields = new QFormLayout;
    fields->addRow(QStringLiteral("Потребител:"), user_);
    fields->addRow(QStringLiteral("Парола:"), password_);
    auto* buttons = new QDialogButtonBox(this);
    QPushButton* enter = buttons->addButton(QStringLiteral("Вход"), QDialogButtonBox::AcceptRole);
    enter->setObjectName(QStringLiteral("bitVhod"));
    enter->setDefault(true);
    QPushButton* cancel = buttons->addButton(QStringLiteral("Отказ"), QDialogButtonBox::RejectRole);
    cancel->setObjectName(QStringLiteral("bitOtkaz"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(where);
    layout->addWidget(refusal_);
    layout->addLayout(fields);
    layout->addWidget(buttons);
    setMinimumWidth(360);
}

std::optional<Login> TFLogin::ask(const QString& refusal)
{
    refusal_->setText(refusal);
    refusal_->setVisible(!refusal.isEmpty());
    password_->clear();
    (user_->text().isEmpty() ? user_ : password_)->setFocus();
    if (exec() != QDialog::Accepted)
        return std::nullopt;
    return Login{user_->text().trimmed(), password_->text()};
}

LoginAsker loginDialog(const QString& database)
{
    // One dialog for every try, so that the user's name stays typed.
    auto dialog = std::make_shared<TFLogin>(database);
    return [dialog](const QString& refusal) { return dialog->ask(refusal); };
}
