#include "transfers/survey_card_export.h"

#include "workbook/range.h"
#include "transfers/survey_card_form.h"
#include "workbook/workbook.h"

namespace transfers::survey_card {

namespace {

// The first worksheet named exactly so; the layer's own lookup ignores case.
Worksheet* sheetNamedExactly(Workbook& book, const QString& name)
{
    for (int i = 1; i <= book.worksheetCount(); ++i)
        if (book.worksheet(i).name() == name)
            return &book.worksheet(i);
    return nullptr;
}

// Takes a sheet to work on as the form wants it: active and unprotected.
Worksheet& take(Workbook& book, const QString& name)
{
    Worksheet& sheet = book.worksheet(name);
    sheet.activate();
    sheet.unprotect();
    return sheet;
}

void set(Worksheet& sheet, const char* cell, const QString& text)
{
    sheet.range(QLatin1String(cell)).setValue(text);
}

void writeHeader(Worksheet& card, const Firm& firm)
{
    card.control(QStringLiteral("comboHeadOblast")).setText(firm.naimObl);
    card.control(QStringLiteral("comboHeadTypeZp")).setText(firm.vzp);
    card.control(QStringLiteral("comboHeadObshtina")).setText(firm.naimObsht);
    card.control(QStringLiteral("comboHeadGrad")).setText(firm.grS);
    const survey_database::Firm& f = firm.record;
    if (f.kodVzp != QLatin1String("0")) {
        set(card, "D9", f.naimFirma);
        set(card, "P9", f.ein);
    }
    set(card, "F11", f.mol);
    set(card, "P11", f.egnMol);
    set(card, "C17", f.adress);
    set(card, "G17", f.pk);
    set(card, "I17", f.tel);
    set(card, "L17", f.mobTel);
    set(card, "O17", f.faks);
    set(card, "R17", f.email);
}

// One area's line on the card (the n-th written) and its plots through table 1.
void writeArea(Workbook& book, const QString& macro, const Area& area, int n)
{
    Worksheet& card = take(book, kCardSheet);
    card.control(QStringLiteral("comboNMOblast")).setText(area.naimObl);
    card.control(QStringLiteral("comboNMObshtina")).setText(area.naimObsht);
    card.control(QStringLiteral("comboNMgrad")).setText(area.nm);
    book.run(macro + QStringLiteral("sheetkarta.btnDobavi_Click"));
    card.cell(kFirstArea + n, 13).select();
    book.run(macro + QStringLiteral("sheetkarta.btnDobaviDanniZaImot_Click"));
    Worksheet& table = take(book, kTableSheet);
    for (size_t j = 0; j < area.plots.size(); ++j) {
        const Plot& p = area.plots[j];
        const int r = kFirstPlot + int(j);
        table.cell(r, 2).setValue(p.imotNo);
        table.cell(r, 3).setValue(p.naimNtp);
        table.cell(r, 4).setValue(p.naimFs);
        table.cell(r, 5).setValue(hectaresText(p.pl));
        book.run(macro + QStringLiteral("sheettab1.btnAddDataToTab1_Click"));
        table.cell(r, 2).select();
    }
    book.run(macro + QStringLiteral("sheettab1.btnEnd_Click"));
}

}  // namespace

QString transfer(const QString& path, const Firm& firm, const std::vector<Area>& areas, const Progress& progress)
{
    const auto step = [&](int percent) {
        if (progress)
            progress(percent);
    };
    auto book = Workbook::open(path);
    attachMacros(*book);
    Worksheet* card = sheetNamedExactly(*book, kCardSheet);
    if (!card)
        return kWrongWorkbook;
    book->unprotect();
    card->activate();
    card->unprotect();
    step(20);
    if (!card->control(QStringLiteral("comboHeadOblast")).text().isEmpty())
        return kFilled;
    writeHeader(*card, firm);
    step(60);
    // Macros are named through the workbook, as the form's own buttons are.
    const QString macro = book->fileName() + QLatin1Char('!');
    int n = 0;
    for (const Area& area : areas) {
        if (area.plots.empty())
            continue;
        writeArea(*book, macro, area, n);
        ++n;
    }
    book->run(macro + QStringLiteral("sheetkarta.btnSave_Click"));
    book->save();
    step(100);
    return {};
}

}  // namespace transfers::survey_card
