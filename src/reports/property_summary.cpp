#include "reports/property_summary.h"

namespace reports {

namespace {

// Each locality with plots, with its figures (id_mest, sumplosht, redpl as
// schema::plots::localityAreas gives them) and its settlement's names.
QString localities(const QString& figures)
{
    return QStringLiteral(
               "(select zemlishte.id_zeml, zemlishte.ekatte, mestnost.id_mestn, nas_mqsto.naim_nm, "
               "mestnost.naim_mestn, "
               "U.sumplosht, U.Redpl from (%1) U "
               "inner join mestnost on mestnost.id_mestn = U.id_mest "
               "inner join zemlishte on zemlishte.id_zeml = mestnost.id_zeml "
               "inner join nas_mqsto on nas_mqsto.ekatte = zemlishte.ekatte) Q1")
        .arg(figures);
}

}  // namespace

// A locality is listed once per distinct name and figures within its settlement.
QString summaryStatement(const QString& localityFigures)
{
    return QStringLiteral(
               "select Q1.ekatte, Q1.naim_nm, Q1.naim_mestn, Q1.sumplosht, Q1.redpl, count(*) Q1 from %1 "
               "group by Q1.ekatte, Q1.naim_nm, Q1.naim_mestn, Q1.sumplosht, Q1.redpl")
        .arg(localities(localityFigures));
}

// The settlements with their localities' count and areas, which the print
// shows for each settlement and adds up at its end.
QString settlementsStatement(const QString& localityFigures)
{
    return QStringLiteral(
               "select Q1.ekatte, Q1.naim_nm, count(*) Q1, sum(Q1.sumplosht) sumplosht, "
               "sum(Q1.redpl) redpl from %1 group by Q1.ekatte, Q1.naim_nm")
        .arg(localities(localityFigures));
}

}  // namespace reports
