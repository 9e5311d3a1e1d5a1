#include "transfers/income_declaration_export.h"

#include "common/identifiers.h"
#include "dataset/dataset.h"
#include "transfers/income_declaration_form.h"
#include "workbook/range.h"
#include "workbook/workbook.h"

#include <QLocale>

namespace transfers::income_declaration {

namespace {

// The payments of one table dated in the calendar year of FROMYEAR, per owner.
QString paidInYear(const QString& table, const QString& sum)
{
    return QStringLiteral(
               "(select %1.id_hora, sum(%1.suma) %2 from %1 cross join firma "
               "where extract(year from %1.data) = extract(year from firma.fromyear) "
               "group by %1.id_hora)")
        .arg(table, sum);
}

QString text(const dataset::Dataset& rows, int row, const QString& field)
{
    return rows.value(row, rows.field(field).index()).toString();
}

// The first worksheet named exactly so; the layer's own lookup ignores case.
Worksheet* sheetNamedExactly(Workbook& book, const QString& name)
{
    for (int i = 1; i <= book.worksheetCount(); ++i)
        if (book.worksheet(i).name() == name)
            return &book.worksheet(i);
    return nullptr;
}

Range cell(Worksheet& sheet, char column, int row)
{
    return sheet.range(QLatin1Char(column) + QString::number(row));
}

// One owner's line at `row`, as the form's macros expect it written.
void writeLine(Workbook& book, Worksheet& sheet, int row, const Payment& p)
{
    sheet.activate();
    cell(sheet, 'B', row).select();
    book.run(p.kol2 == QLatin1String("0") ? QStringLiteral("ChflN") : QStringLiteral("ChflY"));
    cell(sheet, 'C', row).setValue(p.kol2);
    if (CheckEGN(p.egn) && p.kol2 == QLatin1String("0")) {
        cell(sheet, 'D', row).setValue(QString());
        cell(sheet, 'E', row).setValue(p.egn);
    }
    if (p.kol2 == QLatin1String("1")) {
        const bool lnch = CheckLNCh(p.egn);
        cell(sheet, 'D', row).setValue(lnch ? QStringLiteral("1") : QStringLiteral("2"));
        cell(sheet, 'E', row).setValue(lnch ? p.egn : QString());
        sheet.unprotect();
        cell(sheet, 'H', row).setValue(p.kodCountry);
        cell(sheet, 'G', row).setValue(p.countryName);
        cell(sheet, 'I', row).setValue(p.adres);
    }
    cell(sheet, 'F', row).setValue(p.ime);
    cell(sheet, 'J', row).setValue(p.izpl.rescaled(2).toString(QLocale().decimalPoint().at(0)));
    cell(sheet, 'K', row).setValue(QStringLiteral("0.00"));
    sheet.unprotect();
    cell(sheet, 'M', row).setValue(QStringLiteral("10"));
    cell(sheet, 'N', row).setValue(kIncomeKind);
    sheet.protect();
    book.run(QStringLiteral("NewLine"));
}

void writeHeader(Worksheet& sheet, const Payer& payer)
{
    sheet.range(QStringLiteral("E4")).setValue(payer.id);
    sheet.range(QStringLiteral("F4")).setValue(payer.name);
    sheet.range(QStringLiteral("I4")).setValue(payer.address);
}

}  // namespace

QString paymentsStatement()
{
    return QStringLiteral(
               "select hora.id_hora, hora.chfl, "
               "case when hora.chfl = 'не' then '0' when hora.chfl = 'да' then '1' end KOL2, "
               "hora.egn, hora.ime, hora.kod_country, country.country_name, hora.adres, "
               "oir.suma_oir, Q1.sum_rr, Q2.sum_rp, "
               "cast((coalesce(Q1.sum_rr,0)+coalesce(Q2.sum_rp,0)+coalesce(oir.suma_oir,0)) as decimal(15,2)) IZPL "
               "from hora left join %1 Q1 on Q1.id_hora = hora.id_hora "
               "left join %2 Q2 on Q2.id_hora = hora.id_hora "
               "inner join country on hora.kod_country = country.kod_country "
               "left join oir on oir.id_hora = hora.id_hora "
               "where coalesce(Q1.sum_rr,0)+coalesce(Q2.sum_rp,0)+coalesce(oir.suma_oir,0) > 0 "
               "group by hora.id_hora, hora.egn, hora.ime, hora.adres, hora.chfl, country.country_name, "
               "Q1.sum_rr, Q2.sum_rp, oir.suma_oir, hora.kod_country "
               "order by hora.ime asc")
        .arg(paidInYear(QStringLiteral("\"RAZP DANNI\""), QStringLiteral("sum_rr")),
             paidInYear(QStringLiteral("razp_pari"), QStringLiteral("sum_rp")));
}

bool transferable(const QString& egn)
{
    return egn.isEmpty() || CheckEGN(egn) || CheckLNCh(egn);
}

std::vector<Payment> paymentsOf(dataset::Dataset& query)
{
    if (!query.isOpen())
        query.open();
    std::vector<Payment> out;
    const int n = query.rowCount();
    out.reserve(size_t(n));
    const int izpl = query.field(QStringLiteral("IZPL")).index();
    for (int r = 0; r < n; ++r) {
        out.push_back({text(query, r, QStringLiteral("KOL2")), text(query, r, QStringLiteral("EGN")),
                       text(query, r, QStringLiteral("IME")), text(query, r, QStringLiteral("KOD_COUNTRY")),
                       text(query, r, QStringLiteral("COUNTRY_NAME")), text(query, r, QStringLiteral("ADRES")),
                       query.value(r, izpl).toDecimal()});
    }
    return out;
}

Payer payerOf(const dataset::Dataset& firm)
{
    const auto f = [&](const char* name) { return firm.field(QLatin1String(name)).asString(); };
    if (firm.field(QStringLiteral("ID_VZP")).asInt() == 1)
        return {f("EGN_MOL"), f("MOL"), f("ADRESS")};
    return {f("EIN"), f("NAIM_FIRMA"), f("ADRESS")};
}

Result transfer(const QString& path, const Payer& payer, const std::vector<Payment>& payments, const Progress& progress)
{
    const auto step = [&](int percent) {
        if (progress)
            progress(percent);
    };
    Result result;
    auto book = Workbook::open(path);
    attachMacros(*book);
    Worksheet* sheet = sheetNamedExactly(*book, kSheetName);
    if (!sheet) {
        result.refusal = kWrongWorkbook;
        return result;
    }
    book->unprotect();
    sheet->activate();
    sheet->unprotect();
    step(20);
    if (sheet->range(QStringLiteral("E4")).value().toNumber() != 0) {
        result.refusal = kFilled;
        return result;
    }
    writeHeader(*sheet, payer);
    step(60);
    int k = 0;
    result.written.reserve(payments.size());
    for (const Payment& p : payments) {
        const bool write = transferable(p.egn);
        result.written.push_back(write);
        if (write)
            writeLine(*book, *sheet, kFirstLine + k++, p);
    }
    book->save();
    step(100);
    return result;
}

}  // namespace transfers::income_declaration
