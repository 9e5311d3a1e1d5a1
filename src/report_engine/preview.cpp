#include "report_engine/preview.h"

#include "report_engine/output.h"

#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>

namespace reports {

QWidget* showPreview(std::shared_ptr<const Document> doc, const QString& title, bool maximised, QWidget* window)
{
    auto* printer = new QPrinter(QPrinter::HighResolution);
    printer->setPageLayout(doc->page);
    printer->setDocName(doc->title);
    auto* preview = new QPrintPreviewDialog(printer, window);
    preview->setObjectName(QStringLiteral("frmPreview"));
    preview->setAttribute(Qt::WA_DeleteOnClose);
    preview->setWindowTitle(title);
    QObject::connect(preview, &QObject::destroyed, [printer] { delete printer; });
    QObject::connect(preview, &QPrintPreviewDialog::paintRequested, preview, [doc](QPrinter* target) {
        // Printing from the preview may have changed the printer's page; the layout's page wins.
        target->setPageLayout(doc->page);
        paint(*doc, *target);
    });
    if (maximised)
        preview->showMaximized();
    else
        preview->show();
    return preview;
}

bool printDocument(const Document& doc, QWidget* window)
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageLayout(doc.page);
    printer.setDocName(doc.title);
    QPrintDialog dialog(&printer, window);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    printer.setPageLayout(doc.page);
    return paint(doc, printer);
}

}  // namespace reports
