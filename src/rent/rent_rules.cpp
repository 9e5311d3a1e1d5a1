#include "rent/rent_rules.h"

#include "dataset/dataset.h"
#include "schema/rent_sql.h"

namespace rent {

namespace {

const QString kRulesFrom = QStringLiteral(
    "from dogtip\n"
    " inner join \"RENTA ZEML\" on (dogtip.id_dt = \"RENTA ZEML\".id_dt)\n"
    " inner join zemlishte on (\"RENTA ZEML\".id_zeml = zemlishte.id_zeml)\n"
    " inner join nas_mqsto on (zemlishte.ekatte = nas_mqsto.ekatte)\n");

}  // namespace

ListStatement rulesList()
{
    return {
        .base = {QStringLiteral("select nas_mqsto.naim_nm, zemlishte.ekatte, \"RENTA ZEML\".razmer, "
                                "\"RENTA ZEML\".id_zeml, \"RENTA ZEML\".id_rz, \"RENTA ZEML\".id_dt, dogtip.tip\n") +
                 kRulesFrom},
        .defaultOrder = {QStringLiteral("order by dogtip.id_dt, \"RENTA ZEML\".id_rz")}};
}

QString newestRule()
{
    return QStringLiteral("select first 1 \"RENTA ZEML\".id_rz\n") + kRulesFrom +
           QStringLiteral("order by \"RENTA ZEML\".id_rz desc");
}

QString contractTypesOffered()
{
    return QStringLiteral(
        "select count(*) COUNT_DT, \"DOG DANNI\".id_dt ID_DT, dogtip.tip TIP\n"
        "from \"DOG DANNI\" inner join dogtip on (\"DOG DANNI\".id_dt = dogtip.id_dt)\n"
        "group by \"DOG DANNI\".id_dt, dogtip.tip");
}

QString areasOffered()
{
    return QStringLiteral(
               "select count(*) COUNT_ZEML, \"DOG DANNI\".id_dt ID_DT, zemlishte.id_zeml ID_ZEML, "
               "nas_mqsto.naim_nm NAIM_NM\n"
               "from firma cross join \"DOG DANNI\"\n"
               " inner join doghorazemi on (\"DOG DANNI\".id_dog = doghorazemi.id_dog)\n"
               " inner join zemq on (doghorazemi.id_zemq = zemq.id_zemq)\n"
               " inner join mestnost on (zemq.id_mest = mestnost.id_mestn)\n"
               " inner join zemlishte on (mestnost.id_zeml = zemlishte.id_zeml)\n"
               " inner join nas_mqsto on (zemlishte.ekatte = nas_mqsto.ekatte)\n"
               "where (\"DOG DANNI\".id_dt=:id_dt) and ") +
           schema::rent::farmingYearCondition() +
           QStringLiteral("\ngroup by \"DOG DANNI\".id_dt, zemlishte.id_zeml, nas_mqsto.naim_nm");
}

QString receiptLineOfRule()
{
    return QStringLiteral("select first 1 1 from \"RAZP RENTA\" where id_zeml = ? and id_dt = ?");
}

QString lineOfRule()
{
    return QStringLiteral("select first 1 1 from vidrentakol where id_rz = ?");
}

QString lineOfRuleAndType()
{
    return QStringLiteral("select first 1 1 from vidrentakol where id_rz = ? and id_vrk = ?");
}

double ruleTotal(const dataset::Dataset& lines)
{
    const int kol = lines.field(QStringLiteral("KOL")).index();
    const int ec = lines.field(QStringLiteral("EC")).index();
    const auto number = [](const fb::Value& v) { return v.isNull() ? 0.0 : v.toDouble(); };
    double total = 0;
    for (int r = 0; r < lines.rowCount(); ++r)
        total += number(lines.value(r, kol)) * number(lines.value(r, ec));
    return total;
}

bool isMoney(int rentType)
{
    return rentType == schema::rent::kMoneyType;
}

}  // namespace rent
