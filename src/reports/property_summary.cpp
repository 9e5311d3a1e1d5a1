#include "reports/property_summary.h"

#include "schema/plot_area_cache.h"

namespace reports {

namespace {

// Each locality with plots: the area of its plots, and the area of the lines
// of every contract on them that is not terminated, whatever its dates (0
// without any). Both are added up from the figures kept per plot
// (plot_area_cache.h): a pass over the plots, not over every contract line.
// The area is empty, never 0, when no plot of the locality has one.
QString localities(const QString& plots)
{
    return QStringLiteral(
               "(select zemlishte.id_zeml, zemlishte.ekatte, mestnost.id_mestn, nas_mqsto.naim_nm, "
               "mestnost.naim_mestn, "
               "U.sumplosht, U.Redpl from "
               "(select K.id_mest, sum(K.plosht) sumplosht, coalesce(sum(K.redpl), 0) Redpl from (%1) K "
               "group by K.id_mest) U "
               "inner join mestnost on mestnost.id_mestn = U.id_mest "
               "inner join zemlishte on zemlishte.id_zeml = mestnost.id_zeml "
               "inner join nas_mqsto on nas_mqsto.ekatte = zemlishte.ekatte) Q1")
        .arg(plots);
}

}  // namespace

// A locality is listed once per distinct name and figures within its settlement.
QString summaryStatement(const QString& plots)
{
    return QStringLiteral(
               "select Q1.ekatte, Q1.naim_nm, Q1.naim_mestn, Q1.sumplosht, Q1.redpl, count(*) Q1 from %1 "
               "group by Q1.ekatte, Q1.naim_nm, Q1.naim_mestn, Q1.sumplosht, Q1.redpl")
        .arg(localities(plots));
}

// The settlements with their localities' count and areas, which the print
// shows for each settlement and adds up at its end.
QString settlementsStatement(const QString& plots)
{
    return QStringLiteral(
               "select Q1.ekatte, Q1.naim_nm, count(*) Q1, sum(Q1.sumplosht) sumplosht, "
               "sum(Q1.redpl) redpl from %1 group by Q1.ekatte, Q1.naim_nm")
        .arg(localities(plots));
}

}  // namespace reports
