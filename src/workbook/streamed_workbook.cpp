#include "workbook/streamed_workbook.h"

#include "workbook/cell_address.h"
#include "workbook/workbook_error.h"
#include "workbook/xml_part.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <zip.h>

#include <algorithm>
#include <cmath>
#include <ctime>

namespace transfers {

namespace {

constexpr qsizetype kFlushAt = 1 << 20;
constexpr qsizetype kMaxCellText = 32767;

const char* const kXmlHead = R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)";
const char* const kMainNs = "http://schemas.openxmlformats.org/spreadsheetml/2006/main";
const char* const kRelNs = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";

QString native(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

// Text as element content: the markup characters as entities, the
// characters XML cannot carry as the spreadsheet's own escapes.
QByteArray escaped(const QString& text)
{
    QByteArray out = xml::escapeText(text).toUtf8();
    if (out.contains('&'))
        out.replace("&", "&amp;");
    if (out.contains('<'))
        out.replace("<", "&lt;");
    if (out.contains('>'))
        out.replace(">", "&gt;");
    if (out.contains('"'))
        out.replace("\"", "&quot;");
    return out;
}

// Excel and most writers stamp every entry with the zip epoch.
time_t fixedEntryTime()
{
    std::tm t{};
    t.tm_year = 80;
    t.tm_mday = 1;
    return std::mktime(&t);
}

void checkName(const QString& name, const QStringList& taken)
{
    static const QString forbidden = QStringLiteral(":\\/?*[]");
    const bool badChar = std::any_of(name.begin(), name.end(), [](QChar c) { return forbidden.contains(c); });
    if (name.isEmpty() || name.size() > 31 || badChar || name.startsWith(u'\'') || name.endsWith(u'\''))
        throw WorkbookError(QStringLiteral("\"%1\" не е допустимо име на лист").arg(name));
    for (const QString& t : taken)
        if (t.compare(name, Qt::CaseInsensitive) == 0)
            throw WorkbookError(QStringLiteral("В работната книга вече има лист \"%1\"").arg(name));
}

QByteArray sheetHead(const std::vector<double>& widths, int frozenRows, bool first)
{
    QByteArray head = kXmlHead;
    head += QByteArray("<worksheet xmlns=\"") + kMainNs + "\" xmlns:r=\"" + kRelNs + "\">";
    head += first ? R"(<sheetViews><sheetView tabSelected="1" workbookViewId="0">)"
                  : R"(<sheetViews><sheetView workbookViewId="0">)";
    if (frozenRows > 0) {
        const QByteArray topLeft = "A" + QByteArray::number(frozenRows + 1);
        head += "<pane ySplit=\"" + QByteArray::number(frozenRows) + "\" topLeftCell=\"" + topLeft +
                R"(" activePane="bottomLeft" state="frozen"/><selection pane="bottomLeft" activeCell=")" + topLeft +
                "\" sqref=\"" + topLeft + "\"/>";
    }
    head += "</sheetView></sheetViews>";
    if (!widths.empty()) {
        head += "<cols>";
        for (size_t i = 0; i < widths.size(); ++i) {
            const QByteArray n = QByteArray::number(qulonglong(i + 1));
            head += "<col min=\"" + n + "\" max=\"" + n + "\" width=\"" + numberText(widths[i]).toLatin1() +
                    R"(" customWidth="1"/>)";
        }
        head += "</cols>";
    }
    return head + "<sheetData>";
}

}  // namespace

struct StreamedWorkbook::Sheet {
    QString name;
    QString file;
};

StreamedWorkbook::StreamedWorkbook() = default;

StreamedWorkbook::~StreamedWorkbook() = default;

double StreamedWorkbook::dayNumber(const QDate& date)
{
    return double(QDate(1899, 12, 30).daysTo(date));
}

void StreamedWorkbook::addSheet(const QString& name, const std::vector<double>& widths, int frozenRows)
{
    QStringList taken;
    for (const auto& s : sheets_)
        taken << s->name;
    checkName(name, taken);
    if (int(widths.size()) > kMaxColumns)
        throw WorkbookError(QStringLiteral("Листът \"%1\" има повече колони от допустимото").arg(name));
    endSheet();
    if (!folder_) {
        folder_ = std::make_unique<QTemporaryDir>();
        if (!folder_->isValid())
            throw WorkbookError(
                QStringLiteral("Не може да бъде създадена временна папка: %1").arg(folder_->errorString()));
    }
    auto sheet = std::make_unique<Sheet>();
    sheet->name = name;
    sheet->file = folder_->filePath(QStringLiteral("sheet%1.xml").arg(sheets_.size() + 1));
    out_ = std::make_unique<QFile>(sheet->file);
    if (!out_->open(QIODevice::WriteOnly))
        throw WorkbookError(QStringLiteral("Временният файл \"%1\" не може да бъде записан: %2")
                                .arg(native(sheet->file), out_->errorString()));
    write(sheetHead(widths, frozenRows, sheets_.empty()));
    sheets_.push_back(std::move(sheet));
    row_ = 0;
}

