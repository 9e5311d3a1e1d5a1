#include "schema/rent_sql.h"

#include <QStringList>

namespace schema::rent {

namespace {

QString areaSums()
{
    return QStringLiteral("sum(P.ZDPl) ZDPl, sum(P.ZPl) ZPl\n");
}

// The contract lines with the shares they bind (a line's owner and plot find
// the owner's share in the plot), summed per contract and owner, and per
// cadastral area of the plot unless `join` is None (an optional join keeps the
// lines whose plot or locality is missing, with no area). `owners`, when
// given, is a select of distinct owner ids (id_hora) the lines are restricted to.
//
// Summing the lines before the contract is looked up is what keeps the rent
// queries fast on a large register: the farming-year condition and the
// contract's type and state are then read once per contract and owner instead
// of once per line, and the lines are sorted by narrow keys only. The sums of
// exact decimals are the same however they are split.
enum class AreaJoin { None, Required, Optional };

QString computable(const QString& column, double largest)
{
    return QStringLiteral("coalesce(abs(%1), 0) < %2").arg(column).arg(largest, 0, 'f', 0);
}

QString computableShare()
{
    return QStringLiteral("(") + computable(QStringLiteral("sobstv.prredpl"), kComputableArea) +
           QStringLiteral(" and ") + computable(QStringLiteral("doghorazemi.redplosht"), kComputableArea) +
           QStringLiteral(")");
}

QString computableLine()
{
    return computable(QStringLiteral("vidrentakol.kol"), kComputableRuleQuantity) + QStringLiteral(" and ") +
           computable(QStringLiteral("vidrentakol.ec"), kComputablePrice);
}

QString linesPerContract(AreaJoin join, const QString& owners = {})
{
    const QString keys = join != AreaJoin::None
                             ? QStringLiteral("doghorazemi.id_dog, doghorazemi.id_sobstv, mestnost.id_zeml")
                             : QStringLiteral("doghorazemi.id_dog, doghorazemi.id_sobstv");
    QString sql = QStringLiteral("select ") + keys +
                  QStringLiteral(
                      ",\n sum(cast(doghorazemi.redplosht as decimal(15,3))) ZDPl,\n"
                      " sum(cast(sobstv.prredpl as decimal(15,3))) ZPl\n");
    if (owners.isEmpty())
        sql += QStringLiteral("from doghorazemi\n");
    else
        sql += QStringLiteral("from (") + owners +
               QStringLiteral(") O inner join doghorazemi on (doghorazemi.id_sobstv = O.id_hora)\n");
    sql += QStringLiteral(
               " inner join sobstv on (doghorazemi.id_zemq = sobstv.id_zemq) and "
               "(doghorazemi.id_sobstv = sobstv.id_hora) and ") +
           computableShare() + QStringLiteral("\n");
    if (join == AreaJoin::Required)
        sql += QStringLiteral(
            " inner join zemq on (doghorazemi.id_zemq = zemq.id_zemq)\n"
            " inner join mestnost on (zemq.id_mest = mestnost.id_mestn)\n");
    else if (join == AreaJoin::Optional)
        sql += QStringLiteral(
            " left outer join zemq on (doghorazemi.id_zemq = zemq.id_zemq)\n"
            " left outer join mestnost on (zemq.id_mest = mestnost.id_mestn)\n");
    return sql + QStringLiteral("group by ") + keys;
}

// The summed lines `lines` (as P) of the contracts that count in the firm's farming year.
QString linesOfTheYear(const QString& lines)
{
    return QStringLiteral("from firma cross join \"DOG DANNI\"\n inner join (") + lines +
           QStringLiteral(") P on (\"DOG DANNI\".id_dog = P.id_dog)\n");
}

// The rows of HDZ on integer keys (owner, area, contract type) and the
// contract state, without the descriptive columns: what the rent due needs.
QString sharesOfTheYear(const QString& lines)
{
    return QStringLiteral("select P.id_sobstv, P.id_zeml, \"DOG DANNI\".id_dt, \"DOG DANNI\".systoqnie,\n ") +
           areaSums() + linesOfTheYear(lines) + QStringLiteral("where ") + farmingYearCondition() +
           QStringLiteral("\ngroup by P.id_sobstv, P.id_zeml, \"DOG DANNI\".id_dt, \"DOG DANNI\".systoqnie");
}

QString areaPerOwner(const QString& lines)
{
    return QStringLiteral("select P.id_sobstv,\n ") + areaSums() + linesOfTheYear(lines) + QStringLiteral("where ") +
           farmingYearCondition() + QStringLiteral("\ngroup by P.id_sobstv");
}

QString receiptLinesCondition(ReceiptLines lines)
{
    switch (lines) {
        case ReceiptLines::Money:
            return QStringLiteral("where (\"RAZP RENTA\".id_vr=1)\n");
        case ReceiptLines::Goods:
            return QStringLiteral("where (\"RAZP RENTA\".id_vr<>1)\n");
        case ReceiptLines::All:
            break;
    }
    return {};
}

}  // namespace

QString farmingYearCondition()
{
    return QStringLiteral(
        "((\"DOG DANNI\".systoqnie <> 'Прекратен') or ((\"DOG DANNI\".systoqnie = 'Прекратен') and "
        "((\"DOG DANNI\".datapr < firma.toyear) and (\"DOG DANNI\".datapr > firma.fromyear))))"
        " and ((extract(year from \"DOG DANNI\".otdata) < extract(year from firma.toyear)) and "
        "(extract(year from \"DOG DANNI\".dodata) > extract(year from firma.fromyear)))");
}

QString contractedShares(const SharesOptions& options)
{
    const bool owner = options.owner || options.representative;
    QStringList groups{QStringLiteral("nas_mqsto.naim_nm")};
    if (owner)
        groups << QStringLiteral("hora.egn");
    groups << QStringLiteral("P.id_sobstv") << QStringLiteral("zemlishte.id_zeml");
    if (owner)
        groups << QStringLiteral("hora.ime");
    if (options.representative)
        groups << QStringLiteral("hora.predst");
    if (options.contractType)
        groups << QStringLiteral("dogtip.tip");
    groups << QStringLiteral("\"DOG DANNI\".systoqnie") << QStringLiteral("\"DOG DANNI\".id_dt");
    const QString columns = groups.join(QStringLiteral(", "));

    QString sql = QStringLiteral("select ") + columns + QStringLiteral(",\n ") + areaSums() +
                  linesOfTheYear(options.lines.isEmpty() ? linesPerContract(AreaJoin::Required) : options.lines) +
                  QStringLiteral(
                      " inner join zemlishte on (P.id_zeml = zemlishte.id_zeml)\n"
                      " inner join nas_mqsto on (zemlishte.ekatte = nas_mqsto.ekatte)\n");
    if (owner)
        sql += QStringLiteral(" inner join hora on (P.id_sobstv = hora.id_hora)\n");
    if (options.contractType)
        sql += QStringLiteral(" inner join dogtip on (\"DOG DANNI\".id_dt = dogtip.id_dt)\n");
    return sql + QStringLiteral("where ") + farmingYearCondition() + QStringLiteral("\ngroup by ") + columns;
}

QString contractedAreaPerOwner()
{
    return areaPerOwner(linesPerContract(AreaJoin::None));
}

QString contractLines(const QString& owners)
{
    return linesPerContract(AreaJoin::Optional, owners);
}

QString areaPerCadastralArea(bool settlementName, const QString& lines)
{
    // The sums first, then the area each is of (and its settlement's name):
    // one look-up per area instead of one per line, and a narrow sort.
    const QString keys = QStringLiteral("P.id_zeml, \"DOG DANNI\".id_dt");
    const QString sums = QStringLiteral("select ") + keys +
                         QStringLiteral(",\n sum(P.ZDPl) ZPD_plosht, sum(P.ZPl) ZP_plosht\n") +
                         linesOfTheYear(lines.isEmpty() ? linesPerContract(AreaJoin::Required) : lines) +
                         QStringLiteral("where ") + farmingYearCondition() + QStringLiteral("\ngroup by ") + keys;
    QString sql = QStringLiteral("select Z.id_zeml, Z.id_dt") +
                  (settlementName ? QStringLiteral(", nas_mqsto.naim_nm") : QString()) +
                  QStringLiteral(", Z.ZPD_plosht, Z.ZP_plosht\nfrom (") + sums +
                  QStringLiteral(") Z\n inner join zemlishte on (Z.id_zeml = zemlishte.id_zeml)");
    if (settlementName)
        sql += QStringLiteral("\n inner join nas_mqsto on (zemlishte.ekatte = nas_mqsto.ekatte)");
    return sql;
}

LineSums computedLineSums()
{
    return {linesPerContract(AreaJoin::Required), linesPerContract(AreaJoin::None)};
}

QString computableRuleLines()
{
    return QStringLiteral("(select * from vidrentakol where ") + computableLine() + QStringLiteral(") vidrentakol");
}

QString uncomputableRuleLines()
{
    return QStringLiteral(
               "select nas_mqsto.naim_nm, dogtip.tip, vid_renta.naim_vr\n"
               "from vidrentakol\n"
               " inner join \"RENTA ZEML\" on (vidrentakol.id_rz = \"RENTA ZEML\".id_rz)\n"
               " inner join vid_renta on (vidrentakol.id_vrk = vid_renta.id_vr)\n"
               " left outer join dogtip on (\"RENTA ZEML\".id_dt = dogtip.id_dt)\n"
               " left outer join zemlishte on (\"RENTA ZEML\".id_zeml = zemlishte.id_zeml)\n"
               " left outer join nas_mqsto on (zemlishte.ekatte = nas_mqsto.ekatte)\n"
               "where not (") +
           computableLine() + QStringLiteral(")\norder by nas_mqsto.naim_nm, dogtip.tip, vid_renta.naim_vr");
}

QString uncomputableShares()
{
    // Each area outside is found at an end of its index; only a share under
    // a contract enters the rent.
    const QString outside = QStringLiteral("(%1 >= %2 or %1 <= -%2)");
    const QString limit = QString::number(kComputableArea, 'f', 0);
    return QStringLiteral(
               "select distinct hora.egn, hora.ime, zemq.imot_no\n"
               "from (select sobstv.id_hora, sobstv.id_zemq from sobstv where ") +
           outside.arg(QStringLiteral("sobstv.prredpl"), limit) +
           QStringLiteral("\n union select doghorazemi.id_sobstv, doghorazemi.id_zemq from doghorazemi where ") +
           outside.arg(QStringLiteral("doghorazemi.redplosht"), limit) +
           QStringLiteral(
               ") S\n"
               " inner join doghorazemi on (doghorazemi.id_zemq = S.id_zemq) and (doghorazemi.id_sobstv = S.id_hora)\n"
               " inner join sobstv on (sobstv.id_zemq = S.id_zemq) and (sobstv.id_hora = S.id_hora)\n"
               " inner join hora on (S.id_hora = hora.id_hora)\n"
               " left outer join zemq on (S.id_zemq = zemq.id_zemq)\n"
               "order by hora.ime, zemq.imot_no");
}

QString rulesThatApply(const QString& hdzSelect, bool withLines)
{
    QString sql = QStringLiteral(
                      "from dogtip\n"
                      " inner join \"RENTA ZEML\" on (dogtip.id_dt = \"RENTA ZEML\".id_dt)\n"
                      " inner join zemlishte on (\"RENTA ZEML\".id_zeml = zemlishte.id_zeml)\n"
                      " inner join nas_mqsto on (zemlishte.ekatte = nas_mqsto.ekatte)\n"
                      " inner join (") +
                  hdzSelect +
                  QStringLiteral(") HDZ on (dogtip.id_dt=HDZ.id_dt) and (\"RENTA ZEML\".id_zeml=HDZ.id_zeml)\n");
    if (withLines)
        sql += QStringLiteral(" inner join ") + computableRuleLines() +
               QStringLiteral(
                   " on (\"RENTA ZEML\".id_rz = vidrentakol.id_rz)\n"
                   " inner join vid_renta on (vidrentakol.id_vrk = vid_renta.id_vr)\n");
    return sql;
}

QString goodsLinesOfRules()
{
    // One row per line: (id_vrk, id_rz) is the key of vidrentakol.
    return QStringLiteral(
               "select cast(vidrentakol.kol as decimal(15,0)) kol, vidrentakol.ec, vidrentakol.id_rz\nfrom ") +
           computableRuleLines() +
           QStringLiteral(
               " inner join vid_renta on (vidrentakol.id_vrk = vid_renta.id_vr)\n"
               "where (vidrentakol.id_vrk<>1)");
}

QString moneyLineOfRules()
{
    return QStringLiteral(
               "select cast(vidrentakol.kol as decimal(15,2)) kol, vidrentakol.ec, vidrentakol.id_rz\nfrom ") +
           computableRuleLines() +
           QStringLiteral(
               " inner join vid_renta on (vidrentakol.id_vrk = vid_renta.id_vr)\n"
               "where (vidrentakol.id_vrk=1)");
}

QString dueQuantity(Form form, const QString& line, const QString& shares)
{
    const QString scale = form == Form::Money ? QStringLiteral("2") : QStringLiteral("0");
    return QStringLiteral("cast(%1.kol as decimal(15,%2))* %3.ZPl").arg(line, scale, shares);
}

QString dueValue(Form form, const QString& line, const QString& shares)
{
    if (form == Form::Money)
        return QStringLiteral(
                   "cast((cast(%1.kol as decimal(15,2))*cast(%1.ec as decimal(15,5))) as decimal(15,2))*%2.ZPl")
            .arg(line, shares);
    return QStringLiteral("cast((cast(%1.kol as decimal(15,0))*%2.ZPl) as decimal(15,0))*cast(%1.ec as decimal(15,5))")
        .arg(line, shares);
}

QString dueValuePerType(const QString& line)
{
    return QStringLiteral(
               "case when %3.id_vrk = 1 then cast(sum(%1) as decimal(15,2))"
               " else cast(sum(%2) as decimal(15,2)) end")
        .arg(dueValue(Form::Money, line), dueValue(Form::Goods, line), line);
}

QString goodsReceipts(const ReceiptOptions& options)
{
    return QStringLiteral(
               "select \"RAZP DANNI\".id_hora, sum( \"RAZP RENTA\".kol ) %1_kol,\n"
               " cast(sum(\"RAZP RENTA\".stoinost) as decimal(15,2)) %1_pari\n"
               "from vid_renta\n"
               " inner join \"RAZP RENTA\" on (vid_renta.id_vr = \"RAZP RENTA\".id_vr)\n"
               " inner join \"RAZP DANNI\" on (\"RAZP RENTA\".id_rd = \"RAZP DANNI\".id_rd)\n"
               " inner join rentakult on (\"RAZP RENTA\".id_rk = rentakult.id_rk)\n")
               .arg(options.prefix) +
           receiptLinesCondition(options.lines) + QStringLiteral("group by \"RAZP DANNI\".id_hora");
}

QString cashPayments()
{
    // Grouped by the owner alone: grouping by pmg as well would give an owner
    // with payments both empty and 0 in pmg two rows, and every row joined to
    // them would count twice.
    return QStringLiteral(
        "select razp_pari.id_hora, cast(sum(razp_pari.suma) as decimal(15,2)) RP_sum\n"
        "from razp_pari\n"
        "where (coalesce(razp_pari.pmg,0)<>1)\n"
        "group by razp_pari.id_hora");
}

QString receivedPerRuleLine()
{
    return QStringLiteral(
        "select \"RAZP RENTA\".id_vr, \"RAZP RENTA\".id_dt, \"RAZP RENTA\".id_zeml, \"RAZP DANNI\".id_hora,\n"
        " sum( \"RAZP RENTA\".kol ) SK\n"
        "from \"RAZP DANNI\" inner join \"RAZP RENTA\" on (\"RAZP DANNI\".id_rd = \"RAZP RENTA\".id_rd)\n"
        "group by \"RAZP RENTA\".id_vr, \"RAZP RENTA\".id_dt, \"RAZP RENTA\".id_zeml, \"RAZP DANNI\".id_hora");
}

QString unpaidDue(const QString& lines)
{
    // Every rule line of the owner's rows, the money line and the goods lines
    // apart, first per contracted-shares row, so that the row's areas are
    // read once however many lines its rule has; then per owner.
    const QString ruleLines =
        QStringLiteral("select vidrentakol.id_vrk, vidrentakol.kol, vidrentakol.ec, vidrentakol.id_rz\nfrom ") +
        computableRuleLines() + QStringLiteral(" inner join vid_renta on (vidrentakol.id_vrk = vid_renta.id_vr)");
    const QString perRow =
        QStringLiteral("select HDZ.id_sobstv, HDZ.ZDPl, HDZ.ZPl,\n sum(case when L.id_vrk = 1 then ") +
        dueValue(Form::Money, QStringLiteral("L")) + QStringLiteral(" end) MP,\n sum(case when L.id_vrk <> 1 then ") +
        dueValue(Form::Goods, QStringLiteral("L")) + QStringLiteral(" end) GP,\n sum(case when L.id_vrk <> 1 then ") +
        dueQuantity(Form::Goods, QStringLiteral("L")) +
        QStringLiteral(" end) SOK,\n sum(case when L.id_vrk = 1 then ") +
        dueQuantity(Form::Money, QStringLiteral("L")) + QStringLiteral(" end) SOKP\n") +
        rulesThatApply(sharesOfTheYear(lines.isEmpty() ? computedLineSums().byArea : lines), false) +
        QStringLiteral(" left outer join (") + ruleLines +
        QStringLiteral(
            ") L on (\"RENTA ZEML\".id_rz = L.id_rz)\n"
            "group by HDZ.id_sobstv, HDZ.id_zeml, HDZ.id_dt, HDZ.systoqnie, HDZ.ZDPl, HDZ.ZPl");
    return QStringLiteral(
               "select R.id_sobstv, sum(R.ZDPl) ZDPl, sum(R.ZPl) ZPl, sum(R.SOK) SOK, sum(R.SOKP) SOKP,\n"
               " cast(coalesce(sum(R.MP),0) + coalesce(sum(R.GP),0) as decimal(15,2)) SOP\nfrom (") +
           perRow + QStringLiteral(") R\ngroup by R.id_sobstv");
}

QString unpaidRestOver(const QString& due)
{
    const QString rest =
        QStringLiteral("(U.SOP - coalesce(RP.RP_sum,0) - coalesce(RRP.RR_pari,0) - coalesce(RRS.RRS_pari,0))");
    return QStringLiteral(
               "select U.id_sobstv, hora.egn, hora.ime, U.ZDPl, U.ZPl, U.SOK, U.SOKP, U.SOP,\n"
               " RRP.RR_pari, RRS.RRS_kol, RRS.RRS_pari, RP.RP_sum, ") +
           rest + QStringLiteral(" OSTATYK\nfrom (") + due +
           QStringLiteral(") U\n inner join hora on (U.id_sobstv = hora.id_hora)\n left outer join (") +
           goodsReceipts({ReceiptLines::Money, QStringLiteral("RR")}) +
           QStringLiteral(") RRP on (U.id_sobstv = RRP.id_hora)\n left outer join (") +
           goodsReceipts({ReceiptLines::Goods, QStringLiteral("RRS")}) +
           QStringLiteral(") RRS on (U.id_sobstv = RRS.id_hora)\n left outer join (") + cashPayments() +
           QStringLiteral(") RP on (U.id_sobstv = RP.id_hora)\nwhere ") + rest + QStringLiteral(" > 0");
}

QString unpaidRest()
{
    return unpaidRestOver(unpaidDue());
}

RentListStatement rentList()
{
    return rentListOver(ownerFigures(computedLineSums()));
}

QString ownerFigures(const LineSums& lines)
{
    // The due value per owner and rent type, rounded once per type, over the
    // owner's share rows that meet a rule line; summed per owner.
    const QString perType = QStringLiteral("select HDZ.id_sobstv, vidrentakol.id_vrk, ") + dueValuePerType() +
                            QStringLiteral(" SOP\n") + rulesThatApply(sharesOfTheYear(lines.byArea)) +
                            QStringLiteral("group by HDZ.id_sobstv, vidrentakol.id_vrk");
    return QStringLiteral(
               "select D.id_sobstv, D.count_rec, A.ZDPl, A.ZPl, D.SOP\n"
               "from (select T.id_sobstv, count(*) count_rec, cast(sum(T.SOP) as decimal(15,2)) SOP\n"
               " from (") +
           perType + QStringLiteral(") T group by T.id_sobstv) D\n inner join (") + areaPerOwner(lines.all) +
           QStringLiteral(") A on (A.id_sobstv = D.id_sobstv)");
}

RentListStatement rentListOver(const QString& figures)
{
    const QString q1 = QStringLiteral(
                           "select F.count_rec, F.id_sobstv, hora.egn, hora.ime, hora.predst, F.ZDPl, F.ZPl, F.SOP,\n"
                           " coalesce(RR.RR_pari, 0) RR, coalesce(RP.RP_sum,0) RP\n"
                           "from (") +
                       figures + QStringLiteral(") F\n inner join hora on (F.id_sobstv = hora.id_hora)\n") +
                       QStringLiteral(" left outer join (") + goodsReceipts() +
                       QStringLiteral(") RR on (F.id_sobstv=RR.id_hora)\n") + QStringLiteral(" left outer join (") +
                       cashPayments() + QStringLiteral(") RP on (F.id_sobstv=RP.id_Hora)");
    RentListStatement st;
    st.base = QStringLiteral(
                  "select Q1.count_rec COUNT_REC, Q1.id_sobstv ID_SOBSTV, Q1.egn EGN, Q1.ime IME, Q1.predst PREDST,\n"
                  " Q1.ZDPl ZDPL, Q1.ZPl ZPL, Q1.SOP SOP, Q1.RR RR, Q1.RP RP,\n"
                  " (Q1.RR + Q1.RP) IZPL, (Q1.SOP - Q1.RR - Q1.RP) OSTATYK\nfrom (") +
              q1 + QStringLiteral(") Q1\n");
    st.order = QStringLiteral(" order by Q1.ime ");
    return st;
}

}  // namespace schema::rent
