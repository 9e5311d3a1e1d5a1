#include "transfers/survey_card.h"

#include "dataset/dataset.h"
#include "dataset/transaction_area.h"
#include "transfers/land_declaration.h"

#include <QHash>
#include <QLocale>

#include <algorithm>

#include <cmath>

namespace transfers::survey_card {

namespace {

const QString kQ1Columns = QStringLiteral(
    "Q1.id_zeml, Q1.ekatte, Q1.naim_nm, Q1.naim_mestn, Q1.id_zemq, Q1.kod_fs, Q1.naim_fs, Q1.kod_ntp, "
    "Q1.naim_ntp, Q1.imot_no, Q1.plosht, Q1.pl, Q1.polpl, Q1.Osnovanie");

QString text(const dataset::Dataset& rows, int row, int field)
{
    return rows.value(row, field).toString();
}

double number(const dataset::Dataset& rows, int row, int field)
{
    const fb::Value v = rows.value(row, field);
    return v.isNull() ? 0 : v.toDouble();
}

}  // namespace

QString areasStatement()
{
    return QStringLiteral(
        "select zemlishte.id_zeml, nas_mqsto.naim_nm, zemlishte.ekatte, obshtina.naim_obsht, oblast.naim_obl, "
        "nas_mqsto.tip, (nas_mqsto.tip || ' ' || nas_mqsto.naim_nm) NM, oblast.id_obl, obshtina.id_obsht "
        "from nas_mqsto inner join zemlishte on zemlishte.ekatte = nas_mqsto.ekatte "
        "inner join oblast on oblast.id_obl = zemlishte.id_obl "
        "inner join obshtina on obshtina.id_obsht = zemlishte.id_obsht "
        "group by zemlishte.id_zeml, nas_mqsto.naim_nm, zemlishte.ekatte, obshtina.naim_obsht, oblast.naim_obl, "
        "nas_mqsto.tip, oblast.id_obl, obshtina.id_obsht");
}

// The contracts of a plot are found by the declarations' indexed existence
// tests per plot (in force in the farming year / out of it) rather than by
// joining every contract line: the reading of all plots stays one pass over
// the plots, and measured faster than one grouped look-up per plot.
QString plotsStatement()
{
    const QString inForce = land_declaration::plotHasContract(true);
    const QString outOfForce = land_declaration::plotHasContract(false);
    return QStringLiteral(
               "select %1 from (select zemlishte.id_zeml, zemlishte.ekatte, nas_mqsto.naim_nm, mestnost.id_mestn, "
               "mestnost.naim_mestn, zemq.id_zemq, fs.kod_fs, fs.naim_fs, ntp.kod_ntp, ntp.naim_ntp, zemq.imot_no, "
               "zemq.plosht, (zemq.plosht/10) PL, (zemq.polpl/10) POLPL, "
               "cast(trim(case when fs.kod_fs = '1' then 'да' "
               "when not %2 and not %3 then 'без договор' "
               "when %2 then 'да' when %3 then 'изтекъл договор' else 'не' end) as varchar(15)) OSNOVANIE "
               "from fs inner join zemq on zemq.id_fs = fs.id_fs "
               "inner join mestnost on zemq.id_mest = mestnost.id_mestn "
               "inner join zemlishte on zemlishte.id_zeml = mestnost.id_zeml "
               "inner join nas_mqsto on nas_mqsto.ekatte = zemlishte.ekatte "
               "inner join ntp on ntp.id_ntp = zemq.id_ntp) Q1")
        .arg(kQ1Columns, inForce, outOfForce);
}

QStringList areaPlotLines()
{
    return {QStringLiteral(" where (Q1.id_zeml = :id_zeml) "), QStringLiteral("group by ") + kQ1Columns,
            QStringLiteral("having (Q1.Osnovanie  = 'да')"), QStringLiteral(" order by Q1.imot_no asc ")};
}

// By settlement, and by plot number within it so that the list reads alike each time.
QStringList allPlotLines()
{
    return {QStringLiteral("group by ") + kQ1Columns, QStringLiteral(" order by Q1.naim_nm asc, Q1.imot_no asc ")};
}

QString validPlotsStatement()
{
    return plotsStatement() + QStringLiteral(" where Q1.Osnovanie = 'да' order by Q1.ekatte, Q1.imot_no");
}

QString sumText(double hectares)
{
    return QLocale().toString(hectares, 'f', 4) + kHectares;
}

QString hectaresText(double hectares)
{
    const double rounded = std::round(hectares * 10000) / 10000;
    QString t = QLocale().toString(rounded, 'f', 4);
    const QChar point = QLocale().decimalPoint().at(0);
    while (t.contains(point) && (t.endsWith(u'0') || t.endsWith(point)))
        t.chop(1);
    return t;
}

Firm firmOf(const dataset::Dataset& firm)
{
    const auto f = [&](const char* name) {
        const dataset::Field* field = firm.findField(QLatin1String(name));
        return field && !firm.isEmpty() ? field->asString() : QString();
    };
    Firm out{f("NAIM_OBL"), f("VZP"), f("NAIM_OBSHT"), f("GR_S"), {}};
    out.record = {.idObl = f("ID_OBL"),
                  .kodVzp = f("KOD_VZP"),
                  .naimFirma = f("NAIM_FIRMA"),
                  .mol = f("MOL"),
                  .ein = f("EIN"),
                  .egnMol = f("EGN_MOL"),
                  .idObsht = f("ID_OBSHT"),
                  .ekatte = f("EKATTE"),
                  .adress = f("ADRESS"),
                  .tel = f("TEL"),
                  .mobTel = f("MOB_TEL"),
                  .faks = f("FAKS"),
                  .email = f("EMAIL"),
                  .pk = f("PK")};
    return out;
}

std::vector<Area> areasOf(dataset::Dataset& areas, dataset::Dataset& validPlots)
{
    if (!validPlots.isOpen())
        validPlots.open();
    const auto col = [](const dataset::Dataset& d, const char* name) { return d.field(QLatin1String(name)).index(); };
    QHash<QString, std::vector<Plot>> byArea;
    const int idZeml = col(validPlots, "ID_ZEML"), ekatte = col(validPlots, "EKATTE"),
              imot = col(validPlots, "IMOT_NO"), ntp = col(validPlots, "NAIM_NTP"), fs = col(validPlots, "NAIM_FS"),
              kodNtp = col(validPlots, "KOD_NTP"), kodFs = col(validPlots, "KOD_FS"), pl = col(validPlots, "PL"),
              polpl = col(validPlots, "POLPL");
    for (int r = 0; r < validPlots.rowCount(); ++r)
        byArea[text(validPlots, r, idZeml)].push_back({text(validPlots, r, ekatte), text(validPlots, r, imot),
                                                       text(validPlots, r, ntp), text(validPlots, r, fs),
                                                       text(validPlots, r, kodNtp), text(validPlots, r, kodFs),
                                                       number(validPlots, r, pl), number(validPlots, r, polpl)});
    if (!areas.isOpen())
        areas.open();
    std::vector<Area> out;
    out.reserve(size_t(areas.rowCount()));
    const int id = col(areas, "ID_ZEML"), aEkatte = col(areas, "EKATTE"), obl = col(areas, "NAIM_OBL"),
              obsht = col(areas, "NAIM_OBSHT"), nm = col(areas, "NM"), idObl = col(areas, "ID_OBL"),
              idObsht = col(areas, "ID_OBSHT");
    for (int r = 0; r < areas.rowCount(); ++r) {
        const QString key = text(areas, r, id);
        out.push_back({key, text(areas, r, aEkatte), text(areas, r, obl), text(areas, r, obsht), text(areas, r, nm),
                       text(areas, r, idObl), text(areas, r, idObsht), byArea.take(key)});
    }
    return out;
}

std::vector<survey_database::Area> databaseAreas(const std::vector<Area>& areas)
{
    std::vector<survey_database::Area> out;
    for (const Area& a : areas)
        if (!a.plots.empty())
            out.push_back({a.ekatte, a.idObl, a.idObsht});
    return out;
}

std::vector<survey_database::Plot> databasePlots(const std::vector<Area>& areas)
{
    std::vector<survey_database::Plot> out;
    for (const Area& a : areas)
        for (const Plot& p : a.plots)
            out.push_back({p.ekatte, p.imotNo, p.kodNtp, p.kodFs, p.pl, p.polpl});
    // Two areas of one EKATTE, or areas read in another order, still give the plots by code and number.
    std::stable_sort(out.begin(), out.end(), [](const auto& x, const auto& y) {
        return x.ekatte != y.ekatte ? x.ekatte < y.ekatte : x.imotNo < y.imotNo;
    });
    return out;
}

QStringList invalidFields()
{
    return {QStringLiteral("EKATTE"),  QStringLiteral("NAIM_NM"),  QStringLiteral("NAIM_MESTN"),
            QStringLiteral("IMOT_NO"), QStringLiteral("NAIM_NTP"), QStringLiteral("NAIM_FS"),
            QStringLiteral("PL"),      QStringLiteral("POLPL"),    QStringLiteral("OSNOVANIE")};
}

std::vector<std::vector<fb::Value>> invalidRows(dataset::Dataset& allPlots)
{
    if (!allPlots.isOpen())
        allPlots.open();
    std::vector<int> columns;
    for (const QString& f : invalidFields())
        columns.push_back(allPlots.field(f).index());
    const int basis = allPlots.field(QStringLiteral("OSNOVANIE")).index();
    std::vector<std::vector<fb::Value>> out;
    for (int r = 0; r < allPlots.rowCount(); ++r) {
        if (text(allPlots, r, basis).trimmed() == kYes)
            continue;
        std::vector<fb::Value> row;
        for (int c : columns)
            row.push_back(allPlots.value(r, c));
        out.push_back(std::move(row));
    }
    return out;
}

std::pair<Firm, std::vector<Area>> readCard(dataset::TransactionArea& area)
{
    dataset::Dataset firm(area, QStringLiteral("IBQFirma"));
    firm.sql().setLines({land_declaration::firmStatement()});
    firm.open();
    dataset::Dataset areas(area, QStringLiteral("IBQZeml"));
    areas.sql().setLines({areasStatement()});
    dataset::Dataset plots(area, QStringLiteral("IBQueryZemq"));
    plots.sql().setLines({validPlotsStatement()});
    return {firmOf(firm), areasOf(areas, plots)};
}

reports::Table invalidTable(dataset::Dataset& allPlots)
{
    reports::Table invalid;
    invalid.fields = invalidFields();
    const QString area = QStringLiteral("#0.0000");
    invalid.formats = QStringList{{}, {}, {}, {}, {}, {}, area, area, {}};
    for (const std::vector<fb::Value>& row : invalidRows(allPlots))
        invalid.rows.push_back(row);
    return invalid;
}

}  // namespace transfers::survey_card
