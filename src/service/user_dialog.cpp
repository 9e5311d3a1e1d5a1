#include "service/user_dialog.h"

#include "common/small_dialog.h"
#include "service/users.h"

#include <QApplication>
#include <QComboBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

using schema::roles::Role;

namespace {

QLineEdit* passwordBox(const QString& name, QWidget* parent)
{
    auto* box = new QLineEdit(parent);
    box->setObjectName(name);
    box->setEchoMode(QLineEdit::Password);
    box->setMaxLength(255);
    return box;
}

QString captionOf(UserChange change, const QString& name)
{
    switch (change) {
        case UserChange::New:
            return QStringLiteral("Нов потребител");
        case UserChange::Password:
            return QStringLiteral("Нова парола на %1").arg(name);
        case UserChange::Role:
            return QStringLiteral("Роля на %1").arg(name);
    }
    return {};
}

}  // namespace

TFPotrebitel::TFPotrebitel(UserChange change, const UserEntry& current, QWidget* parent)
    : QDialog(parent),
      change_(change),
      problem_(new QLabel(this)),
      name_(new QLineEdit(current.name, this)),
      password_(passwordBox(QStringLiteral("edParola"), this)),
      again_(passwordBox(QStringLiteral("edParolaOtnovo"), this)),
      role_(new QComboBox(this))
{
    setUpSmallDialog(this, QStringLiteral("TFPotrebitel"), captionOf(change, current.name));
    problem_->setObjectName(QStringLiteral("labGreshka"));
    problem_->setStyleSheet(QStringLiteral("color: #b00000"));
    problem_->setWordWrap(true);
    problem_->hide();
    name_->setObjectName(QStringLiteral("edPotrebitel"));
    name_->setMaxLength(31);
    role_->setObjectName(QStringLiteral("cbRolq"));
    for (Role role : schema::roles::all())
        role_->addItem(schema::roles::caption(role), int(role));
    role_->setCurrentIndex(role_->findData(int(current.role)));
    auto* fields = new QFormLayout;
    if (change == UserChange::New)
        fields->addRow(QStringLiteral("Потребител:"), name_);
    if (change != UserChange::Role) {
        fields->addRow(QStringLiteral("Парола:"), password_);
        fields->addRow(QStringLiteral("Паролата отново:"), again_);
    }
    if (change != UserChange::Password)
        fields->addRow(QStringLiteral("Роля:"), role_);
    name_->setVisible(change == UserChange::New);
    password_->setVisible(change != UserChange::Role);
    again_->setVisible(change != UserChange::Role);
    role_->setVisible(change != UserChange::Password);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(problem_);
    layout->addLayout(fields);
    layout->addLayout(saveCancelRow(this, [this] { save(); }));
    setMinimumWidth(380);
}

UserEntry TFPotrebitel::entry() const
{
    return {name_->text().trimmed(), password_->text(), Role(role_->currentData().toInt())};
}

void TFPotrebitel::save()
{
    std::optional<QString> problem;
    if (change_ == UserChange::New)
        problem = users::nameProblem(name_->text());
    if (!problem && change_ != UserChange::Role) {
        problem = users::passwordProblem(password_->text());
        if (!problem && password_->text() != again_->text())
            problem = QStringLiteral("Двете пароли се различават.");
    }
    if (!problem) {
        accept();
        return;
    }
    problem_->setText(*problem);
    problem_->show();
}

UserAsker userDialog()
{
    return [](UserChange change, const UserEntry& current) -> std::optional<UserEntry> {
        TFPotrebitel dialog(change, current, QApplication::activeWindow());
        if (dialog.exec() != QDialog::Accepted)
            return std::nullopt;
        return dialog.entry();
    };
}
