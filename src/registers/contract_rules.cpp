#include "registers/contract_rules.h"

#include <QLocale>
#include <QRegularExpression>

namespace contract {

std::optional<QString> proposedNumber(const QString& lastNumber)
{
    static const QRegularExpression digits(QStringLiteral("^[0-9]{1,15}$"));
    const QString trimmed = lastNumber.trimmed();
    if (!digits.match(trimmed).hasMatch())
        return std::nullopt;
    const QString next = QString::number(trimmed.toLongLong() + 1);
    if (next.size() > kNumberLength)
        return std::nullopt;
    return next;
}

bool periodIsRight(const QDate& from, const QDate& to)
{
    return !from.isValid() || !to.isValid() || from <= to;
}

bool terminationDateIsRight(const QDate& termination, const QDate& contractDate)
{
    if (!termination.isValid())
        return false;
    return !contractDate.isValid() || termination >= contractDate;
}

QString areaTotalText(double total)
{
    QLocale locale;
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    return locale.toString(total, 'f', 3) + QStringLiteral(" дка");
}

// A number that is not a digit string (typed by an older program) sorts
// with no number instead of stopping the whole list with a conversion error.
ListStatement registerStatement()
{
    return {.base = {QStringLiteral(
                "select iif(trim(\"DOG DANNI\".nomer) similar to '[0-9]{1,15}', "
                "cast(trim(\"DOG DANNI\".nomer) as decimal(15,0)), null) nom, "
                "\"DOG DANNI\".id_dog, \"DOG DANNI\".data, \"DOG DANNI\".otdata, \"DOG DANNI\".dodata, "
                "\"DOG DANNI\".datapr, \"DOG DANNI\".id_viddog, \"DOG DANNI\".id_firma, \"DOG DANNI\".nomer, "
                "\"DOG DANNI\".svvhregno, \"DOG DANNI\".svaktno, \"DOG DANNI\".svtom, \"DOG DANNI\".svdelo, "
                "\"DOG DANNI\".nznomer, \"DOG DANNI\".nztom, \"DOG DANNI\".nzregno, \"DOG DANNI\".nzdelo, "
                "\"DOG DANNI\".nzdata, \"DOG DANNI\".notregno, \"DOG DANNI\".oszregno, \"DOG DANNI\".systoqnie, "
                "\"DOG DANNI\".id_dt, vid_dog.naim_vd, dogtip.tip from \"DOG DANNI\" "
                "left join vid_dog on vid_dog.id_viddog = \"DOG DANNI\".id_viddog "
                "left join dogtip on dogtip.id_dt = \"DOG DANNI\".id_dt")},
            .defaultOrder = {QStringLiteral("order by nom")}};
}

// The plots locality by locality, the localities in the order of their
// area's and their own name, each one's plots sorted on their own: the
// rows of the list's select and in its order (two localities of the same
// names come one after the other), but the first rows come at once, where
// the select sorts 100,000 plots first.
static QString wholePlotList()
{
    return QStringLiteral(
        "execute block returns (naim_nm type of column nas_mqsto.naim_nm, "
        "naim_mestn type of column mestnost.naim_mestn, id_zemq type of column zemq.id_zemq, "
        "imot_no type of column zemq.imot_no, imot_no2 type of column zemq.imot_no2, "
        "naim_ntp type of column ntp.naim_ntp, plosht type of column zemq.plosht, "
        "prplosht type of column zemq.prplosht, obrab type of column zemq.obrab, "
        "naim_kult type of column kultura.naim_kult, id_ntp type of column zemq.id_ntp, "
        "id_kult type of column zemq.id_kult, naim_fs type of column fs.naim_fs, obrabotvaema varchar(2)) as "
        "declare id_mestn integer; "
        "begin "
        "for select mestnost.id_mestn, nas_mqsto.naim_nm, mestnost.naim_mestn from mestnost "
        "inner join zemlishte on mestnost.id_zeml = zemlishte.id_zeml "
        "inner join nas_mqsto on zemlishte.ekatte = nas_mqsto.ekatte "
        "order by nas_mqsto.naim_nm, mestnost.naim_mestn, mestnost.id_mestn "
        "into id_mestn, naim_nm, naim_mestn do "
        "for select zemq.id_zemq, zemq.imot_no, zemq.imot_no2, ntp.naim_ntp, zemq.plosht, zemq.prplosht, "
        "zemq.obrab, kultura.naim_kult, zemq.id_ntp, zemq.id_kult, fs.naim_fs, "
        "iif(zemq.obrab = 0, 'Да', iif(zemq.obrab = 1, 'Не', null)) "
        "from zemq inner join fs on fs.id_fs = zemq.id_fs inner join ntp on zemq.id_ntp = ntp.id_ntp "
        "left outer join kultura on zemq.id_kult = kultura.id_kult "
        "where zemq.id_mest = :id_mestn "
        "order by zemq.imot_no, zemq.imot_no2, ntp.naim_ntp, zemq.plosht, zemq.prplosht, zemq.obrab "
        "into id_zemq, imot_no, imot_no2, naim_ntp, plosht, prplosht, obrab, naim_kult, id_ntp, id_kult, naim_fs, "
        "obrabotvaema do suspend; "
        "end");
}

ListStatement plotListStatement()
{
    return {.base = {QStringLiteral(
                "select nas_mqsto.naim_nm, mestnost.naim_mestn, zemq.id_zemq, zemq.imot_no, zemq.imot_no2, "
                "ntp.naim_ntp, zemq.plosht, zemq.prplosht, zemq.obrab, kultura.naim_kult, zemq.id_ntp, "
                "zemq.id_kult, fs.naim_fs, iif(zemq.obrab = 0, 'Да', iif(zemq.obrab = 1, 'Не', null)) obrabotvaema "
                "from fs inner join zemq on fs.id_fs = zemq.id_fs "
                "inner join mestnost on zemq.id_mest = mestnost.id_mestn "
                "inner join zemlishte on mestnost.id_zeml = zemlishte.id_zeml "
                "inner join nas_mqsto on zemlishte.ekatte = nas_mqsto.ekatte "
                "left outer join kultura on zemq.id_kult = kultura.id_kult "
                "inner join ntp on zemq.id_ntp = ntp.id_ntp")},
            .defaultOrder = {QStringLiteral("order by nas_mqsto.naim_nm, mestnost.naim_mestn, zemq.imot_no, "
                                            "zemq.imot_no2, ntp.naim_ntp, zemq.plosht,zemq.prplosht, zemq.obrab ")},
            .whereLine = QStringLiteral("WHERE "),
            .whole = {wholePlotList()}};
}

QString sharesStatement()
{
    return QStringLiteral(
        "select hora.ime, hora.egn, hora.predst, \"DOG DANNI\".nomer, \"DOG DANNI\".data, sobstv.id_hora, "
        "sobstv.id_zemq, sobstv.redplosht, sobstv.prredpl, sobstv.chast, sobstv.id_dog, sobstv.id_dhz "
        "from sobstv inner join hora on sobstv.id_hora = hora.id_hora "
        "left outer join \"DOG DANNI\" on sobstv.id_dog = \"DOG DANNI\".id_dog "
        "where sobstv.id_zemq = :id_zemq order by sobstv.id_dog");
}

QString linesStatement()
{
    return QStringLiteral(
        "select distinct nas_mqsto.naim_nm, mestnost.naim_mestn, zemq.imot_no, zemq.imot_no2, zemq.plosht, "
        "ntp.naim_ntp, hora.id_hora, hora.egn, hora.ime, hora.predst, doghorazemi.id_dhz, doghorazemi.chast, "
        "doghorazemi.redplosht, doghorazemi.id_dog, fs.naim_fs "
        "from fs inner join zemq on fs.id_fs = zemq.id_fs "
        "inner join doghorazemi on zemq.id_zemq = doghorazemi.id_zemq "
        "inner join hora on doghorazemi.id_sobstv = hora.id_hora "
        "inner join \"DOG DANNI\" on doghorazemi.id_dog = \"DOG DANNI\".id_dog "
        "inner join mestnost on zemq.id_mest = mestnost.id_mestn "
        "inner join zemlishte on mestnost.id_zeml = zemlishte.id_zeml "
        "inner join nas_mqsto on zemlishte.ekatte = nas_mqsto.ekatte "
        "inner join ntp on zemq.id_ntp = ntp.id_ntp "
        "where doghorazemi.id_dog = :id_dog");
}

// A goods receipt counts when it has at least one rent row.
QString ownersWithReceiptsStatement()
{
    return QStringLiteral(
        "select distinct doghorazemi.id_sobstv, doghorazemi.id_dog, \"DOG DANNI\".id_dt "
        "from \"DOG DANNI\" inner join doghorazemi on \"DOG DANNI\".id_dog = doghorazemi.id_dog "
        "where doghorazemi.id_dog = :id_dog and exists (select 1 from \"RAZP DANNI\" "
        "inner join \"RAZP RENTA\" on \"RAZP DANNI\".id_rd = \"RAZP RENTA\".id_rd "
        "where \"RAZP DANNI\".id_hora = doghorazemi.id_sobstv)");
}

}  // namespace contract
