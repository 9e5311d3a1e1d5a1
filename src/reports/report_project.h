#pragma once

#include "reports/document.h"
#include "reports/layout.h"
#include "reports/output_chooser.h"
#include "reports/renderer.h"

#include <QHash>
#include <QPointer>
#include <QString>
#include <QWidget>

#include <optional>

class Prompter;

namespace dataset {
class Dataset;
}

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
    QHash<QString, dataset::Dataset*> connections_;
    QHash<QString, Table> rows_;
    DialogOutputChooser dialogChooser_;
    OutputChooser* chooser_ = &dialogChooser_;
    QPointer<QWidget> preview_;
};

}  // namespace reports
