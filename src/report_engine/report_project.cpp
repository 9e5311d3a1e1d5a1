#include "report_engine/report_project.h"

#include "common/failure.h"
#include "common/prompter.h"
#include "dataset/database.h"
#include "dataset/dataset.h"
#include "dataset/transaction_area.h"
#include "fb/error.h"
#include "fb/statement.h"
#include "fb/transaction.h"
#include "report_engine/output.h"
#include "report_engine/preview.h"
#include "report_engine/renderer.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProgressDialog>

namespace reports {

namespace {

struct Firm {
    QString name;
    QDate from, to;
};

// The firm's row as it is now, read in a transaction of its own; a database
// that cannot say leaves the pages without firm and year rather than
// stopping the print.
Firm firmOf(dataset::Database* database)
{
    if (!database)
        return {};
    try {
        database->ensureConnected();
        fb::Connection& connection = database->connection();
        fb::Transaction tr(connection, fb::TransactionOptions::readCommitted(true));
        fb::Statement st(connection, QStringLiteral("select naim_firma, fromyear, toyear from firma"));
        const auto rows = fb::fetchAll(st, tr);
        tr.commit();
        if (rows.empty())
            return {};
        const auto& row = rows.front();
        return {row[0].isNull() ? QString() : row[0].toString().trimmed(), row[1].isNull() ? QDate() : row[1].toDate(),
                row[2].isNull() ? QDate() : row[2].toDate()};
    } catch (const fb::Error&) {
        return {};
    }
}

}  // namespace

QString footText(const QString& firm, const QDate& from, const QDate& to, const QDate& printed)
{
    QStringList parts;
    if (!firm.isEmpty())
        parts << firm;
    if (from.isValid() && to.isValid())
        parts << QStringLiteral("Стопанска година %1/%2").arg(from.year()).arg(to.year());
    parts << QStringLiteral("Отпечатано на ") + printed.toString(QStringLiteral("dd.MM.yyyy"));
    return parts.join(QStringLiteral(" – "));
}

ReportProject::ReportProject(const QString& fileName, Prompter& prompter, QWidget* window)
    : fileName_(fileName), prompter_(prompter), window_(window)
{
}

void ReportProject::bindConnection(const QString& name, dataset::Dataset& data)
{
    rows_.remove(name);
    connections_.insert(name, &data);
    if (!database_)
        database_ = &data.area().database();
}

PageStamp ReportProject::stamp() const
{
    const Firm firm = firmOf(database_);
    return {footText(firm.name, firm.from, firm.to, QDate::currentDate()), filter_ ? filter_() : QString()};
}

void ReportProject::bindRows(const QString& name, Table rows)
{
    connections_.remove(name);
    rows.name = name;
    while (rows.formats.size() < rows.fields.size())
        rows.formats.append(QString());
    rows_.insert(name, std::move(rows));
}

bool ReportProject::open()
{
    const QString path = QDir::current().absoluteFilePath(fileName_);
    QFile file(path);
    if (!file.exists()) {
        prompter_.message(QStringLiteral("Файлът на справката „%1“ не е намерен в папката „%2“!")
                              .arg(fileName_, QDir::toNativeSeparators(QFileInfo(path).absolutePath())));
        return false;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        failure::show(prompter_, QStringLiteral("Файлът на справката „%1“ не може да бъде прочетен.").arg(fileName_),
                      file.errorString());
        return false;
    }
    try {
        layout_ = parseLayout(file.readAll());
    } catch (const ReportError& e) {
        layout_.reset();
        failure::show(prompter_, QStringLiteral("Файлът на справката „%1“ е повреден.").arg(fileName_), e.message());
        return false;
    }
    return true;
}

bool ReportProject::execute(const ExecuteOptions& options)
{
    if (!isOpen() && !open())
        return false;
    const auto choice = chooser_->choose(
        {options.outputDialogTitle, options.allowHtml, QFileInfo(fileName_).completeBaseName()}, window_);
    if (!choice)
        return false;

    Tables tables = rows_;
    for (const QString& name : layout_->connections()) {
        if (!connections_.contains(name) && !rows_.contains(name)) {
            prompter_.message(
                QStringLiteral("Справката „%1“ чете връзката „%2“, която не е свързана с данни!").arg(fileName_, name));
            return false;
        }
    }
    try {
        for (auto it = connections_.cbegin(); it != connections_.cend(); ++it)
            tables.insert(it.key(), readDataset(it.key(), *it.value()));
    } catch (const fb::Error& e) {
        failure::show(prompter_, QStringLiteral("Справката „%1“ не е отпечатана.").arg(fileName_), e);
        return false;
    }

    std::optional<Document> doc;
    try {
        std::unique_ptr<QProgressDialog> progress;
        Progress step;
        if (window_) {
            progress = std::make_unique<QProgressDialog>(QStringLiteral("Подготовка на справката…"),
                                                         QStringLiteral("Отказ"), 0, 0, window_);
            progress->setWindowModality(Qt::WindowModal);
            progress->setMinimumDuration(800);
            step = [&](int done, int total) {
                progress->setMaximum(total);
                progress->setValue(done);
                return !progress->wasCanceled();
            };
        }
        if (choice->kind == OutputChoice::Kind::Pdf)
            return writePdfPages(tables, choice->path, step);
        doc = render(*layout_, tables, step, stamp());
    } catch (const ReportError& e) {
        failure::show(prompter_, QStringLiteral("Справката „%1“ не може да бъде изпълнена.").arg(fileName_),
                      e.message());
        return false;
    }
    if (!doc)
        return false;
    doc->title = QFileInfo(fileName_).completeBaseName();
    return send(*doc, *choice, options);
}

// A PDF is written as the pages are laid out, so that a list of thousands
// of pages never sits in memory whole. A report stopped halfway leaves no file.
bool ReportProject::writePdfPages(const Tables& tables, const QString& path, const Progress& step)
{
    const auto cannotWrite = [&] {
        prompter_.message(QStringLiteral("Файлът „%1“ не може да бъде записан!").arg(QDir::toNativeSeparators(path)));
        return false;
    };
    std::optional<QPageLayout> done;
    try {
        PdfPages pdf(path, QFileInfo(fileName_).completeBaseName(), layout_->page);
        if (!pdf.isOpen())
            return cannotWrite();
        done = renderPages(
            *layout_, tables, [&](const std::vector<Item>& page) { pdf.add(page); }, step, stamp());
        if (done && !pdf.finish())
            return cannotWrite();
    } catch (const ReportError&) {
        QFile::remove(path);
        throw;
    }
    if (!done)
        QFile::remove(path);
    return done.has_value();
}

bool ReportProject::send(const Document& doc, const OutputChoice& choice, const ExecuteOptions& options)
{
    using Kind = OutputChoice::Kind;
    switch (choice.kind) {
        case Kind::Preview:
            preview_ = showPreview(std::make_shared<const Document>(doc), options.previewTitle,
                                   options.previewMaximised, window_);
            return true;
        case Kind::Printer:
            return printDocument(doc, window_);
        case Kind::Pdf:
        case Kind::Html:
            if (choice.kind == Kind::Pdf ? writePdf(doc, choice.path) : writeHtml(doc, choice.path))
                return true;
            prompter_.message(
                QStringLiteral("Файлът „%1“ не може да бъде записан!").arg(QDir::toNativeSeparators(choice.path)));
            return false;
    }
    return false;
}

}  // namespace reports
