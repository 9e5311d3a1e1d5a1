#include "transfers/land_declaration.h"

#include "dataset/dataset.h"
#include "dataset/formats.h"
#include "schema/rent_sql.h"
#include "workbook/cell_value.h"
#include "workbook/range.h"
#include "workbook/workbook.h"

#include <QDir>

namespace transfers::land_declaration {

namespace {

QString columnLetter(int column)
{
    return QString(QLatin1Char(char('A' + column - 1)));
}

Range row(Worksheet& sheet, int number, int columns)
{
    return sheet.range(QStringLiteral("A%1").arg(number), columnLetter(columns) + QString::number(number));
}

Range cell(Worksheet& sheet, int column, int rowNumber)
{
    return sheet.cell(rowNumber, column);
}

void writeHeads(Worksheet& sheet, const Form& form)
{
    const int columns = int(form.heads.size());
    for (int c : form.textColumns)
        sheet.setColumnNumberFormat(c, QStringLiteral("@"));
    Range first = row(sheet, 1, columns);
    first.merge();
    sheet.range(QStringLiteral("A1"))
        .setValue(QStringLiteral("вх. № ....................... дата ...................."));
    first.setHorizontalAlignment(HorizontalAlignment::Center);
    Range title = row(sheet, 3, columns);
    title.merge();
    sheet.range(QStringLiteral("A3")).setValue(form.title);
    title.setHorizontalAlignment(HorizontalAlignment::Center);
    title.setBold(true);
    Range heads = row(sheet, 4, columns);
    heads.setHorizontalAlignment(HorizontalAlignment::Center);
    heads.setVerticalAlignment(VerticalAlignment::Center);
    heads.setWrapText(true);
    row(sheet, 5, columns).setHorizontalAlignment(HorizontalAlignment::Center);
    for (int c = 1; c <= columns; ++c) {
        cell(sheet, c, 4).setValue(form.heads[c - 1]);
        cell(sheet, c, 5).setValue(QString::number(c));
    }
}

void writeLines(Worksheet& sheet, const std::vector<QStringList>& lines)
{
    for (size_t k = 0; k < lines.size(); ++k) {
        const int r = int(k) + 6;
        cell(sheet, 1, r).setValue(QString::number(k + 1));
        const QStringList& texts = lines[k];
        for (int c = 0; c < texts.size(); ++c)
            if (!texts[c].isEmpty())
                cell(sheet, c + 2, r).setValue(texts[c]);
    }
}

void writeFrame(Worksheet& sheet, int columns, int lastRow)
{
    Range table = sheet.range(QStringLiteral("A4"), columnLetter(columns) + QString::number(lastRow));
    table.setInteriorWhite();
    table.setBorders(BorderWeight::Thin);
    table.autoFitColumns();
}

}  // namespace

QString firmStatement()
{
    // Left joins: a firm whose settlement or kind is not filled in still
    // gives its farming year (the place is then left empty).
    return QStringLiteral(
        "select firma.*, vzp.kod_vzp, vzp.vzp, nas_mqsto.naim_nm, nas_mqsto.tip, obshtina.naim_obsht, "
        "oblast.naim_obl, (nas_mqsto.tip || ' ' || nas_mqsto.naim_nm) GR_S "
        "from firma left join oblast on oblast.id_obl = firma.id_obl "
        "left join vzp on vzp.id_vzp = firma.id_vzp "
        "left join nas_mqsto on nas_mqsto.ekatte = firma.ekatte "
        "left join obshtina on obshtina.id_obsht = firma.id_obsht");
}

QString periodMessage(const dataset::Dataset& firm)
{
    const auto year = [&](const char* field) {
        const QDate d = firm.field(QLatin1String(field)).asDate();
        return d.isValid() ? QString::number(d.year()) : QString();
    };
    return QStringLiteral("Данните ще се формират за стопански период: ") + year("FROMYEAR") + QLatin1Char('/') +
           year("TOYEAR");
}

QString areasStatement(Land land)
{
    return QStringLiteral(
               "select zemlishte.id_zeml, nas_mqsto.naim_nm, zemlishte.ekatte, obshtina.naim_obsht, "
               "oblast.naim_obl, nas_mqsto.tip, (nas_mqsto.tip || ' ' || nas_mqsto.naim_nm) NM "
               "from nas_mqsto inner join zemlishte on zemlishte.ekatte = nas_mqsto.ekatte "
               "inner join oblast on oblast.id_obl = zemlishte.id_obl "
               "inner join obshtina on obshtina.id_obsht = zemlishte.id_obsht "
               "where zemlishte.id_zeml in (select mestnost.id_zeml from fs "
               "inner join zemq on zemq.id_fs = fs.id_fs "
               "inner join mestnost on zemq.id_mest = mestnost.id_mestn where zemq.id_fs %1 1) "
               "group by zemlishte.id_zeml, nas_mqsto.naim_nm, zemlishte.ekatte, obshtina.naim_obsht, "
               "oblast.naim_obl, nas_mqsto.tip")
        .arg(land == Land::Own ? QStringLiteral("=") : QStringLiteral("<>"));
}

QString plotHasContract(bool inForce)
{
    const QString condition =
        inForce ? schema::rent::farmingYearCondition()
                : QStringLiteral(
                      "(extract(year from \"DOG DANNI\".otdata) >= extract(year from firma.toyear) or "
                      "extract(year from \"DOG DANNI\".dodata) <= extract(year from firma.fromyear))");
    return QStringLiteral(
               "exists (select 1 from firma cross join \"DOG DANNI\" "
               "inner join doghorazemi on doghorazemi.id_dog = \"DOG DANNI\".id_dog "
               "where doghorazemi.id_zemq = zemq.id_zemq and %1)")
        .arg(condition);
}

QString outputFolder(const QString& programFolder, const QString& name)
{
    return QDir::toNativeSeparators(QDir(programFolder).filePath(name));
}

QString outputFile(const QString& folder, const QString& ekatte)
{
    return QDir::toNativeSeparators(QDir(folder).filePath(ekatte + QStringLiteral(".xlsx")));
}

QString ownershipDocument(const QString& kind, const QString& number, const QDate& date)
{
    if (number.isEmpty() || !date.isValid())
        return kind;
    return kind + QLatin1Char(' ') + number + QLatin1Char('/') + dataset::formats::maskedDate(date);
}

QString plainNumber(double value)
{
    return numberText(value);
}

std::vector<FooterCell> placeAndDate(const QString& place, const QDate& today)
{
    return {{9, 'B', place},
            {10, 'B', QStringLiteral("Дата ") + dataset::formats::maskedDate(today) + QStringLiteral(" г.")}};
}

void write(const QString& path, const Form& form, const std::vector<QStringList>& lines, const Progress& progress)
{
    const auto step = [&](int percent) {
        if (progress)
            progress(percent);
    };
    auto book = Workbook::create();
    Worksheet& sheet = book->worksheet(1);
    step(20);
    writeHeads(sheet, form);
    step(40);
    writeLines(sheet, lines);
    step(80);
    const int n = int(lines.size());
    writeFrame(sheet, int(form.heads.size()), n + 5);
    for (const FooterCell& f : form.footer) {
        Range at = sheet.range(QLatin1Char(f.column) + QString::number(n + f.below));
        at.setValue(f.text);
        if (f.right)
            at.setHorizontalAlignment(HorizontalAlignment::Right);
    }
    book->saveAs(path);
    step(100);
}

}  // namespace transfers::land_declaration