void StreamedWorkbook::addRow(const std::vector<Cell>& cells)
{
    if (!out_)
        throw WorkbookError(QStringLiteral("Редът няма лист, в който да бъде записан"));
    if (row_ >= kMaxRows)
        throw WorkbookError(
            QStringLiteral("Листът \"%1\" няма място за повече от %2 реда").arg(sheets_.back()->name).arg(kMaxRows));
    if (int(cells.size()) > kMaxColumns)
        throw WorkbookError(QStringLiteral("Редът има повече клетки от допустимото"));
    ++row_;
    const QByteArray rowNumber = QByteArray::number(row_);
    QByteArray xml = "<row r=\"" + rowNumber + "\">";
    for (size_t i = 0; i < cells.size(); ++i) {
        const CellValue& v = cells[i].value;
        if (v.isEmpty() || (v.isText() && v.textValue().isEmpty()))
            continue;
        xml += "<c r=\"" + columnLetters(int(i) + 1).toLatin1() + rowNumber + "\"";
        if (cells[i].style != 0)
            xml += " s=\"" + QByteArray::number(cells[i].style) + "\"";
        switch (v.kind()) {
            case CellValue::Kind::Number:
                if (!std::isfinite(v.numberValue()))
                    throw WorkbookError(QStringLiteral("Клетка %1 не може да съдържа безкрайно число")
                                            .arg(cellAddress({row_, int(i) + 1})));
                xml += "><v>" + numberText(v.numberValue()).toLatin1() + "</v></c>";
                break;
            case CellValue::Kind::Boolean:
                xml += QByteArray(" t=\"b\"><v>") + (v.numberValue() != 0 ? "1" : "0") + "</v></c>";
                break;
            case CellValue::Kind::Error:
                xml += " t=\"e\"><v>" + escaped(v.textValue()) + "</v></c>";
                break;
            default: {
                const QString& text = v.textValue();
                if (text.size() > kMaxCellText)
                    throw WorkbookError(QStringLiteral("Текстът за клетка %1 е по-дълъг от %2 знака")
                                            .arg(cellAddress({row_, int(i) + 1}))
                                            .arg(kMaxCellText));
                const bool blanks = text.front().isSpace() || text.back().isSpace();
                xml += QByteArray(" t=\"inlineStr\"><is><t") + (blanks ? " xml:space=\"preserve\">" : ">") +
                       escaped(text) + "</t></is></c>";
            }
        }
    }
    write(xml + "</row>");
}

void StreamedWorkbook::write(const QByteArray& bytes)
{
    buffer_ += bytes;
    if (buffer_.size() < kFlushAt)
        return;
    if (out_->write(buffer_) != buffer_.size())
        throw WorkbookError(QStringLiteral("Временният файл \"%1\" не може да бъде записан: %2")
                                .arg(native(out_->fileName()), out_->errorString()));
    buffer_.clear();
}

void StreamedWorkbook::endSheet()
{
    if (!out_)
        return;
    buffer_ += "</sheetData></worksheet>";
    const bool written = out_->write(buffer_) == buffer_.size() && out_->flush();
    buffer_.clear();
    const QString why = out_->errorString();
    out_->close();
    out_.reset();
    if (!written)
        throw WorkbookError(QStringLiteral("Временният файл \"%1\" не може да бъде записан: %2")
                                .arg(native(sheets_.back()->file), why));
}

namespace {

QByteArray contentTypes(int sheets)
{
    QByteArray xml = kXmlHead;
    xml += R"(<Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types">)"
           R"(<Default Extension="rels" ContentType="application/vnd.openxmlformats-package.relationships+xml"/>)"
           R"(<Default Extension="xml" ContentType="application/xml"/>)"
           R"(<Override PartName="/xl/workbook.xml" )"
           R"(ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml"/>)"
           R"(<Override PartName="/xl/styles.xml" )"
           R"(ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.styles+xml"/>)";
    for (int i = 1; i <= sheets; ++i)
        xml += "<Override PartName=\"/xl/worksheets/sheet" + QByteArray::number(i) +
               R"(.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml"/>)";
    return xml + "</Types>";
}

