#include "dm/tdm.h"

#include "dataset/usage_error.h"
#include "dm/tables.h"
#include "fb/error.h"
#include "schema/schema.h"

namespace {

using Options = fb::TransactionOptions;

const Options snapshot = Options::snapshot();
constexpr bool endsItself = true;
constexpr bool stays = false;

const QString areaMask = QStringLiteral("#0.000");
const QString dateMask = QStringLiteral("!99/99/0000;1;_");

// Deletes every row a detail cursor shows for its master's current row.
void deleteAll(dataset::Dataset& detail)
{
    detail.open();
    detail.first();
    while (!detail.isEmpty())
        detail.remove();
}

}  // namespace

TDM::TDM(const QString& databaseFile)
    : IBDatabase1(databaseFile),
      IBTObl(IBDatabase1, "IBTObl", snapshot, endsItself),
      IBTZeml(IBDatabase1, "IBTZeml", snapshot, endsItself),
      IBTMestn(IBDatabase1, "IBTMestn", snapshot, endsItself),
      IBTImot(IBDatabase1, "IBTImot", snapshot, stays),
      IBTHora(IBDatabase1, "IBTHora", snapshot, stays),
      IBTCountry(IBDatabase1, "IBTCountry", snapshot, stays),
      IBTKult(IBDatabase1, "IBTKult", snapshot, endsItself),
      IBTNTP(IBDatabase1, "IBTNTP", snapshot, endsItself),
      IBTVDS(IBDatabase1, "IBTVDS", snapshot, endsItself),
      IBTFS(IBDatabase1, "IBTFS", snapshot, stays),
      IBTKatKoef(IBDatabase1, "IBTKatKoef", snapshot, stays),
      IBTDog(IBDatabase1, "IBTDog", Options::readCommitted(false), stays),
      IBTDelSobstv(IBDatabase1, "IBTDelSobstv", snapshot, stays),
      IBTDogVid(IBDatabase1, "IBTDogVid", snapshot, endsItself),
      IBTDT(IBDatabase1, "IBTDT", snapshot, stays),
      IBTFirma(IBDatabase1, "IBTFirma", snapshot, endsItself),
      IBVZP(IBDatabase1, "IBVZP", snapshot, endsItself),
      IBTVR(IBDatabase1, "IBTVR", snapshot, endsItself),
      IBTVRK(IBDatabase1, "IBTVRK", snapshot, stays),
      IBTRZeml(IBDatabase1, "IBTRZeml", snapshot, stays),
      IBTRK(IBDatabase1, "IBTRK", snapshot, stays),
      IBTRRDel(IBDatabase1, "IBTRRDel", snapshot, stays),
      IBTRazp(IBDatabase1, "IBTRazp", Options::readCommitted(true), stays),
      IBTRazpPari(IBDatabase1, "IBTRazpPari", snapshot, endsItself),
      IBQueryRD(IBDatabase1, "IBQueryRD", snapshot, endsItself),
      IBTQueryRP(IBDatabase1, "IBTQueryRP", snapshot, endsItself),
      IBTOIR(IBDatabase1, "IBTOIR", snapshot, endsItself),
      IBTONR(IBDatabase1, "IBTONR", snapshot, stays),
      TOblast(IBTObl, "TOblast"),
      TObshtina(IBTObl, "TObshtina"),
      TNasmqsto(IBTObl, "TNasmqsto"),
      TZemlishte(IBTZeml, "TZemlishte"),
      tNewZemli6ta(IBTZeml, "tNewZemli6ta"),
      TMestnost(IBTMestn, "TMestnost"),
      TZemq(IBTImot, "TZemq"),
      TKategoriq(IBTImot, "TKategoriq"),
      TSobstv(IBTImot, "TSobstv"),
      TIstoriq(IBTImot, "TIstoriq"),
      IBTable4(IBTImot, "IBTable4"),
      TImotiDog(IBTImot, "TImotiDog"),
      THora(IBTHora, "THora"),
      TEGNHora(IBTHora, "TEGNHora"),
      TCountry(IBTCountry, "TCountry"),
      TKULT(IBTKult, "TKULT"),
      TNTP(IBTNTP, "TNTP"),
      TVDS(IBTVDS, "TVDS"),
      TFS(IBTFS, "TFS"),
      TKatKoef(IBTKatKoef, "TKatKoef"),
      TDogovor(IBTDog, "TDogovor"),
      TDHZ(IBTDog, "TDHZ"),
      TDelImotiDHZ(IBTDog, "TDelImotiDHZ"),
      TDogDel(IBTDog, "TDogDel"),
      TDelSobstv(IBTDelSobstv, "TDelSobstv"),
      TDogVid(IBTDogVid, "TDogVid"),
      TDogTip(IBTDT, "TDogTip"),
      TFirma(IBTFirma, "TFirma"),
      TVZP(IBVZP, "TVZP"),
      TVidRenta(IBTVR, "TVidRenta"),
      TVRKDel(IBTVRK, "TVRKDel"),
      TRZeml(IBTRZeml, "TRZeml"),
      rzeml2(IBTRZeml, "rzeml2"),
      TVRK(IBTVRK, "TVRK"),
      TRentaKult(IBTRK, "TRentaKult"),
      TRRDel(IBTRRDel, "TRRDel"),
      TRD(IBTRazp, "TRD"),
      TRR(IBTRazp, "TRR"),
      TRKO(IBTRazpPari, "TRKO"),
      TOIR(IBTOIR, "TOIR"),
      TONR(IBTONR, "TONR"),
      QueryRD(IBQueryRD, "QueryRD"),
      QueryRP(IBTQueryRP, "QueryRP")
{
    defineRegisterCursors();
    defineRentCursors();
    IBDatabase1.setAfterConnect([this] { IBDatabase1AfterConnect(); });
    try {
        IBDatabase1.connect();
    } catch (const fb::Error& e) {
        // Not reported now: the first screen that reads shows the client's text.
        connectError_ = e;
    }
}

