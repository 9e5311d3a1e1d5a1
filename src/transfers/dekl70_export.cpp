#include "transfers/dekl70_export.h"

#include "dataset/dataset.h"
#include "schema/rent_sql.h"

#include <string_view>
#include <unordered_map>

namespace transfers::dekl70 {

// Each contract line of the plot in force in the farming year, with its
// owner. As for art. 69 the joins after the plots are outer ones with the
// rows they must have asked for in the condition, so that the engine starts
// from the area's localities and joins in the order written: the firm's one
// row first (not once per contract line), the contract lines per plot and
// the categories last (not every contract line once per category), so that
// each line costs the same few index reads whatever the size of the area.
QString plotsStatement()
{
    // A line is told apart by its plot, category, owner and contract: what
    // belongs to the plot (its number, area, names and document) or to its
    // category (the area) is one value per group, read with min() rather than
    // sorted on. The groups start with the columns of the order and go on in
    // the order lines have always come in, so that one short sort gives both.
    const QString order = QStringLiteral("zemq.imot_no, zemq.id_zemq, kategoriq.vid, hora.ime, \"DOG DANNI\".nomer");
    const QString contract = QStringLiteral(
        "\"DOG DANNI\".systoqnie, \"DOG DANNI\".otdata, \"DOG DANNI\".dodata, \"DOG DANNI\".data, "
        "\"DOG DANNI\".oszregno, \"DOG DANNI\".datapr");
    return QStringLiteral(
               "select zemq.id_zemq, zemq.imot_no, min(zemq.plosht) IMOT_PLOSHT, min(kategoriq.plosht) KAT_PLOSHT, "
               "kategoriq.vid, min(ntp.naim_ntp) NAIM_NTP, min(mestnost.naim_mestn) NAIM_MESTN, "
               "min(fs.naim_fs) NAIM_FS, min(viddoksobstv.naim_vds) NAIM_VDS, min(zemq.nznomer) NZNOMER, "
               "min(zemq.nzdata) NZDATA, %1, \"DOG DANNI\".nomer, "
               "(extract (year from \"DOG DANNI\".dodata) - extract (year from \"DOG DANNI\".otdata) ) SROK, "
               "hora.egn, hora.ime "
               "from firma inner join mestnost on 1 = 1 "
               "inner join zemq on zemq.id_mest = mestnost.id_mestn "
               "inner join zemlishte on zemlishte.id_zeml = mestnost.id_zeml "
               "inner join nas_mqsto on nas_mqsto.ekatte = zemlishte.ekatte "
               "left join fs on zemq.id_fs = fs.id_fs "
               "left join ntp on ntp.id_ntp = zemq.id_ntp "
               "left join viddoksobstv on viddoksobstv.id_vds = zemq.id_vds "
               "left join doghorazemi on doghorazemi.id_zemq = zemq.id_zemq "
               "left join \"DOG DANNI\" on \"DOG DANNI\".id_dog = doghorazemi.id_dog "
               "left join hora on doghorazemi.id_sobstv = hora.id_hora "
               "left join kategoriq on kategoriq.id_zemq = zemq.id_zemq "
               "where mestnost.id_zeml = :id_zeml and zemq.id_fs <> 1 and fs.id_fs is not null "
               "and ntp.id_ntp is not null and kategoriq.id_zemq is not null and hora.id_hora is not null and %2 "
               "group by %3, %1, hora.egn "
               // A plot's lines together, so that its area is seen as one run.
               "order by %3")
        .arg(contract, schema::rent::farmingYearCondition(), order);
}

QString invalidDataStatement()
{
    return QStringLiteral(
               "select * from (select zemlishte.id_zeml, zemlishte.ekatte, nas_mqsto.naim_nm, mestnost.id_mestn, "
               "mestnost.naim_mestn, zemq.id_zemq, fs.kod_fs, fs.naim_fs, ntp.kod_ntp, ntp.naim_ntp, zemq.imot_no, "
               "zemq.plosht, trim(case when fs.kod_fs = 1 then 'собствена' "
               "when not %1 and not %2 then 'без договор' "
               "when %1 then 'да' when %2 then 'изтекъл договор' else 'не' end) OSNOVANIE "
               "from fs inner join zemq on zemq.id_fs = fs.id_fs "
               "inner join mestnost on zemq.id_mest = mestnost.id_mestn "
               "inner join zemlishte on zemlishte.id_zeml = mestnost.id_zeml "
               "inner join nas_mqsto on nas_mqsto.ekatte = zemlishte.ekatte "
               "inner join ntp on ntp.id_ntp = zemq.id_ntp) Q "
               "where Q.osnovanie <> 'да' order by Q.ekatte, Q.imot_no")
        .arg(land_declaration::plotHasContract(true), land_declaration::plotHasContract(false));
}

land_declaration::Form form(const QString& place, const QDate& today)
{
    land_declaration::Form f{
        .title = QStringLiteral("декларация по чл. 70, ал. 2 от ППЗСПЗЗ"),
        .heads = {QStringLiteral("No по ред"), QStringLiteral("Номер на имота от КВС"),
                  QStringLiteral("Площ на имота в дка"), QStringLiteral("Категория на имота"),
                  QStringLiteral("Начин на трайно ползване"), QStringLiteral("Местност"),
                  QStringLiteral("Наемодател /арендодател - име - собствено, бащино, фамилия/, наименование на - ЕТ, "
                                 "търговско дружество - юридическо лице, МЗХ, Община"),
                  QStringLiteral("ЕГН, номер от НДР, БУЛСТАТ на наемодателя /арендодателя/"),
                  QStringLiteral("Документ за собственост"),
                  QStringLiteral("Договор за наем /аренда, съвместна обработка/"),
                  QStringLiteral("Договор за пренаемане, преарендуване")},
        // The owner's identifier is text too: an EGN of one born after 1999
        // starts with 0, which a number would lose.
        .textColumns = {2, 6, 8},
        .footer = {{6, 'B', land_declaration::kWarning},
                   {7, 'B',
                    QStringLiteral("Приложение:   заверени копия от Договори , общо .... . броя, които са "
                                   "неразделна част от декларацията.")}},
    };
    for (auto& c : land_declaration::placeAndDate(place, today))
        f.footer.push_back(c);
    f.footer.push_back({9, 'H', QStringLiteral("Декларатор:.................")});
    f.footer.push_back({10, 'H', QStringLiteral("/подпис/"), true});
    return f;
}

QString contractText(const QString& nomer, const QString& oszRegNo, const fb::Value& srok)
{
    QString text = nomer;
    if (!oszRegNo.isEmpty())
        text += QStringLiteral(" ,") + oszRegNo;
    if (!srok.isNull())
        text += QStringLiteral(" ,") + srok.toString();
    return text;
}

std::vector<QStringList> linesOf(dataset::Dataset& plots)
{
    if (!plots.isOpen())
        plots.open();
    // The columns found once, not once per line.
    std::unordered_map<std::string_view, int> columns;
    for (const char* name : {"KAT_PLOSHT", "IMOT_NO", "VID", "NAIM_NTP", "NAIM_MESTN", "IME", "EGN", "NAIM_VDS",
                             "NZNOMER", "NZDATA", "NOMER", "OSZREGNO", "SROK"})
        columns.emplace(name, plots.field(QLatin1String(name)).index());
    const auto at = [&](int r, const char* name) { return plots.value(r, columns.at(name)); };
    std::vector<QStringList> lines;
    const int n = plots.rowCount();
    lines.reserve(size_t(n));
    for (int r = 0; r < n; ++r) {
        const fb::Value area = at(r, "KAT_PLOSHT");
        lines.push_back({at(r, "IMOT_NO").toString(),
                         area.isNull() ? QString() : land_declaration::plainNumber(area.toDouble()),
                         at(r, "VID").toString(), at(r, "NAIM_NTP").toString(), at(r, "NAIM_MESTN").toString(),
                         at(r, "IME").toString(), at(r, "EGN").toString(),
                         land_declaration::ownershipDocument(at(r, "NAIM_VDS").toString(), at(r, "NZNOMER").toString(),
                                                             at(r, "NZDATA").toDate()),
                         contractText(at(r, "NOMER").toString(), at(r, "OSZREGNO").toString(), at(r, "SROK"))});
    }
    return lines;
}

}  // namespace transfers::dekl70
