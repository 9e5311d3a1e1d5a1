#pragma once

#include "workbook/macro_table.h"
#include "workbook/package.h"
#include "workbook/shared_strings.h"
#include "workbook/styles.h"
#include "workbook/worksheet.h"
#include "workbook/xml_part.h"

#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

namespace transfers {

// A workbook in Office Open XML (.xlsx), read and written by the program
// itself: the stand-in for the spreadsheet application the exports drive.
//
// Worksheets are numbered from 1 as in the spreadsheet (worksheet(1) is the
// first). Every failure is a WorkbookError whose text is shown as it is.
// The parts of a template the layer does not understand (drawings, macros
// of the original, printer settings, ...) are saved back unchanged.
class Workbook {
public:
    using Macro = MacroTable::Macro;

    // Opens a workbook file (a template or a filled form).
    static std::unique_ptr<Workbook> open(const QString& path);
    // The same, refusing with a WorkbookError a worksheet that has or
    // declares more than maxRows rows, before its cells are read: a file
    // of data must not take all memory to be looked at.
    static std::unique_ptr<Workbook> open(const QString& path, int maxRows);
    // A new workbook with one empty worksheet, "Лист1"; it has no file until saveAs.
    static std::unique_ptr<Workbook> create();
    ~Workbook();

    int worksheetCount() const { return int(sheets_.size()); }
    Worksheet& worksheet(int number);
    // By name without regard to case; a WorkbookError when there is none.
    Worksheet& worksheet(const QString& name);
    Worksheet* findWorksheet(const QString& name);
    QStringList worksheetNames() const;
    Worksheet& addWorksheet(const QString& name);
    Worksheet& activeSheet();

    // The workbook's structure protection, without a password.
    void protect();
    void unprotect();
    bool isProtected() const;

    void registerMacro(const QString& name, Macro macro) { macros_.add(name, std::move(macro)); }
    // Runs the macro and returns when it ends; its errors pass through.
    void run(const QString& macro);

    // Saves under the file the workbook came from; a new one has none yet.
    void save();
    // Saves under path, replacing a file that is there. The workbook is
    // written to a temporary file beside path first and renamed over it, so
    // a failure leaves path (and the template) as they were.
    void saveAs(const QString& path);
    const QString& path() const { return path_; }
    // The file name without folder, as qualified macro names give it.
    QString fileName() const;

    // For the worksheets.
    SharedStrings& sharedStrings() { return *sharedStrings_; }
    Styles& styles() { return *styles_; }
    bool isActive(const Worksheet& sheet) const { return sheet.position() == activePosition_; }
    void setActive(const Worksheet& sheet) { activePosition_ = sheet.position(); }
    // The defined name scoped to the sheet at position; null when missing
    // and not asked to make it.
    pugi::xml_node sheetName(const QString& name, int position, bool make);
    void checkNewSheetName(const QString& name, const Worksheet* renamed) const;

private:
    Workbook(Package package, QString path, int maxRows = 0);
    void load();
    void loadSheets();
    void ensurePart(QString& part, const char* relType, const QString& name, const char* contentType,
                    const QByteArray& bytes);
    QString addRelationship(const char* type, const QString& part);
    void addContentType(const QString& part, const char* type);
    void removeCalcChain();
    QByteArray saveWorkbookPart();
    QString relsPart() const;

    Package package_;
    QString path_;
    QString workbookPart_;
    xml::Document workbookDoc_;
    xml::Document relsDoc_;
    xml::Document contentTypes_;
    std::vector<std::unique_ptr<Worksheet>> sheets_;
    std::unique_ptr<SharedStrings> sharedStrings_;
    std::unique_ptr<Styles> styles_;
    QString sharedStringsPart_;
    QString stylesPart_;
    int activePosition_ = 0;
    int maxRows_ = 0;  // 0: no limit
    MacroTable macros_;
};

}  // namespace transfers