QByteArray rootRelationships()
{
    return QByteArray(kXmlHead) +
           R"(<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">)"
           R"(<Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument" )"
           R"(Target="xl/workbook.xml"/></Relationships>)";
}

QByteArray workbookPart(const QStringList& names)
{
    QByteArray xml = kXmlHead;
    xml += QByteArray("<workbook xmlns=\"") + kMainNs + "\" xmlns:r=\"" + kRelNs + "\">";
    xml += R"(<bookViews><workbookView activeTab="0"/></bookViews><sheets>)";
    for (int i = 0; i < names.size(); ++i) {
        const QByteArray n = QByteArray::number(i + 1);
        xml += "<sheet name=\"" + escaped(names[i]) + "\" sheetId=\"" + n + "\" r:id=\"rId" + n + "\"/>";
    }
    return xml + "</sheets></workbook>";
}

QByteArray workbookRelationships(int sheets)
{
    QByteArray xml = kXmlHead;
    xml += R"(<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">)";
    for (int i = 1; i <= sheets; ++i)
        xml += "<Relationship Id=\"rId" + QByteArray::number(i) + "\" Type=\"" + kRelNs +
               "/worksheet\" Target=\"worksheets/sheet" + QByteArray::number(i) + ".xml\"/>";
    xml += "<Relationship Id=\"rId" + QByteArray::number(sheets + 1) + "\" Type=\"" + kRelNs +
           R"(/styles" Target="styles.xml"/>)";
    return xml + "</Relationships>";
}

struct ArchiveDiscarder {
    void operator()(zip_t* z) const { zip_discard(z); }
};

// Adds one entry; false when libzip refused it.
bool addEntry(zip_t* z, const char* name, zip_source_t* source)
{
    const zip_int64_t index = source ? zip_file_add(z, name, source, ZIP_FL_ENC_UTF_8) : -1;
    if (index < 0) {
        zip_source_free(source);
        return false;
    }
    // The fastest level: rows of text compress well at it, in a fraction of the time.
    return zip_set_file_compression(z, zip_uint64_t(index), ZIP_CM_DEFLATE, 1) == 0 &&
           zip_file_set_mtime(z, zip_uint64_t(index), fixedEntryTime(), 0) == 0;
}

}  // namespace

void StreamedWorkbook::finish(const QString& path)
{
    if (sheets_.empty())
        throw WorkbookError(QStringLiteral("Работната книга няма нито един лист"));
    endSheet();
    QStringList names;
    for (const auto& s : sheets_)
        names << s->name;
    // libzip reads the buffers only when it closes the archive: they live until then.
    const std::vector<std::pair<const char*, QByteArray>> parts = {
        {"[Content_Types].xml", contentTypes(int(sheets_.size()))},
        {"_rels/.rels", rootRelationships()},
        {"xl/workbook.xml", workbookPart(names)},
        {"xl/_rels/workbook.xml.rels", workbookRelationships(int(sheets_.size()))},
        {"xl/styles.xml", styles_.save()},
    };
    int error = 0;
    // libzip writes beside the file and renames over it on close: a failure leaves it as it was.
    std::unique_ptr<zip_t, ArchiveDiscarder> z(
        zip_open(QFile::encodeName(path).constData(), ZIP_CREATE | ZIP_TRUNCATE, &error));
    if (!z)
        throw WorkbookError(QStringLiteral("Файлът \"%1\" не може да бъде записан").arg(native(path)));
    bool ok = true;
    for (const auto& [name, bytes] : parts)
        ok =
            ok && addEntry(z.get(), name, zip_source_buffer(z.get(), bytes.constData(), zip_uint64_t(bytes.size()), 0));
    for (size_t i = 0; i < sheets_.size() && ok; ++i) {
        const QByteArray name = "xl/worksheets/sheet" + QByteArray::number(qulonglong(i + 1)) + ".xml";
        ok = addEntry(z.get(), name.constData(),
                      zip_source_file(z.get(), QFile::encodeName(sheets_[i]->file).constData(), 0, -1));
    }
    if (!ok || zip_close(z.get()) != 0)
        throw WorkbookError(QStringLiteral("Файлът \"%1\" не може да бъде записан: %2")
                                .arg(native(path), QString::fromLocal8Bit(zip_strerror(z.get()))));
    z.release();  // closed: nothing left to discard
    sheets_.clear();
    folder_.reset();
}

}  // namespace transfers