TDM::~TDM()
{
    try {
        IBDatabase1.disconnect();  // commits what is still open
    } catch (const fb::Error&) {
        // The program ends anyway; the engine drops the attachment.
    }
}

void TDM::table(dataset::Dataset& cursor, const char* tableName)
{
    dm::useTable(cursor, QLatin1String(tableName));
    tableCursors_.push_back(&cursor);
}

// A second cursor looks keys up in the whole table (duplicate and
// still-in-use checks) without ever loading it.
void TDM::secondCursor(dataset::Dataset& cursor, const char* tableName)
{
    table(cursor, tableName);
    cursor.setSecondCursor(true);
}

void TDM::defineRegisterCursors()
{
    table(TOblast, "OBLAST");
    table(TObshtina, "OBSHTINA");
    TObshtina.setMaster(TOblast, "ID_OBL", "ID_OBL");
    table(TNasmqsto, "NAS_MQSTO");
    TNasmqsto.setMaster(TObshtina, "ID_OBSHT", "ID_OBSHT");
    table(TZemlishte, "ZEMLISHTE");
    TZemlishte.setAutoEdit(false);
    secondCursor(tNewZemli6ta, "ZEMLISHTE");
    table(TMestnost, "MESTNOST");
    TMestnost.setMaster(TZemlishte, "ID_ZEML", "ID_ZEML");

    table(TZemq, "ZEMQ");
    TZemq.setMaster(TMestnost, "ID_MEST", "ID_MESTN");
    // A locality may hold thousands of plots: its first ones are read at
    // start-up and on each move, the rest as they are used.
    TZemq.setFetchOnDemand(true);
    for (const char* f : {"PLOSHT", "KOMASIP", "POLPL", "PRPLOSHT"})
        TZemq.field(f).setDisplayFormat(areaMask);
    TZemq.field("NZDATA").setEditMask(dateMask);
    TZemq.field("IMOT_NO2").setEditMask(QStringLiteral("#####.###.###;1;_"));
    TZemq.addBeforeDelete([this] { TZemqBeforeDelete(); });
    table(TKategoriq, "KATEGORIQ");
    TKategoriq.setMaster(TZemq, "ID_ZEMQ", "ID_ZEMQ");
    table(TSobstv, "SOBSTV");
    TSobstv.setMaster(TZemq, "ID_ZEMQ", "ID_ZEMQ");
    table(TIstoriq, "ISTORIQ");
    TIstoriq.setMaster(TZemq, "ID_ZEMQ", "ID_ZEMQ");
    TIstoriq.field("PLOSHT").setDisplayFormat(areaMask);
    table(IBTable4, "SOBSTV");
    IBTable4.setMaster(THora, "ID_HORA", "ID_HORA");
    secondCursor(TImotiDog, "ZEMQ");

    table(THora, "HORA");
    // The two long registers are read on as they are used, not at start-up.
    THora.setFetchOnDemand(true);
    secondCursor(TEGNHora, "HORA");
    table(TCountry, "COUNTRY");
    table(TKULT, "KULTURA");
    table(TNTP, "NTP");
    table(TVDS, "VIDDOKSOBSTV");
    table(TFS, "FS");
    table(TKatKoef, "CATEGORY_COEFFICIENT");

    // Lookup fields are resolved through cursors made above.
    TZemq.addLookupField("NTP", 30, "ID_NTP", TNTP, "ID_NTP", "NAIM_NTP");
    TSobstv.addLookupField("ime", 50, "ID_HORA", THora, "ID_HORA", "IME");
    TSobstv.addLookupField("egn", 15, "ID_HORA", THora, "ID_HORA", "EGN");
    TIstoriq.addLookupField("IME", 50, "ID_HORA", THora, "ID_HORA", "IME");
    TIstoriq.addLookupField("EGN", 15, "ID_HORA", THora, "ID_HORA", "EGN");

    table(TDogovor, "DOG DANNI");
    TDogovor.setFetchOnDemand(true);
    for (const char* f : {"OTDATA", "DODATA", "NZDATA", "SVDELO"})
        TDogovor.field(f).setEditMask(dateMask);
    TDogovor.addBeforeDelete([this] { TDogovorBeforeDelete(); });
    table(TDHZ, "DOGHORAZEMI");
    TDHZ.setMaster(TDogovor, "ID_DOG", "ID_DOG");
    TDHZ.field("REDPLOSHT").setDisplayFormat(QStringLiteral("#####0.000"));
    secondCursor(TDelImotiDHZ, "DOGHORAZEMI");
    secondCursor(TDogDel, "DOG DANNI");
    secondCursor(TDelSobstv, "SOBSTV");
    TDelSobstv.field("REDPLOSHT").setDisplayFormat(areaMask);
    table(TDogVid, "VID_DOG");
    table(TDogTip, "DOGTIP");
    table(TFirma, "FIRMA");
    table(TVZP, "VZP");
}

