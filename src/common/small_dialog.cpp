#include "common/small_dialog.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QPushButton>

void setUpSmallDialog(QDialog* dialog, const QString& name, const QString& caption)
{
    dialog->setObjectName(name);
    dialog->setWindowTitle(caption);
    dialog->setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    dialog->setModal(true);
}

QHBoxLayout* saveCancelRow(QDialog* dialog, const std::function<void()>& save)
{
    auto* zapis = new QPushButton(QStringLiteral("Запис"), dialog);
    zapis->setObjectName(QStringLiteral("bitZapis"));
    zapis->setDefault(true);
    auto* otkaz = new QPushButton(QStringLiteral("Отказ"), dialog);
    otkaz->setObjectName(QStringLiteral("bitOtkaz"));
    QObject::connect(zapis, &QPushButton::clicked, dialog, save);
    QObject::connect(otkaz, &QPushButton::clicked, dialog, &QDialog::reject);
    auto* row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(zapis);
    row->addWidget(otkaz);
    return row;
}
