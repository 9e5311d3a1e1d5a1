#include "transfers/tfiznostablici.h"

#include "common/failure.h"
#include "common/prompter.h"
#include "dm/tdm.h"
#include "fb/error.h"
#include "transfers/delivered_forms.h"
#include "transfers/register_export.h"
#include "workbook/workbook_error.h"
#include "workbook/writable.h"

#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace re = transfers::register_export;

namespace {

QPushButton* button(QWidget* parent, const char* name, const QString& text)
{
    auto* b = new QPushButton(text, parent);
    b->setObjectName(QLatin1String(name));
    return b;
}

// A new name each day, so that yesterday's workbook is not offered for replacing.
QString proposedFile()
{
    return QDir::toNativeSeparators(QDir::current().filePath(
        QStringLiteral("Registar_%1.xlsx").arg(QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd")))));
}

}  // namespace

TFIznosTablici::TFIznosTablici(TDM& dm, Prompter& prompter, QString programFolder, QWidget* parent)
    : Screen(parent),
      dm_(dm),
      prompter_(prompter),
      programFolder_(std::move(programFolder)),
      rememberedFolder_(QDir::currentPath()),
      edFileName_(new QLineEdit(proposedFile(), this)),
      ProgressBar1_(new QProgressBar(this))
{
    setObjectName(QStringLiteral("TFIznosTablici"));
    setWindowTitle(QStringLiteral("Износ в таблици"));
    edFileName_->setObjectName(QStringLiteral("edFileName"));
    edFileName_->setMinimumWidth(edFileName_->fontMetrics().averageCharWidth() * 60);
    ProgressBar1_->setObjectName(QStringLiteral("ProgressBar1"));
    ProgressBar1_->setRange(0, 100);
    ProgressBar1_->setValue(0);

    auto* about = new QLabel(QStringLiteral("Целият регистър се записва в нова работна книга: лист „Обяснения“ с "
                                            "обяснение на всяка колона и по един лист за собствениците, землищата, "
                                            "местностите, имотите, категориите, деловете, договорите и правилата "
                                            "за рента."),
                             this);
    about->setObjectName(QStringLiteral("labOpisanie"));
    about->setWordWrap(true);
    QPushButton* btnOpen = button(this, "btnOpen", QStringLiteral("..."));
    btnOpen->setFixedWidth(btnOpen->fontMetrics().horizontalAdvance(QStringLiteral("....")) + 16);
    QPushButton* bitIznos = button(this, "bitIznos", QStringLiteral("Износ"));
    QPushButton* bitExit = button(this, "bitExit", QStringLiteral("Изход"));
    connect(btnOpen, &QPushButton::clicked, this, &TFIznosTablici::browse);
    connect(bitIznos, &QPushButton::clicked, this, &TFIznosTablici::exportRegister);
    connect(bitExit, &QPushButton::clicked, this, &TFIznosTablici::closeWindow);

    auto* fileRow = new QHBoxLayout;
    fileRow->addWidget(new QLabel(QStringLiteral("Име на файл:"), this));
    fileRow->addWidget(edFileName_, 1);
    fileRow->addWidget(btnOpen);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(about);
    layout->addLayout(fileRow);
    layout->addWidget(bitIznos);
    layout->addWidget(ProgressBar1_);
    layout->addWidget(bitExit, 0, Qt::AlignRight);
}

// A file dialog may leave another folder current, and the program finds its
// database and layouts by bare name in the current one.
void TFIznosTablici::browse()
{
    const QString current = QDir::currentPath();
    const QString chosen =
        prompter_.openFile(windowTitle(), edFileName_->text(), QStringLiteral("Excel Files (*.xlsx)"));
    QDir::setCurrent(current);
    if (!chosen.isEmpty())
        edFileName_->setText(QDir::toNativeSeparators(chosen));
}

bool TFIznosTablici::acceptable(const QString& path)
{
    if (path.isEmpty() || QFileInfo(path).fileName().isEmpty()) {
        prompter_.message(re::kNoFile);
        return false;
    }
    if (transfers::delivered_forms::isBlankForm(path, transfers::delivered_forms::folders(programFolder_))) {
        prompter_.message(re::blankRefusal(path));
        return false;
    }
    // Said before the question whether to replace a file that cannot be written anyway.
    if (const auto refusal = transfers::writeRefusal(path)) {
        failure::show(prompter_, transfers::whatFailed(re::kFailed, *refusal), refusal->detail);
        return false;
    }
    // Replaced, the workbook of an earlier export is gone: Enter alone must not do it.
    return !QFileInfo::exists(path) || prompter_.confirm(re::overwriteQuestion(path), Prompter::Default::No);
}

void TFIznosTablici::exportRegister()
{
    const QString path = QDir::fromNativeSeparators(edFileName_->text().trimmed());
    if (!acceptable(path))
        return;
    ProgressBar1_->setValue(0);
    try {
        re::write(dm_.IBDatabase1, path, [this](int percent) {
            ProgressBar1_->setValue(percent);
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        });
    } catch (const transfers::WorkbookError& e) {
        ProgressBar1_->setValue(0);
        failure::show(prompter_, re::kFailed, e);
        return;
    } catch (const fb::Error& e) {
        ProgressBar1_->setValue(0);
        failure::show(prompter_, re::kFailed, e);
        return;
    }
    prompter_.message(re::kDone);
}

void TFIznosTablici::aboutToClose()
{
    QDir::setCurrent(rememberedFolder_);
}