void TDM::defineRentCursors()
{
    const QString money = QStringLiteral("#0.00");
    table(TVidRenta, "VID_RENTA");
    TVidRenta.field("ED_CENA").setDisplayFormat(QStringLiteral("######0.00"));
    secondCursor(TVRKDel, "VIDRENTAKOL");
    table(TRZeml, "RENTA ZEML");
    secondCursor(rzeml2, "RENTA ZEML");
    table(TVRK, "VIDRENTAKOL");
    TVRK.setMaster(TRZeml, "ID_RZ", "ID_RZ");
    table(TRentaKult, "RENTAKULT");
    secondCursor(TRRDel, "RAZP RENTA");
    table(TRD, "RAZP DANNI");
    TRD.setFetchOnDemand(true);
    TRD.addBeforeDelete([this] { TRDBeforeDelete(); });
    table(TRR, "RAZP RENTA");
    TRR.setMaster(TRD, "ID_RD", "ID_RD");
    TRR.field("KOL").setDisplayFormat(money);
    table(TRKO, "RAZP_PARI");
    TRKO.setFetchOnDemand(true);
    TRKO.field("SUMA").setDisplayFormat(money);
    table(TOIR, "OIR");
    table(TONR, "ONR");
    TONR.setFetchOnDemand(true);

    QueryRD.sql().setLines(
        {QStringLiteral("select * from \"RAZP DANNI\""), QStringLiteral("order by \"RAZP DANNI\".id_rd")});
    QueryRP.sql().setLines(
        {QStringLiteral("select * from razp_pari"), QStringLiteral("order by razp_pari.id_razppari")});
}

// Opens every table cursor in creation order; the first that fails leaves
// itself and those after it closed.
void TDM::IBDatabase1AfterConnect()
{
    // A database of an earlier program gets what this one expects first.
    schema::upgrade(IBDatabase1.connection());
    for (dataset::Dataset* c : tableCursors_)
        c->open();
}

// A plot goes with its category rows and ownership shares (its history
// stays), all in the plot's transaction.
void TDM::TZemqBeforeDelete()
{
    deleteAll(TKategoriq);
    deleteAll(TSobstv);
}

void TDM::reopenPlotCursors()
{
    for (dataset::Dataset* c : {&TZemq, &TKategoriq, &TSobstv, &TIstoriq})
        c->open();
}

void TDM::reopenContractCursors()
{
    for (dataset::Dataset* c : {&TDogovor, &TDHZ, &TDelImotiDHZ, &TDogDel})
        c->open();
}

void TDM::reopenRuleCursors()
{
    for (dataset::Dataset* c : {&TRZeml, &rzeml2, &TVRK, &TVRKDel})
        c->open();
}

void TDM::freshLookups()
{
    for (auto [area, cursor] : {std::pair{&IBTVR, &TVidRenta}, std::pair{&IBTRK, &TRentaKult},
                                std::pair{&IBTDogVid, &TDogVid}, std::pair{&IBTDT, &TDogTip}}) {
        if (!area->isActive() || !cursor->isOpen() || cursor->isEditing())
            continue;
        const dataset::Row key = cursor->key();
        area->commit();
        if (key.empty())
            cursor->open();
        else
            cursor->openAtKey(key);
    }
}

void TDM::TDogovorBeforeDelete()
{
    deleteAll(TDHZ);
}

void TDM::TRDBeforeDelete()
{
    deleteAll(TRR);
}

dataset::Dataset* TDM::cursor(const QString& name)
{
    for (dataset::Dataset* c : tableCursors_)
        if (c->name() == name)
            return c;
    for (dataset::Dataset* q : {&QueryRD, &QueryRP})
        if (q->name() == name)
            return q;
    return nullptr;
}

dataset::Field& TDM::field(const QString& fullName) const
{
    // The longest cursor name that starts the text and has the rest as a field.
    dataset::Field* best = nullptr;
    qsizetype bestLength = 0;
    for (dataset::Dataset* c : tableCursors_) {
        if (!fullName.startsWith(c->name()) || c->name().size() <= bestLength)
            continue;
        if (dataset::Field* f = c->findField(fullName.mid(c->name().size()))) {
            best = f;
            bestLength = c->name().size();
        }
    }
    if (!best)
        throw dataset::UsageError(QStringLiteral("TDM: no field %1").arg(fullName));
    return *best;
}
