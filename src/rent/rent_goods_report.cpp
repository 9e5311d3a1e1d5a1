#include "rent/rent_goods_report.h"

#include "schema/rent_sql.h"

namespace rent {

namespace {

// The money line's expression or the goods lines' one, by Q1's rent type.
QString moneyOrGoods(const QString& money, const QString& goods)
{
    return QStringLiteral("case when Q1.id_vr = %1 then %2 else %3 end")
        .arg(schema::rent::kMoneyType)
        .arg(money, goods);
}

// OK: the quantity due for the area, the per-decare quantity rounded first
// (to stotinki for money, to whole units for goods).
QString quantityDue()
{
    return moneyOrGoods(QStringLiteral("cast((cast(Q1.kol as decimal(15,2))*Q1.Zp_plosht) as decimal(15,2))"),
                        QStringLiteral("cast((cast(Q1.kol as decimal(15,0))*Q1.Zp_plosht) as decimal(15,0))"));
}

// STOINOST: money is priced per decare before the area multiplies it, goods
// after their quantity is rounded to whole units.
QString valueDue()
{
    return moneyOrGoods(
        QStringLiteral("cast(sum(cast((cast(Q1.kol as decimal(15,2))*cast(Q1.ec as decimal(15,5))) as decimal(15,2))"
                       "*Q1.Zp_plosht) as decimal(15,2))"),
        QStringLiteral("cast(sum(cast((cast(Q1.kol as decimal(15,0))*Q1.Zp_plosht) as decimal(15,0))"
                       "*cast(Q1.ec as decimal(15,5))) as decimal(15,2))"));
}

// The rule lines the figures can be worked out for (an absurd stored line
// is named by the screen instead of failing the report).
const QString kRuleLines = QStringLiteral("from ") + schema::rent::computableRuleLines() +
                           QStringLiteral(
                               "\n inner join \"RENTA ZEML\" on (vidrentakol.id_rz = \"RENTA ZEML\".id_rz)\n"
                               " inner join vid_renta on (vidrentakol.id_vrk=vid_renta.id_vr)\n");

QString joinedToAreas(const QString& zp)
{
    return QStringLiteral(" inner join (") + zp +
           QStringLiteral(") ZP on (\"RENTA ZEML\".id_dt=ZP.id_dt) and (\"RENTA ZEML\".id_zeml=ZP.id_zeml)\n");
}

// Q1 as the body reads it: every column the report shows.
QString ruleLinesShown(const QString& lines)
{
    const QString columns = QStringLiteral(
        "\"RENTA ZEML\".id_dt, \"RENTA ZEML\".id_zeml, vid_renta.id_vr, vid_renta.me, vid_renta.naim_vr, "
        "vidrentakol.kol, vidrentakol.ec, ZP.ZPD_plosht, ZP.ZP_plosht, nas_mqsto.naim_nm, zemlishte.ekatte");
    return QStringLiteral("select ") + columns + QLatin1Char('\n') + kRuleLines +
           QStringLiteral(
               " inner join zemlishte on (\"RENTA ZEML\".id_zeml = zemlishte.id_zeml)\n"
               " inner join nas_mqsto on (zemlishte.ekatte = nas_mqsto.ekatte)\n") +
           joinedToAreas(schema::rent::areaPerCadastralArea(true, lines)) + QStringLiteral("group by ") + columns;
}

// Q1 as the two lists of rent types read it: its keys alone.
QString ruleLineKeys(const QString& lines)
{
    const QString keys = QStringLiteral("\"RENTA ZEML\".id_dt, \"RENTA ZEML\".id_zeml, vid_renta.id_vr");
    return QStringLiteral("select ") + keys + QLatin1Char('\n') + kRuleLines +
           joinedToAreas(schema::rent::areaPerCadastralArea(false, lines)) + QStringLiteral("group by ") + keys;
}

}  // namespace

RentGoodsQueries rentGoodsQueries(const QString& lines)
{
    const QString groups = QStringLiteral(
                               "Q1.id_dt, Q1.id_zeml, %1, Q1.id_vr, Q1.me, Q1.naim_vr, Q1.naim_nm, Q1.ekatte, "
                               "Q1.ZPD_plosht, Q1.Zp_plosht")
                               .arg(quantityDue());
    RentGoodsQueries q;
    q.body = QStringLiteral(
                 "select count(*) COUNT_Q1, Q1.id_dt ID_DT, Q1.id_zeml ID_ZEML, Q1.ekatte EKATTE,\n"
                 " Q1.ZPD_plosht ZPD_PLOSHT, Q1.ZP_plosht ZP_PLOSHT, Q1.id_vr ID_VR, Q1.me ME, Q1.naim_vr NAIM_VR,\n"
                 " Q1.naim_nm NAIM_NM, ") +
             quantityDue() + QStringLiteral(" OK,\n ") + valueDue() + QStringLiteral(" STOINOST\nfrom (") +
             ruleLinesShown(lines) + QStringLiteral(") Q1\ngroup by ") + groups;
    // "Among the contract types (rent types) of the Q1 rows" is a join with
    // Q1's distinct keys: the same rows as an "in" with a subquery, which
    // the engine would work out again for every rule line.
    const QString keys = ruleLineKeys(lines);
    q.typesPerContractType =
        QStringLiteral(
            "select count(*) COUNT_VR, vidrentakol.id_vrk ID_VRK, \"RENTA ZEML\".id_dt ID_DT, dogtip.tip TIP\n"
            "from \"RENTA ZEML\"\n"
            " inner join dogtip on (\"RENTA ZEML\".id_dt = dogtip.id_dt)\n"
            " inner join vidrentakol on (\"RENTA ZEML\".id_rz = vidrentakol.id_rz)\n"
            " inner join (select Q1.id_dt from (") +
        keys +
        QStringLiteral(
            ") Q1 group by Q1.id_dt) T on (\"RENTA ZEML\".id_dt = T.id_dt)\n"
            "group by vidrentakol.id_vrk, \"RENTA ZEML\".id_dt, dogtip.tip");
    q.typesInUse = QStringLiteral(
                       "select count(*) COUNT_VR, vidrentakol.id_vrk ID_VRK\n"
                       "from vidrentakol\n"
                       " inner join (select Q1.id_vr from (") +
                   keys +
                   QStringLiteral(
                       ") Q1 group by Q1.id_vr) T on (vidrentakol.id_vrk = T.id_vr)\n"
                       "group by vidrentakol.id_vrk");
    return q;
}

}  // namespace rent
