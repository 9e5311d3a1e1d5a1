#include "transfers/delivered_forms.h"

#include "common/failure.h"
#include "common/prompter.h"
#include "transfers/income_declaration_form.h"
#include "transfers/register_export.h"
#include "transfers/survey_card_form.h"
#include "transfers/survey_database.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <filesystem>
#include <system_error>

namespace transfers::delivered_forms {

namespace {

const QString kCopyCaption = QStringLiteral("Копие на образеца");

QStringList formNames()
{
    return {income_declaration::kFileName, survey_card::kFormFileName, survey_database::kFileName,
            register_export::kBlankFileName};
}

// Whether `folder` is one of `folders`, links resolved.
bool isDeliveryFolder(const QString& folder, const QStringList& folders)
{
    const QString canonical = QFileInfo(folder).canonicalFilePath();
    for (const QString& f : folders)
        if (!canonical.isEmpty() && canonical == QFileInfo(f).canonicalFilePath())
            return true;
    return false;
}

bool sameFile(const QString& a, const QString& b)
{
    std::error_code error;
    return std::filesystem::equivalent(std::filesystem::path(a.toStdString()), std::filesystem::path(b.toStdString()),
                                       error) &&
           !error;
}

}  // namespace

QStringList folders(const QString& programFolder)
{
    return {programFolder, QDir(programFolder).filePath(QStringLiteral("forms")),
            QStringLiteral(ARVENTA_SOURCE_FORMS_DIR)};
}

bool isDelivered(const QString& path, const QStringList& folders)
{
    const QFileInfo file(QDir::fromNativeSeparators(path));
    if (!file.exists())
        return false;
    return isDeliveryFolder(QFileInfo(file.canonicalFilePath()).absolutePath(), folders) || isBlankForm(path, folders);
}

bool isBlankForm(const QString& path, const QStringList& folders)
{
    const QFileInfo file(QDir::fromNativeSeparators(path));
    if (!file.exists())
        return false;
    for (const QString& f : folders) {
        const QString delivered = QFileInfo(f).canonicalFilePath();
        if (delivered.isEmpty())
            continue;
        for (const QString& name : formNames()) {
            const QString form = QDir(delivered).filePath(name);
            if (QFileInfo::exists(form) && sameFile(file.absoluteFilePath(), form))
                return true;
        }
    }
    return false;
}

QString refusal(const QString& path)
{
    return QStringLiteral(
               "Файлът „%1“ е празен образец, доставен с програмата, и не се попълва.\n"
               "Копирайте го в друга папка и посочете копието.")
        .arg(QDir::toNativeSeparators(path));
}

QString fileToFill(Prompter& prompter, const QString& path, const QStringList& folders)
{
    if (!isDelivered(path, folders))
        return path;
    const QFileInfo blank(QDir::fromNativeSeparators(path));
    if (!prompter.confirm(QStringLiteral("Файлът „%1“ е празен образец, доставен с програмата, и не се попълва.\n"
                                         "Желаете ли да го копирате под име по ваш избор и да попълните копието?")
                              .arg(QDir::toNativeSeparators(path)),
                          Prompter::Default::No))
        return {};
    const QString current = QDir::currentPath();  // a dialog may leave another folder current
    const QString folder =
        prompter.browseFolder(QStringLiteral("Изберете директория за копието ..."), QDir::homePath());
    QDir::setCurrent(current);
    if (folder.isEmpty())
        return {};
    const std::optional<QString> typed =
        prompter.input(kCopyCaption, QStringLiteral("Име на файла:"), blank.fileName());
    if (!typed || typed->trimmed().isEmpty())
        return {};
    QString name = typed->trimmed();
    if (name.contains(QLatin1Char('/')) || name.contains(QLatin1Char('\\'))) {
        prompter.message(QStringLiteral("Името на файла не може да съдържа „/“ или „\\“!"));
        return {};
    }
    if (QFileInfo(name).suffix().compare(blank.suffix(), Qt::CaseInsensitive) != 0)
        name += QLatin1Char('.') + blank.suffix();
    const QString target = QDir(QDir::fromNativeSeparators(folder)).filePath(name);
    const QString shown = QDir::toNativeSeparators(target);
    if (QFileInfo::exists(target)) {
        prompter.message(QStringLiteral("Файлът „%1“ вече съществува. Изберете друго име!").arg(shown));
        return {};
    }
    if (isDeliveryFolder(QFileInfo(target).absolutePath(), folders)) {
        prompter.message(QStringLiteral("Копието не може да бъде в папката на програмата. Изберете друга директория!"));
        return {};
    }
    QFile source(blank.absoluteFilePath());
    if (!source.copy(target)) {
        failure::show(prompter, QStringLiteral("Образецът не е копиран във „%1“.").arg(shown), source.errorString());
        return {};
    }
    // A form installed read-only gives a read-only copy; the copy is the user's to fill.
    QFile::setPermissions(target, QFile::permissions(target) | QFile::WriteOwner | QFile::ReadOwner);
    return shown;
}

}  // namespace transfers::delivered_forms
