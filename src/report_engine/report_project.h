#pragma once

#include "report_engine/document.h"
#include "report_engine/layout.h"
#include "report_engine/output_chooser.h"
#include "report_engine/renderer.h"

#include <QHash>
#include <QPointer>
#include <QString>
#include <QWidget>

#include <functional>
#include <optional>

class Prompter;

namespace dataset {
class Database;
class Dataset;
}  // namespace dataset

namespace reports {

struct ExecuteOptions {
    QString previewTitle = QStringLiteral("Предпечат");
    bool previewMaximised = false;
    QString outputDialogTitle;  // empty: the engine's own title
    bool allowHtml = false;
};

// One layout file on a screen, with the named connections its layout reads.
//
// The file is looked up by its bare name in the current folder when the
// project opens. Executing asks where the report goes, reads every row and
// field of each bound connection at that moment (a closed dataset is opened
// for the run and closed again, an open one stays on its row), lays the
// report out and sends it there. Every failure is a Bulgarian message
// through the Prompter and a false result; nothing is thrown.
//
// Every page is stamped at its foot with the firm, the farming year and the
// day of printing (footText), and "стр. N от M". Firm and year are read from
// the FIRMA row of the database the report reads (that of the first dataset
// bound, or the one given), at the moment it runs: after an archived period
// was loaded, the archive's own.
class ReportProject {
public:
    ReportProject(const QString& fileName, Prompter& prompter, QWidget* window);
    ReportProject(const ReportProject&) = delete;
    ReportProject& operator=(const ReportProject&) = delete;

    // Also at run time: the next execution reads the new dataset.
    void bindConnection(const QString& name, dataset::Dataset& data);
    // A connection over rows the screen keeps itself (a list it gathered),
    // read as they stand when the report runs; it replaces a dataset bound
    // under the same name.
    void bindRows(const QString& name, Table rows);
    // The database whose firm and farming year the pages name, for a report
    // over rows the screen gathered itself. Not owned.
    void setDatabase(dataset::Database& database) { database_ = &database; }
    // The filter the printed rows were chosen by, asked when the report runs
    // and printed on every page; an empty text (or none given) prints nothing.
    void setFilter(std::function<QString()> describe) { filter_ = std::move(describe); }
    // Loads the layout; a missing or broken file is a message naming the file, and false.
    bool open();
    bool isOpen() const { return layout_.has_value(); }
    // Opens when needed, asks the output, renders; false when it stopped.
    bool execute(const ExecuteOptions& options = {});
    void close() { layout_.reset(); }

    const QString& fileName() const { return fileName_; }
    // Who answers the output question; the engine's dialog unless set. Not owned.
    void setOutputChooser(OutputChooser& chooser) { chooser_ = &chooser; }
    // The preview window the last execution opened, while it is open.
    QWidget* preview() const { return preview_; }

private:
    bool send(const Document& doc, const OutputChoice& choice, const ExecuteOptions& options);
    bool writePdfPages(const Tables& tables, const QString& path, const Progress& step);

    QString fileName_;
    Prompter& prompter_;
    QWidget* window_;
    std::optional<Layout> layout_;
    PageStamp stamp() const;

    QHash<QString, dataset::Dataset*> connections_;
    dataset::Database* database_ = nullptr;
    std::function<QString()> filter_;
    QHash<QString, Table> rows_;
    DialogOutputChooser dialogChooser_;
    OutputChooser* chooser_ = &dialogChooser_;
    QPointer<QWidget> preview_;
};

// The text at the foot of every page: the firm, "Стопанска година 2024/2025"
// and "Отпечатано на 10.12.2026", those that are known, joined by " – ".
QString footText(const QString& firm, const QDate& from, const QDate& to, const QDate& printed);

}  // namespace reports
