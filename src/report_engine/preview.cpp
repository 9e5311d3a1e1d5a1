#include "report_engine/preview.h"

#include "report_engine/output.h"

#include <QGuiApplication>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QScreen>
#include <QWidget>

#include <algorithm>

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
    // The pages open at the page's width, in a window as tall as the screen
    // allows (the dialog's own choice is a small window at a small zoom).
    if (auto* pages = preview->findChild<QPrintPreviewWidget*>())
        pages->fitToWidth();
    if (maximised) {
        preview->showMaximized();
        return preview;
    }
    if (const QScreen* screen = (window ? window->screen() : QGuiApplication::primaryScreen())) {
        const QRect room = screen->availableGeometry();
        const QSize size(std::min(room.width(), room.height() * 5 / 6), room.height() * 9 / 10);
        preview->resize(size);
        preview->move(room.center() - QPoint(size.width() / 2, size.height() / 2));
    }
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
