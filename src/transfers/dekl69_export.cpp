#include "transfers/dekl69_export.h"

#include "dataset/dataset.h"

namespace transfers::dekl69 {

// The joins after the plots are outer ones with the rows they must have
// asked for in the condition: the same rows as inner joins, but the engine
// then starts from the area's localities instead of reading every category.
QString plotsStatement()
{
    return QStringLiteral(
        "select zemq.id_zemq, zemq.imot_no, zemq.plosht, kategoriq.plosht KAT_PL, kategoriq.vid, ntp.naim_ntp, "
        "mestnost.naim_mestn, fs.naim_fs, viddoksobstv.naim_vds, zemq.nznomer, zemq.nzdata "
        "from mestnost inner join zemq on zemq.id_mest = mestnost.id_mestn "
        "inner join zemlishte on zemlishte.id_zeml = mestnost.id_zeml "
        "left join fs on zemq.id_fs = fs.id_fs "
        "left join ntp on ntp.id_ntp = zemq.id_ntp "
        "left join kategoriq on kategoriq.id_zemq = zemq.id_zemq "
        "left join viddoksobstv on viddoksobstv.id_vds = zemq.id_vds "
        "where mestnost.id_zeml = :id_zeml and fs.kod_fs = 1 and ntp.id_ntp is not null "
        "and kategoriq.id_zemq is not null "
        "group by zemlishte.id_zeml, zemq.id_zemq, zemq.imot_no, zemq.plosht, kategoriq.plosht, kategoriq.vid, "
        "ntp.naim_ntp, mestnost.naim_mestn, fs.naim_fs, viddoksobstv.naim_vds, zemq.nznomer, zemq.nzdata "
        "order by zemq.imot_no asc, zemq.id_zemq, kategoriq.vid");
}

land_declaration::Form form(const QString& place, const QDate& today)
{
    land_declaration::Form f{
        .title = QStringLiteral("Декларация по чл. 69, ал. 2 от ППЗСПЗЗ, във връзка с чл. 37б от ЗСПЗЗ"),
        .heads = {QStringLiteral("No по ред"), QStringLiteral("Номер на имота от КВС"), QStringLiteral("Площ"),
                  QStringLiteral("Категория"), QStringLiteral("Начин на трайно ползване"), QStringLiteral("Местност"),
                  QStringLiteral("Предпочината форма на стопанисване"),
                  QStringLiteral("Основание за придобиване на право на собственост - документ за собственост")},
        .textColumns = {2, 6},
        .footer = {{7, 'B', land_declaration::kWarning}},
    };
    for (auto& c : land_declaration::placeAndDate(place, today))
        f.footer.push_back(c);
    f.footer.push_back({9, 'G', QStringLiteral("Декларатор:.................")});
    f.footer.push_back({10, 'G', QStringLiteral("/подпис/"), true});
    return f;
}

std::vector<QStringList> linesOf(dataset::Dataset& plots)
{
    if (!plots.isOpen())
        plots.open();
    const auto at = [&](int r, const char* name) { return plots.value(r, plots.field(QLatin1String(name)).index()); };
    std::vector<QStringList> lines;
    const int n = plots.rowCount();
    lines.reserve(size_t(n));
    for (int r = 0; r < n; ++r) {
        const fb::Value area = at(r, "KAT_PL");
        lines.push_back({at(r, "IMOT_NO").toString(),
                         area.isNull() ? QString() : land_declaration::plainNumber(area.toDouble()),
                         at(r, "VID").toString(), at(r, "NAIM_NTP").toString(), at(r, "NAIM_MESTN").toString(),
                         at(r, "NAIM_FS").toString(),
                         land_declaration::ownershipDocument(at(r, "NAIM_VDS").toString(), at(r, "NZNOMER").toString(),
                                                             at(r, "NZDATA").toDate())});
    }
    return lines;
}

}  // namespace transfers::dekl69
