#pragma once

#include "workbook/cell_value.h"
#include "workbook/styles.h"

#include <QDate>
#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

class QTemporaryDir;
class QFile;

namespace transfers {

// A new workbook written row by row, for sheets too large to hold as a
// document: each row goes to a temporary file as it comes and is never read
// back, so memory stays flat however many rows there are. The sheets are
// packed into the file at finish(). Texts are stored in their cells (no
// shared table to keep), numbers as numbers and dates as day numbers with
// a date format. The same rows always give the same bytes.
//
// Every failure is a WorkbookError whose text is shown as it is; the file
// at the path is then as it was.
class StreamedWorkbook {
public:
    // One cell of a row: a value and the format it is shown in.
    struct Cell {
        CellValue value;
        int style = 0;
    };

    StreamedWorkbook();
    ~StreamedWorkbook();
    StreamedWorkbook(const StreamedWorkbook&) = delete;
    StreamedWorkbook& operator=(const StreamedWorkbook&) = delete;

    // The workbook's formats: a caller derives the ones its cells use
    // before the first row that needs them.
    Styles& styles() { return styles_; }

    // Starts the next sheet (ending the one before): its column widths in
    // characters and how many rows at the top stay in view when scrolling.
    void addSheet(const QString& name, const std::vector<double>& widths, int frozenRows = 0);
    // The next row of the current sheet; empty cells are left out.
    void addRow(const std::vector<Cell>& cells);
    int rowCount() const { return row_; }

    // Packs everything into a new file at path, replacing one that is there.
    void finish(const QString& path);

    // The number a spreadsheet stores a date as.
    static double dayNumber(const QDate& date);

private:
    struct Sheet;
    void endSheet();
    void write(const QByteArray& bytes);

    Styles styles_;
    std::unique_ptr<QTemporaryDir> folder_;
    std::vector<std::unique_ptr<Sheet>> sheets_;
    std::unique_ptr<QFile> out_;
    QByteArray buffer_;
    int row_ = 0;
};

}  // namespace transfers
