#pragma once

#include <QString>
#include <QStringList>

class Prompter;

// The blank forms delivered with the program (DeklNAP.xlsx,
// zp_viva11_5.xlsx, zp_v15.mde, and Registar.xlsx, the workbook of an
// empty register) are never filled themselves: the next
// filing needs them blank. A user fills a copy he made elsewhere; the
// screens offer to make that copy, the command line says how.
namespace transfers::delivered_forms {

// The folders the blank forms are delivered in: the program's own folder,
// its "forms" folder, and the forms folder of the source tree the program
// was built from.
QStringList folders(const QString& programFolder);

// Whether the file at `path` is a delivered form rather than a copy of one:
// a file in one of `folders` (also when reached through a link to it), or
// the same file on disk as one of the forms kept there.
bool isDelivered(const QString& path, const QStringList& folders);

// Whether the file at `path` is one of the blank forms itself (or the same
// file on disk), as opposed to any file in a delivery folder: what an
// export that writes a new file must not write over.
bool isBlankForm(const QString& path, const QStringList& folders);

// What the command line says of a delivered form it was given.
QString refusal(const QString& path);

// The file a screen's transfer fills when the user chose `path`: `path`
// itself unless it is a delivered form; for a delivered form, the copy the
// user agreed to make under a name he chose (a folder, then a file name);
// empty when nothing is to be filled (the user said "Не", cancelled, or the
// copy could not be made, which is said).
QString fileToFill(Prompter& prompter, const QString& path, const QStringList& folders);

}  // namespace transfers::delivered_forms
