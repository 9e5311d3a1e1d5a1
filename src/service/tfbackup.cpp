#include "service/tfbackup.h"

#include "common/failure.h"
#include "common/prompter.h"
#include "dm/tdm.h"
#include "service/archive_files.h"
#include "service/server_archive.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

const QString kDatabaseFile = QStringLiteral("ARVENTA.FDB");

QPushButton* button(QWidget* parent, const char* name, const QString& text)
{
    auto* b = new QPushButton(text, parent);
    b->setObjectName(QLatin1String(name));
    return b;
}

// What the backup copies, in words: the file, the period when an archived
// one is loaded, and the farming year the firm row of that database holds.
QString copiedDatabase(TDM& dm, const QString& file, bool oldPeriod)
{
    const bool server = fb::Connection::isServerName(file);
    QString text = QStringLiteral("Ще бъде копирана базата „%1“").arg(server ? file : QDir::toNativeSeparators(file));
    if (oldPeriod)
        text += QStringLiteral(" на заредения стар период");
    if (dm.TFirma.isOpen() && !dm.TFirma.isEmpty()) {
        const QDate from = dm.TFirma.field("FROMYEAR").asDate();
        const QDate to = dm.TFirma.field("TOYEAR").asDate();
        if (from.isValid() && to.isValid())
            text += QStringLiteral(" за стопанска %1/%2 година").arg(from.year()).arg(to.year());
    }
    return text + QLatin1Char('.');
}

}  // namespace

QString backupFolderName(const QDate& day)
{
    QString text = QLocale().toString(day, QLocale::ShortFormat);
    text.replace(QLatin1Char('/'), QLatin1Char('.')).replace(QLatin1Char('\\'), QLatin1Char('.'));
    return QStringLiteral("Archive_") + text;
}

TFBackup::TFBackup(TDM& dm, Prompter& prompter, Clock today, bool oldPeriod, QWidget* parent)
    : Screen(parent),
      dm_(dm),
      prompter_(prompter),
      today_(std::move(today)),
      rememberedFolder_(QDir::currentPath()),
      labBaza_(new QLabel(copiedDatabase(dm, service::databaseFilePath(dm, rememberedFolder_), oldPeriod), this)),
      edFileName_(new QLineEdit(this)),
      ProgressBar1_(new QProgressBar(this))
{
    setWindowTitle(QStringLiteral("Създаване на архив"));
    labBaza_->setObjectName(QStringLiteral("labBaza"));
    labBaza_->setWordWrap(true);
    edFileName_->setObjectName(QStringLiteral("edFileName"));
    edFileName_->setMinimumWidth(360);
    ProgressBar1_->setObjectName(QStringLiteral("ProgressBar1"));
    ProgressBar1_->setRange(0, 100);
    ProgressBar1_->setValue(0);

    QPushButton* btnOpen = button(this, "btnOpen", QStringLiteral("..."));
    QPushButton* BitBtn2 = button(this, "BitBtn2", QStringLiteral("Създаване на архив"));
    QPushButton* BitBtn3 = button(this, "BitBtn3", QStringLiteral("Изход"));
    connect(btnOpen, &QPushButton::clicked, this, &TFBackup::browse);
    connect(BitBtn2, &QPushButton::clicked, this, &TFBackup::makeBackup);
    connect(BitBtn3, &QPushButton::clicked, this, &TFBackup::closeWindow);

    auto* folderRow = new QHBoxLayout;
    folderRow->addWidget(edFileName_);
    folderRow->addWidget(btnOpen);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(labBaza_);
    layout->addWidget(new QLabel(QStringLiteral("Моля, изберете директория за съхранение:"), this));
    layout->addLayout(folderRow);
    layout->addWidget(BitBtn2);
    layout->addWidget(ProgressBar1_);
    layout->addWidget(BitBtn3, 0, Qt::AlignRight);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void TFBackup::browse()
{
    QCoreApplication::processEvents();  // the click's repaint first: the dialog may take a while
    const QString typed = QDir::fromNativeSeparators(edFileName_->text());
    const QString start = !typed.isEmpty() && QFileInfo(typed).isDir() ? typed : QString();
    const QString chosen = prompter_.browseFolder(QStringLiteral("Изберете директория ..."), start);
    if (!chosen.isEmpty())
        edFileName_->setText(QDir::toNativeSeparators(chosen));
}

// Every refusal comes before the connection is touched: the database is
// closed only while its file is copied.
void TFBackup::makeBackup()
{
    ProgressBar1_->setValue(0);
    const QString target = QDir::fromNativeSeparators(edFileName_->text().trimmed());
    if (target.isEmpty()) {
        prompter_.message(QStringLiteral("Изберете директория!"));
        return;
    }
    ProgressBar1_->setValue(20);
    if (!QFileInfo(target).isDir()) {
        prompter_.message(QStringLiteral("Невалидна директория!"));
        ProgressBar1_->setValue(0);
        return;
    }
    const QString folder = QDir(target).filePath(backupFolderName(today_()));
    if (QFileInfo::exists(folder)) {
        prompter_.message(QStringLiteral("Има създаден архив!"));
        ProgressBar1_->setValue(0);
        return;
    }
    const std::optional<QString> reason =
        service::makeFolder(folder)
            ? copyInto(folder)
            : QStringLiteral("Папката „%1“ не може да бъде създадена!").arg(QDir::toNativeSeparators(folder));
    if (reason) {
        // An empty or half folder would pass for the day's backup and bar the next try.
        service::removeFolder(folder);
        failure::show(prompter_, QStringLiteral("Архива не е създаден!"), *reason);
        ProgressBar1_->setValue(0);
        return;
    }
    ProgressBar1_->setValue(100);
    prompter_.message(QStringLiteral("Създадено е архивно копие!"));
    ProgressBar1_->setValue(0);
}

std::optional<QString> TFBackup::copyInto(const QString& folder)
{
    ProgressBar1_->setValue(60);
    // The connection's own file: after an archived period was loaded that
    // is the archive's database.
    const QString source = service::databaseFilePath(dm_, rememberedFolder_);
    // A server's file is not ours to copy: its engine backs the register up
    // while every desk, this one too, stays connected, and the folder gets
    // the engine's backup and its restore, checked.
    if (service::onServer(dm_))
        return service::archiveFromServer(source, folder, true);
    service::releaseDatabase(dm_);
    const std::optional<QString> reason = service::copyDatabase(source, QDir(folder).filePath(kDatabaseFile));
    if (const auto error = service::reconnect(dm_))
        failure::show(prompter_, service::kNotReconnected, *error);
    return reason;
}

void TFBackup::aboutToClose()
{
    QDir::setCurrent(rememberedFolder_);
}
