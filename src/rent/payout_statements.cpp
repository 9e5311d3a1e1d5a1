#include "rent/payout_statements.h"

#include "schema/rent_sql.h"

namespace rent::payout {

namespace {

using schema::rent::Form;

// The owner's contract lines summed per contract and area: the share rows of
// every statement here start from them.
QString ownersLines()
{
    return schema::rent::contractLines(QStringLiteral("select cast(:id_sobstv as integer) id_hora from rdb$database"));
}

// HDZ of the owner, with the contract type's name.
QString ownersShares()
{
    return schema::rent::contractedShares({.contractType = true, .lines = ownersLines()});
}

// A due quantity summed over the group, in the type's unit.
QString summedQuantity(const QString& typeColumn)
{
    return QStringLiteral(
               "case when %1 = 1 then cast(sum(%2) as decimal(15,2))"
               " else cast(sum(%3) as decimal(15,0)) end")
        .arg(typeColumn, schema::rent::dueQuantity(Form::Money), schema::rent::dueQuantity(Form::Goods));
}

}  // namespace

QString ownedPlots()
{
    return QStringLiteral(
               "select dogtip.tip, \"DOG DANNI\".nomer, nas_mqsto.naim_nm, mestnost.naim_mestn, zemq.imot_no,\n"
               " zemq.imot_no2, ntp.naim_ntp, fs.naim_fs, doghorazemi.redplosht, doghorazemi.chast,\n"
               " sobstv.prredpl, doghorazemi.id_dhz\n"
               "from firma cross join doghorazemi\n"
               " inner join sobstv on (doghorazemi.id_zemq = sobstv.id_zemq) and "
               "(doghorazemi.id_sobstv = sobstv.id_hora)\n"
               " inner join \"DOG DANNI\" on (doghorazemi.id_dog = \"DOG DANNI\".id_dog)\n"
               " inner join dogtip on (\"DOG DANNI\".id_dt = dogtip.id_dt)\n"
               " inner join hora on (doghorazemi.id_sobstv = hora.id_hora)\n"
               " inner join zemq on (doghorazemi.id_zemq = zemq.id_zemq)\n"
               " inner join ntp on (zemq.id_ntp = ntp.id_ntp)\n"
               " left outer join fs on (zemq.id_fs = fs.id_fs)\n"
               " inner join mestnost on (mestnost.id_mestn = zemq.id_mest)\n"
               " inner join zemlishte on (mestnost.id_zeml = zemlishte.id_zeml)\n"
               " inner join nas_mqsto on (zemlishte.ekatte = nas_mqsto.ekatte)\n"
               "where (doghorazemi.id_sobstv = :id_sobstv) and ") +
           schema::rent::farmingYearCondition();
}

QString dueByType()
{
    // Per rent type, the due rows of the receipt panel added up (dueRows()
    // without what was received): each row's quantity rounded as the panel
    // shows it, so that the total is the sum of the rows. The value is
    // summed exactly and rounded once, per type.
    const QString exactValue = QStringLiteral("case when vidrentakol.id_vrk = 1 then sum(%1) else sum(%2) end")
                                   .arg(schema::rent::dueValue(Form::Money), schema::rent::dueValue(Form::Goods));
    return QStringLiteral(
               "select sum(R.COUNT_REC) COUNT_REC, sum(R.OK) SOK, cast(sum(R.SOP) as decimal(15,2)) SOP,\n"
               " R.naim_vr, R.id_vr, R.me, R.id_sobstv\n"
               "from (select count(*) COUNT_REC, ") +
           summedQuantity(QStringLiteral("vidrentakol.id_vrk")) + QStringLiteral(" OK, ") + exactValue +
           QStringLiteral(" SOP,\n vid_renta.naim_vr, vidrentakol.id_vrk id_vr, vid_renta.me, HDZ.id_sobstv\n") +
           schema::rent::rulesThatApply(ownersShares()) +
           QStringLiteral(
               "group by vidrentakol.ec, vidrentakol.id_vrk, vid_renta.naim_vr, vid_renta.me, "
               "\"RENTA ZEML\".id_zeml, nas_mqsto.naim_nm, dogtip.id_dt, dogtip.tip, HDZ.id_sobstv, "
               "vidrentakol.kol) R\n"
               "group by R.id_sobstv, R.id_vr, R.naim_vr, R.me\n"
               "order by R.id_vr");
}

QString handedOut()
{
    return QStringLiteral(
        "select count(*) COUNT_IZPR, sum( \"RAZP RENTA\".kol ) SUM_OF_KOL, \"RAZP RENTA\".id_rk, rentakult.rk,\n"
        " \"RAZP DANNI\".id_hora, vid_renta.me\n"
        "from vid_renta\n"
        " inner join \"RAZP RENTA\" on (vid_renta.id_vr = \"RAZP RENTA\".id_vr)\n"
        " inner join \"RAZP DANNI\" on (\"RAZP RENTA\".id_rd = \"RAZP DANNI\".id_rd)\n"
        " inner join rentakult on (\"RAZP RENTA\".id_rk = rentakult.id_rk)\n"
        "where (\"RAZP DANNI\".id_hora=:id_sobstv)\n"
        "group by \"RAZP RENTA\".id_rk, rentakult.rk, \"RAZP DANNI\".id_hora, vid_renta.me");
}

QString goodsReceipts()
{
    return QStringLiteral(
        "select * from \"RAZP DANNI\" where (\"RAZP DANNI\".id_hora=:id_sobstv) order by \"RAZP DANNI\".id_rd");
}

QString cashPayments()
{
    return QStringLiteral(
        "select razp_pari.id_razppari, razp_pari.id_hora, razp_pari.nomer, razp_pari.data,\n"
        " cast(razp_pari.suma as decimal(15,2)) SUMA, razp_pari.nplp, razp_pari.nplptekst, razp_pari.predstrp,\n"
        " coalesce(razp_pari.pmg,0) PMG\n"
        "from razp_pari\n"
        "where (coalesce(razp_pari.pmg,0)<>1) and (razp_pari.id_hora=:id_sobstv)\n"
        "order by razp_pari.id_razppari");
}

QString ruleCheck()
{
    return QStringLiteral(
               "select doghorazemi.id_sobstv ID_HORA, \"DOG DANNI\".id_dt, mestnost.id_zeml, zemq.imot_no,\n"
               " doghorazemi.redplosht, sobstv.prredpl, coalesce(RZ.RZDT,0) DT, coalesce(RZ.RZZ,0) ZEML\n"
               "from firma cross join doghorazemi\n"
               " inner join sobstv on (doghorazemi.id_zemq = sobstv.id_zemq) and "
               "(doghorazemi.id_sobstv = sobstv.id_hora)\n"
               " inner join \"DOG DANNI\" on (doghorazemi.id_dog = \"DOG DANNI\".id_dog)\n"
               " inner join zemq on (doghorazemi.id_zemq = zemq.id_zemq)\n"
               " inner join mestnost on (zemq.id_mest = mestnost.id_mestn)\n"
               " left outer join (select distinct \"RENTA ZEML\".id_zeml RZZ, \"RENTA ZEML\".id_dt RZDT\n"
               "  from \"RENTA ZEML\" inner join vidrentakol on (\"RENTA ZEML\".id_rz = vidrentakol.id_rz)) RZ\n"
               "  on (mestnost.id_zeml = RZ.RZZ) and (\"DOG DANNI\".id_dt = RZ.RZDT)\n"
               "where (doghorazemi.id_sobstv = :id_sobstv) and ") +
           schema::rent::farmingYearCondition();
}

QString dueRows()
{
    // Summed over every share row of a (rent type, area, contract type), so
    // that two contracts there (one running, one terminated inside the year)
    // make one row whose rest subtracts what was received on it once.
    const QString due = summedQuantity(QStringLiteral("vidrentakol.id_vrk"));
    const QString rest = QStringLiteral(
                             "case when vidrentakol.id_vrk = 1 then cast(sum(%1) - coalesce(PKOL.SK,0) as "
                             "decimal(15,2)) else cast(sum(%2) - coalesce(PKOL.SK,0) as decimal(15,0)) end")
                             .arg(schema::rent::dueQuantity(Form::Money), schema::rent::dueQuantity(Form::Goods));
    return QStringLiteral("select ") + due + QStringLiteral(" OK,\n ") + rest +
           QStringLiteral(
               " RAZL,\n cast(vidrentakol.ec as decimal(15,5)) EC, vid_renta.naim_vr, vid_renta.me,\n"
               " vidrentakol.id_vrk, \"RENTA ZEML\".id_zeml, nas_mqsto.naim_nm, dogtip.id_dt, dogtip.tip,\n"
               " HDZ.id_sobstv, count(*) COUNT_REC\n") +
           schema::rent::rulesThatApply(ownersShares()) + QStringLiteral(" left outer join (") +
           schema::rent::receivedPerRuleLine() +
           QStringLiteral(
               ") PKOL on (vidrentakol.id_vrk=PKOL.id_vr) and (dogtip.id_dt=PKOL.id_dt) and "
               "(\"RENTA ZEML\".id_zeml=PKOL.id_zeml) and (HDZ.id_sobstv=PKOL.id_hora)\n"
               "group by vidrentakol.ec, vidrentakol.id_vrk, vid_renta.naim_vr, vid_renta.me, "
               "\"RENTA ZEML\".id_zeml, nas_mqsto.naim_nm, dogtip.id_dt, dogtip.tip, HDZ.id_sobstv, "
               "vidrentakol.kol, PKOL.SK\n"
               "order by dogtip.id_dt, \"RENTA ZEML\".id_zeml, vidrentakol.id_vrk");
}

QString receiptLines()
{
    return QStringLiteral(
        "select row_number() over (order by \"RAZP RENTA\".id_rr) RED, vid_renta.me, \"RAZP RENTA\".kol, \"RAZP "
        "RENTA\".id_rd, \"RAZP RENTA\".id_rr,\n"
        " \"RAZP RENTA\".stoinost, \"RAZP RENTA\".id_vr, \"RAZP RENTA\".id_dt, \"RAZP RENTA\".id_zeml,\n"
        " \"RAZP RENTA\".id_rk, vid_renta.naim_vr, rentakult.rk, dogtip.tip TD\n"
        "from vid_renta\n"
        " inner join \"RAZP RENTA\" on (vid_renta.id_vr = \"RAZP RENTA\".id_vr)\n"
        " left outer join rentakult on (\"RAZP RENTA\".id_rk = rentakult.id_rk)\n"
        " left outer join dogtip on (\"RAZP RENTA\".id_dt = dogtip.id_dt)\n"
        "where (\"RAZP RENTA\".id_rd=:ID)\n"
        "order by \"RAZP RENTA\".id_rr");
}

QString printedGoods()
{
    const QString data = QStringLiteral(
        "select \"RAZP DANNI\".id_hora, \"RAZP DANNI\".id_rd, vid_renta.me, rentakult.rk, \"RAZP RENTA\".id_rk,\n"
        "  sum( \"RAZP RENTA\".kol ) SK\n"
        " from rentakult\n"
        "  inner join \"RAZP RENTA\" on (rentakult.id_rk = \"RAZP RENTA\".id_rk)\n"
        "  inner join \"RAZP DANNI\" on (\"RAZP RENTA\".id_rd = \"RAZP DANNI\".id_rd)\n"
        "  inner join vid_renta on (\"RAZP RENTA\".id_vr = vid_renta.id_vr)\n"
        " where (\"RAZP DANNI\".id_rd = :ID_RD)\n"
        " group by \"RAZP DANNI\".id_hora, \"RAZP DANNI\".id_rd, vid_renta.me, rentakult.rk, \"RAZP RENTA\".id_rk");
    // A goods id appears once per receipt (and unit), so its place among the
    // receipt's goods is the count of the rows up to it.
    return QStringLiteral("select (select count(*) from (") + data +
           QStringLiteral(
               ") D2 where D2.id_rd = D.id_rd and D2.id_rk <= D.id_rk) NOMER,\n"
               " D.id_hora, D.id_rd, D.me, D.rk, D.SK\nfrom (") +
           data + QStringLiteral(") D\norder by D.id_hora, D.id_rd, 1");
}

QString ownerRow()
{
    return QStringLiteral("select * from hora where (hora.id_hora = :id_sobstv)");
}

}  // namespace rent::payout
