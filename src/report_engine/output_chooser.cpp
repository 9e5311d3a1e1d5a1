#include "report_engine/output_chooser.h"

#include <QButtonGroup>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace reports {

namespace {

using Kind = OutputChoice::Kind;

QString extensionOf(Kind kind)
{
    return kind == Kind::Html ? QStringLiteral("html") : QStringLiteral("pdf");
}

}  // namespace

std::optional<OutputChoice> DialogOutputChooser::choose(const OutputRequest& request, QWidget* window)
{
    QDialog dialog(window);
    dialog.setObjectName(QStringLiteral("dlgOutput"));
    dialog.setWindowTitle(request.title.isEmpty() ? QStringLiteral("Изход на справката") : request.title);
    auto* layout = new QVBoxLayout(&dialog);
    QButtonGroup kinds(&dialog);
    const auto option = [&](const QString& text, Kind kind) {
        auto* button = new QRadioButton(text, &dialog);
        kinds.addButton(button, int(kind));
        layout->addWidget(button);
    };
    option(QStringLiteral("Преглед на екрана"), Kind::Preview);
    option(QStringLiteral("Принтер"), Kind::Printer);
    option(QStringLiteral("Файл PDF"), Kind::Pdf);
    if (request.allowHtml)
        option(QStringLiteral("Файл HTML"), Kind::Html);
    kinds.button(int(Kind::Preview))->setChecked(true);

    auto* fileRow = new QHBoxLayout;
    fileRow->addWidget(new QLabel(QStringLiteral("Файл:"), &dialog));
    auto* path = new QLineEdit(&dialog);
    path->setObjectName(QStringLiteral("edFile"));
    path->setMinimumWidth(280);
    auto* browse = new QPushButton(QStringLiteral("..."), &dialog);
    fileRow->addWidget(path);
    fileRow->addWidget(browse);
    layout->addLayout(fileRow);
    const auto kind = [&] { return Kind(kinds.checkedId()); };
    const auto suggest = [&] {
        const bool toFile = kind() == Kind::Pdf || kind() == Kind::Html;
        path->setEnabled(toFile);
        browse->setEnabled(toFile);
        if (toFile && (path->text().isEmpty() || QFileInfo(path->text()).suffix() != extensionOf(kind())))
            path->setText(
                QDir::current().absoluteFilePath(request.suggestedName + QLatin1Char('.') + extensionOf(kind())));
    };
    QObject::connect(&kinds, &QButtonGroup::idClicked, &dialog, suggest);
    suggest();
    QObject::connect(browse, &QPushButton::clicked, &dialog, [&] {
        const QString ext = extensionOf(kind());
        const QString chosen =
            QFileDialog::getSaveFileName(&dialog, dialog.windowTitle(), path->text(), QStringLiteral("*.%1").arg(ext));
        if (!chosen.isEmpty())
            path->setText(chosen);
    });

    auto* buttons = new QDialogButtonBox(&dialog);
    buttons->addButton(QStringLiteral("Добре"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QStringLiteral("Отказ"), QDialogButtonBox::RejectRole);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, [&] {
        // A file output needs a file name; without one the dialog stays.
        if ((kind() == Kind::Pdf || kind() == Kind::Html) && path->text().trimmed().isEmpty())
            return;
        dialog.accept();
    });
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout->addWidget(buttons);

    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return OutputChoice{kind(), path->text().trimmed()};
}

}  // namespace reports
