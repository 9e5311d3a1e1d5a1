#include "common/prompter.h"

#include "common/text_input.h"

#include <QApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>

namespace {

// The caption of every box is the program's name, as the user knows it.
QString boxCaption()
{
    return QStringLiteral("Арвента");
}

}  // namespace

QWidget* QtPrompter::parent() const
{
    QWidget* active = QApplication::activeWindow();
    return active ? active : parent_;
}

void QtPrompter::message(const QString& text)
{
    QMessageBox box(QMessageBox::NoIcon, boxCaption(), text, QMessageBox::Ok, parent());
    box.button(QMessageBox::Ok)->setText(QStringLiteral("OK"));
    box.exec();
}

bool QtPrompter::confirm(const QString& text, Default preset)
{
    QMessageBox box(QMessageBox::Question, boxCaption(), text, QMessageBox::Yes | QMessageBox::No, parent());
    box.button(QMessageBox::Yes)->setText(QStringLiteral("Да"));
    box.button(QMessageBox::No)->setText(QStringLiteral("Не"));
    box.setDefaultButton(preset == Default::Yes ? QMessageBox::Yes : QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

Prompter::Answer QtPrompter::askToSave(const QString& text)
{
    QMessageBox box(QMessageBox::Question, boxCaption(), text, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel,
                    parent());
    box.button(QMessageBox::Yes)->setText(QStringLiteral("Да"));
    box.button(QMessageBox::No)->setText(QStringLiteral("Не"));
    box.button(QMessageBox::Cancel)->setText(QStringLiteral("Отказ"));
    box.setDefaultButton(QMessageBox::Yes);
    box.setEscapeButton(QMessageBox::Cancel);
    switch (box.exec()) {
        case QMessageBox::Yes:
            return Answer::Yes;
        case QMessageBox::No:
            return Answer::No;
        default:  // "Отказ", Esc, the close box
            return Answer::Cancel;
    }
}

std::optional<QString> QtPrompter::input(const QString& caption, const QString& prompt, const QString& text)
{
    QInputDialog dialog(parent());
    dialog.setWindowTitle(caption);
    dialog.setLabelText(prompt);
    dialog.setTextValue(text);
    dialog.setOkButtonText(QStringLiteral("OK"));
    dialog.setCancelButtonText(QStringLiteral("Отказ"));
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    // The database keeps Windows-1251 text only.
    return keepWindows1251(dialog.textValue());
}

QString QtPrompter::openFile(const QString& caption, const QString& folder, const QString& filter)
{
    return QFileDialog::getOpenFileName(parent(), caption, folder, filter);
}

QString QtPrompter::browseFolder(const QString& caption, const QString& folder)
{
    return QFileDialog::getExistingDirectory(parent(), caption, folder);
}
