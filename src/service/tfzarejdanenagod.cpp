#include "service/tfzarejdanenagod.h"

#include "common/failure.h"
#include "common/prompter.h"
#include "dm/tdm.h"
#include "fb/error.h"
#include "service/archive_files.h"

#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

const QString kCaption = QStringLiteral("Зареждане на стар период");
const QString kNotLoaded = QStringLiteral("Старият период не е зареден.");
const QString kNotRegister = QStringLiteral("Избраният файл не е архив на регистъра.");
constexpr long kNotADatabase = 335544323L;  // isc_bad_db_format

}  // namespace

std::optional<int> archiveYearOfFolder(const QString& folderName)
{
    const QString year = folderName.right(4);
    bool digits = year.size() == 4;
    for (const QChar c : year)
        digits = digits && c >= QLatin1Char('0') && c <= QLatin1Char('9');
    if (!digits)
        return std::nullopt;
    return year.toInt();
}

TFZarejdanenagod::TFZarejdanenagod(TDM& dm, Prompter& prompter, PeriodLabel showOldPeriod, QWidget* parent)
    : Screen(parent),
      dm_(dm),
      prompter_(prompter),
      showOldPeriod_(std::move(showOldPeriod)),
      ProgressBar1_(new QProgressBar(this))
{
    setWindowTitle(kCaption);
    ProgressBar1_->setObjectName(QStringLiteral("ProgressBar1"));
    ProgressBar1_->setRange(0, 100);
    ProgressBar1_->setValue(0);
    ProgressBar1_->setMinimumWidth(320);
    auto* BitBtn2 = new QPushButton(kCaption, this);
    BitBtn2->setObjectName(QStringLiteral("BitBtn2"));
    auto* BitBtn3 = new QPushButton(QStringLiteral("Изход"), this);
    BitBtn3->setObjectName(QStringLiteral("BitBtn3"));
    connect(BitBtn2, &QPushButton::clicked, this, &TFZarejdanenagod::load);
    connect(BitBtn3, &QPushButton::clicked, this, &TFZarejdanenagod::closeWindow);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(BitBtn2);
    buttons->addStretch();
    buttons->addWidget(BitBtn3);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(ProgressBar1_);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void TFZarejdanenagod::load()
{
    ProgressBar1_->setValue(10);
    // Both cases of the extension: file names are case-sensitive here, and
    // an archive copied from elsewhere may end in .fdb.
    const QString chosen =
        prompter_.openFile(kCaption, QDir::currentPath(), QStringLiteral("Архивни бази (*.FDB *.fdb)"));
    if (chosen.isEmpty()) {
        prompter_.message(QStringLiteral("Зареждане на стар период - прекратено!"));
        closeWindow();
        return;
    }
    const QFileInfo file(QDir::fromNativeSeparators(chosen));
    if (!isRegister(file.absoluteFilePath()) || !switchTo(file.absoluteFilePath())) {
        ProgressBar1_->setValue(0);
        return;
    }
    // Reports look their layouts up in the current folder: the archive's own.
    QDir::setCurrent(file.absolutePath());
    ProgressBar1_->setValue(100);
    prompter_.message(QStringLiteral("Зареждане на стар период - приключено!"));
    if (const std::optional<int> year = loadedYear(file.absolutePath()))
        showOldPeriod_(*year);
    closeWindow();
}

// Asked before the connection is touched, so that the program stays on its
// database and another program's database is never upgraded.
bool TFZarejdanenagod::isRegister(const QString& file)
{
    using Kind = service::RegisterFault::Kind;
    fb::Connection probe;  // let go when the check is done
    const std::optional<service::RegisterFault> fault = service::registerFault(probe, QDir::fromNativeSeparators(file));
    if (!fault)
        return true;
    switch (fault->kind) {
        case Kind::DoesNotOpen:
            if (fault->error->has(kNotADatabase))
                failure::show(prompter_, kNotLoaded + QLatin1Char('\n') + kNotRegister, fault->error->message());
            else
                failure::show(prompter_, kNotLoaded, *fault->error);
            break;
        case Kind::Foreign:
            failure::show(prompter_, kNotLoaded + QLatin1Char('\n') + kNotRegister, fault->detail);
            break;
        case Kind::Newer:
            // An archive a newer program made: this one would misread it.
            prompter_.message(kNotLoaded + QStringLiteral("\nАрхивът е от по-нова версия на програмата %1.")
                                               .arg(service::newerVersions(fault->detail)));
            break;
    }
    return false;
}

bool TFZarejdanenagod::switchTo(const QString& file)
{
    const QString previous = dm_.IBDatabase1.fileName();
    dm_.setDatabaseName(QDir::toNativeSeparators(file));
    const std::optional<fb::Error> error = service::reconnect(dm_);
    if (!error)
        return true;
    failure::show(prompter_, kNotLoaded, *error);
    dm_.setDatabaseName(previous);
    if (const auto back = service::reconnect(dm_))
        failure::show(prompter_, service::kNotReconnected, *back);
    return false;
}

std::optional<int> TFZarejdanenagod::loadedYear(const QString& folder) const
{
    if (const auto year = archiveYearOfFolder(QFileInfo(folder).fileName()))
        return year;
    // A database kept outside an archive folder: its own farming year.
    if (dm_.TFirma.isOpen() && !dm_.TFirma.isEmpty()) {
        const QDate to = dm_.TFirma.field("TOYEAR").asDate();
        if (to.isValid())
            return to.year();
    }
    return std::nullopt;
}
