#include "transfers/register_export.h"

#include "dataset/database.h"
#include "dataset/transaction_area.h"
#include "dataset/usage_error.h"
#include "fb/statement.h"
#include "transfers/register_sheets.h"
#include "workbook/streamed_workbook.h"

#include <QDir>
#include <QFile>
#include <QHash>

#include <algorithm>

namespace transfers::register_export {

const QString kFailed = QStringLiteral("Износът в таблици не е извършен.");
const QString kDone = QStringLiteral("Износът в таблици е извършен!");
const QString kNoFile = QStringLiteral("Моля, въведете име на файл!");
QString overwriteQuestion(const QString& path)
{
    return QStringLiteral("Файлът „%1“ вече съществува. Желаете ли да бъде заменен?")
        .arg(QDir::toNativeSeparators(path));
}
const QString kBlankFileName = QStringLiteral("Registar.xlsx");

namespace {

namespace rs = register_sheets;

// The joins from a plot to its locality and area, outer so that no row is
// left out for a reference gone wrong: its key cells are then empty.
const char* const kPlotPlace =
    " left join mestnost on mestnost.id_mestn = zemq.id_mest"
    " left join zemlishte on zemlishte.id_zeml = mestnost.id_zeml";

// Contract numbers are digits kept as text: shorter ones first, so that 9
// comes before 10, as the lists sort them.
const QString kByContractNumber = QStringLiteral("char_length(d.nomer), ");

// What orders a sheet's rows before its columns themselves do.
QString leadingOrder(const QString& sheet)
{
    const bool byContract = sheet == QStringLiteral("Договори") || sheet == QStringLiteral("Редове на договори");
    return byContract ? kByContractNumber : QString();
}

// Each sheet's columns, in the order its description gives them.
const QHash<QString, QString>& statements()
{
    static const QHash<QString, QString> all = {
        {QStringLiteral("Собственици"),
         QStringLiteral("select hora.egn, hora.ime, hora.adres, hora.tel, hora.ekatte, hora.predst, hora.bank, "
                        "hora.iban, hora.bic, hora.kod_country, hora.chfl from hora")},
        {QStringLiteral("Землища"), QStringLiteral("select zemlishte.ekatte, nas_mqsto.naim_nm from zemlishte "
                                                   "left join nas_mqsto on nas_mqsto.ekatte = zemlishte.ekatte")},
        {QStringLiteral("Местности"), QStringLiteral("select zemlishte.ekatte, mestnost.naim_mestn from mestnost "
                                                     "left join zemlishte on zemlishte.id_zeml = mestnost.id_zeml")},
        {QStringLiteral("Имоти"),
         QStringLiteral("select zemlishte.ekatte, mestnost.naim_mestn, zemq.imot_no, zemq.imot_no2, zemq.plosht, "
                        "zemq.prplosht, kultura.naim_kult, ntp.naim_ntp, zemq.obrab, viddoksobstv.naim_vds, "
                        "zemq.svvhregno, zemq.svaktno, zemq.svtom, zemq.svdelo, zemq.nznomer, zemq.nztom, "
                        "zemq.nzregno, zemq.nzdelo, zemq.nzdata, zemq.notregno, zemq.komasiran, zemq.komasin, "
                        "zemq.komasip, fs.naim_fs, zemq.polpl, zemq.oszgregno from zemq") +
             QLatin1String(kPlotPlace) +
             QStringLiteral(" left join kultura on kultura.id_kult = zemq.id_kult"
                            " left join ntp on ntp.id_ntp = zemq.id_ntp"
                            " left join viddoksobstv on viddoksobstv.id_vds = zemq.id_vds"
                            " left join fs on fs.id_fs = zemq.id_fs")},
        {QStringLiteral("Категории"),
         QStringLiteral("select zemlishte.ekatte, mestnost.naim_mestn, zemq.imot_no, kategoriq.vid, kategoriq.plosht "
                        "from kategoriq left join zemq on zemq.id_zemq = kategoriq.id_zemq") +
             QLatin1String(kPlotPlace)},
        {QStringLiteral("Дялове"),
         QStringLiteral("select hora.egn, zemlishte.ekatte, mestnost.naim_mestn, zemq.imot_no, sobstv.redplosht, "
                        "sobstv.chast, sobstv.prredpl, \"DOG DANNI\".nomer from sobstv "
                        "left join hora on hora.id_hora = sobstv.id_hora "
                        "left join zemq on zemq.id_zemq = sobstv.id_zemq") +
             QLatin1String(kPlotPlace) +
             QStringLiteral(" left join \"DOG DANNI\" on \"DOG DANNI\".id_dog = sobstv.id_dog")},
        {QStringLiteral("Договори"),
         QStringLiteral("select d.nomer, d.data, d.otdata, d.dodata, vid_dog.naim_vd, dogtip.tip, d.systoqnie, "
                        "d.datapr, d.svvhregno, d.svaktno, d.svtom, d.svdelo, d.nznomer, d.nztom, d.nzregno, "
                        "d.nzdelo, d.nzdata, d.notregno, d.oszregno from \"DOG DANNI\" d "
                        "left join vid_dog on vid_dog.id_viddog = d.id_viddog "
                        "left join dogtip on dogtip.id_dt = d.id_dt")},
        {QStringLiteral("Редове на договори"),
         QStringLiteral("select d.nomer, hora.egn, zemlishte.ekatte, mestnost.naim_mestn, zemq.imot_no, "
                        "doghorazemi.chast, doghorazemi.redplosht from doghorazemi "
                        "left join \"DOG DANNI\" d on d.id_dog = doghorazemi.id_dog "
                        "left join hora on hora.id_hora = doghorazemi.id_sobstv "
                        "left join zemq on zemq.id_zemq = doghorazemi.id_zemq") +
             QLatin1String(kPlotPlace)},
        {QStringLiteral("Правила за рента"), QStringLiteral("select zemlishte.ekatte, dogtip.tip from \"RENTA ZEML\" r "
                                                            "left join zemlishte on zemlishte.id_zeml = r.id_zeml "
                                                            "left join dogtip on dogtip.id_dt = r.id_dt")},
        {QStringLiteral("Редове на правила"),
         QStringLiteral("select zemlishte.ekatte, dogtip.tip, vid_renta.naim_vr, vidrentakol.kol, vidrentakol.ec "
                        "from vidrentakol left join \"RENTA ZEML\" r on r.id_rz = vidrentakol.id_rz "
                        "left join zemlishte on zemlishte.id_zeml = r.id_zeml "
                        "left join dogtip on dogtip.id_dt = r.id_dt "
                        "left join vid_renta on vid_renta.id_vr = vidrentakol.id_vrk")},
    };
    return all;
}

// The formats the register's cells are shown in.
struct Formats {
    explicit Formats(Styles& styles)
        : heading(styles.withWrap(styles.withBold(0, true), true)),
          text(styles.withNumberFormat(0, QStringLiteral("@"))),
          wrapped(styles.withWrap(0, true)),
          date(styles.withNumberFormat(0, QStringLiteral("dd.mm.yyyy"))),
          numbers{styles.withNumberFormat(0, QStringLiteral("0")),
                  styles.withNumberFormat(0, QStringLiteral("0.0")),
                  styles.withNumberFormat(0, QStringLiteral("0.00")),
                  styles.withNumberFormat(0, QStringLiteral("0.000")),
                  styles.withNumberFormat(0, QStringLiteral("0.0000")),
                  styles.withNumberFormat(0, QStringLiteral("0.00000"))}
    {
    }
    int of(const rs::Column& column) const
    {
        switch (column.kind) {
            case rs::Kind::Text:
            case rs::Kind::Identifier:
                return text;
            case rs::Kind::Date:
                return date;
            case rs::Kind::Number:
                break;
        }
        return numbers[size_t(std::clamp(rs::decimals(column), 0, 5))];
    }
    int heading, text, wrapped, date;
    std::vector<int> numbers;
};

StreamedWorkbook::Cell textCell(const QString& text, int style = 0)
{
    return {CellValue::text(text), style};
}

double widthOf(const rs::Column& column)
{
    double wide = 12;
    if (column.kind == rs::Kind::Text || column.kind == rs::Kind::Identifier)
        wide = std::min(40, rs::textLength(column) + 2);
    return std::max(wide, std::min(30.0, column.heading.size() + 2.0));
}

QString roleText(const rs::Column& column)
{
    switch (column.role) {
        case rs::Role::Key:
            return QStringLiteral("да");
        case rs::Role::Info:
            return QStringLiteral("за справка");
        case rs::Role::Value:
            break;
    }
    return {};
}

void writeExplanations(StreamedWorkbook& book, const Formats& f)
{
    book.addSheet(rs::explanationsSheet(), {22, 26, 12, 36, 90}, 4);
    book.addRow({textCell(QStringLiteral("Регистър на земите и договорите в таблици"), f.heading)});
    book.addRow({{},
                 {},
                 {},
                 {},
                 textCell(QStringLiteral("Всеки лист съдържа един вид записи, по един на ред. Редовете се разпознават "
                                         "по ключовите си колони (с „да“ в колона „Ключ“), а не по вътрешни номера; "
                                         "листовете се позовават един на друг по тези ключове, под същите заглавия. "
                                         "Колоните „за справка“ повтарят данни от друг лист."),
                          f.wrapped)});
    book.addRow({});
    std::vector<StreamedWorkbook::Cell> heads;
    for (const char* h : {"Лист", "Колона", "Ключ", "Вид на стойността", "Обяснение"})
        heads.push_back(textCell(QString::fromUtf8(h), f.heading));
    book.addRow(heads);
    for (const rs::Sheet& sheet : rs::sheets()) {
        book.addRow({textCell(sheet.name, f.heading), {}, {}, {}, textCell(sheet.explanation, f.wrapped)});
        for (const rs::Column& c : sheet.columns)
            book.addRow({textCell(sheet.name), textCell(c.heading), textCell(roleText(c)), textCell(rs::kindText(c)),
                         textCell(c.explanation, f.wrapped)});
    }
}

void startSheet(StreamedWorkbook& book, const Formats& f, const rs::Sheet& sheet)
{
    std::vector<double> widths;
    std::vector<StreamedWorkbook::Cell> heads;
    for (const rs::Column& c : sheet.columns) {
        widths.push_back(widthOf(c));
        heads.push_back(textCell(c.heading, f.heading));
    }
    book.addSheet(sheet.name, widths, 1);
    book.addRow(heads);
}

const QDate kFirstDay(1900, 3, 1);

// One stored value as its column shows it: identifiers and texts stay
// texts, whatever they look like; numbers and dates are typed.
CellValue cellOf(const rs::Column& column, const fb::Value& value)
{
    if (value.isNull())
        return {};
    switch (column.kind) {
        case rs::Kind::Text:
        case rs::Kind::Identifier:
            return CellValue::text(value.toString());
        case rs::Kind::Date:
            // A spreadsheet counts days from 1900 on: an earlier date (a year
            // mistyped) is kept as its text rather than lost or made another.
            if (value.toDate() < kFirstDay)
                return CellValue::text(value.toDate().toString(QStringLiteral("dd.MM.yyyy")));
            return CellValue::number(StreamedWorkbook::dayNumber(value.toDate()));
        case rs::Kind::Number:
            break;
    }
    return CellValue::number(value.toDouble());
}

long long writeRows(StreamedWorkbook& book, const Formats& f, const rs::Sheet& sheet, fb::Statement& rows,
                    fb::Transaction& tr)
{
    rows.open(tr);
    if (rows.columnCount() != int(sheet.columns.size()))
        throw dataset::UsageError(QStringLiteral("the statement of sheet %1 has %2 columns, its description %3")
                                      .arg(sheet.name)
                                      .arg(rows.columnCount())
                                      .arg(sheet.columns.size()));
    std::vector<int> styles;
    for (const rs::Column& c : sheet.columns)
        styles.push_back(f.of(c));
    std::vector<StreamedWorkbook::Cell> cells(sheet.columns.size());
    long long count = 0;
    while (rows.fetch()) {
        for (size_t i = 0; i < cells.size(); ++i)
            cells[i] = {cellOf(sheet.columns[i], rows.value(int(i))), styles[i]};
        book.addRow(cells);
        ++count;
    }
    rows.close();
    return count;
}

void report(const Progress& progress, size_t done)
{
    if (progress)
        progress(int(done * 100 / (rs::sheets().size() + 1)));
}

}  // namespace

QString blankRefusal(const QString& path)
{
    return QStringLiteral(
               "Файлът „%1“ е празен образец, доставен с програмата, и не се заменя.\n"
               "Изберете друго име на файл.")
        .arg(QDir::toNativeSeparators(path));
}

QString sheetStatement(const QString& sheet)
{
    const auto it = statements().find(sheet);
    if (it == statements().end())
        throw dataset::UsageError(QStringLiteral("no statement for sheet %1").arg(sheet));
    QStringList order;
    for (size_t i = 1; i <= rs::sheet(sheet).columns.size(); ++i)
        order << QString::number(i);
    return *it + QStringLiteral(" order by ") + leadingOrder(sheet) + order.join(QStringLiteral(", "));
}

long long write(dataset::Database& database, const QString& path, const Progress& progress)
{
    dataset::TransactionArea area(
        database, QStringLiteral("IBTRegistar"),
        fb::TransactionOptions{fb::TransactionOptions::Isolation::Snapshot, true, true, true});
    StreamedWorkbook book;
    const Formats formats(book.styles());
    writeExplanations(book, formats);
    report(progress, 1);
    long long count = 0;
    size_t done = 1;
    for (const rs::Sheet& sheet : rs::sheets()) {
        startSheet(book, formats, sheet);
        fb::Statement rows(database.connection(), sheetStatement(sheet.name));
        count += writeRows(book, formats, sheet, rows, area.transaction());
        report(progress, ++done);
    }
    area.commit();
    book.finish(path);
    // The workbook holds every owner's personal number: readable by its owner only.
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
    return count;
}

void writeBlank(const QString& path)
{
    StreamedWorkbook book;
    const Formats formats(book.styles());
    writeExplanations(book, formats);
    for (const rs::Sheet& sheet : rs::sheets())
        startSheet(book, formats, sheet);
    book.finish(path);
}

}  // namespace transfers::register_export
