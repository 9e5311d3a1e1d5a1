// The file row and the progress bar of a register screen that works on a
// file (the exports): built from the description like the rest of it.
#include "common/prompter.h"
#include "common/register_screen.h"

#include <QDir>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>

QWidget* RegisterScreen::buildFileChoice()
{
    const kit::FileChoice& spec = form_.file;
    if (spec.prompt.isEmpty())
        return nullptr;
    auto* row = new QWidget(this);
    row->setObjectName(QStringLiteral("fileRow"));
    auto* edit = new QLineEdit(row);
    edit->setObjectName(spec.edit);
    edit->setMinimumWidth(edit->fontMetrics().averageCharWidth() * 60);
    controls_.insert(spec.edit, edit);
    QPushButton* open = commandButton(spec.button, QStringLiteral("..."), row);
    open->setFixedWidth(open->fontMetrics().horizontalAdvance(QStringLiteral("....")) + 16);
    connect(open, &QPushButton::clicked, this, &RegisterScreen::chooseFile);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(new QLabel(spec.prompt, row));
    layout->addWidget(edit, 1);
    layout->addWidget(open);
    return row;
}

// A file dialog may leave another folder current, and the program finds its
// database and layouts by bare name in the current one.
void RegisterScreen::chooseFile()
{
    const QString current = QDir::currentPath();
    auto* edit = control<QLineEdit>(form_.file.edit);
    const QString chosen = prompter().openFile(form_.caption, edit->text(), form_.file.filter);
    QDir::setCurrent(current);
    if (!chosen.isEmpty())
        edit->setText(QDir::toNativeSeparators(chosen));
}

QWidget* RegisterScreen::buildProgress()
{
    if (form_.progress.isEmpty())
        return nullptr;
    auto* bar = new QProgressBar(this);
    bar->setObjectName(form_.progress);
    bar->setRange(0, 100);
    bar->hide();
    controls_.insert(form_.progress, bar);
    return bar;
}
