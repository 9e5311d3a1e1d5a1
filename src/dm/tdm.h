#pragma once

#include "dataset/database.h"
#include "dataset/dataset.h"
#include "dataset/transaction_area.h"
#include "fb/error.h"

#include <QString>

#include <optional>
#include <vector>

// The data module: the one connection, a transaction per working area and
// the cursors that several screens share. Screens are handed it through
// their constructors and refer to its parts by these names.
//
// Creating the module connects and opens every table cursor; a failure there
// is kept quiet: the module then exists with its cursors closed, and the
// first screen that opens one gets the client's error. The error is kept for
// start-up, which must tell a file held by another copy of the program from
// the rest.
class TDM {
public:
    explicit TDM(const QString& databaseFile = QStringLiteral("ARVENTA.FDB"));
    ~TDM();
    TDM(const TDM&) = delete;
    TDM& operator=(const TDM&) = delete;

    // Disconnect (committing what is open), change of file, connect.
    void disconnect() { IBDatabase1.disconnect(); }
    void setDatabaseName(const QString& file) { IBDatabase1.setFileName(file); }
    void connect() { IBDatabase1.connect(); }
    // What went wrong when the module connected on creation; empty when it did not fail.
    const std::optional<fb::Error>& connectError() const { return connectError_; }

    // Every shared table cursor, in creation order.
    const std::vector<dataset::Dataset*>& tableCursors() const { return tableCursors_; }
    // A cursor or query by name ("THora"), nullptr when there is none.
    dataset::Dataset* cursor(const QString& name);
    // A field by its full name ("TFirmaNAIM_FIRMA"); throws dataset::UsageError when missing.
    dataset::Field& field(const QString& fullName) const;

    dataset::Database IBDatabase1;

    // Register areas.
    dataset::TransactionArea IBTObl, IBTZeml, IBTMestn, IBTImot, IBTHora, IBTCountry, IBTKult, IBTNTP, IBTVDS, IBTFS,
        IBTKatKoef, IBTDog, IBTDelSobstv, IBTDogVid, IBTDT, IBTFirma, IBVZP;
    // Rent and payout areas.
    dataset::TransactionArea IBTVR, IBTVRK, IBTRZeml, IBTRK, IBTRRDel, IBTRazp, IBTRazpPari, IBQueryRD, IBTQueryRP,
        IBTOIR, IBTONR;

    // Register cursors, in the order the after-connect step opens them.
    dataset::Dataset TOblast, TObshtina, TNasmqsto, TZemlishte, tNewZemli6ta, TMestnost, TZemq, TKategoriq, TSobstv,
        TIstoriq, IBTable4, TImotiDog, THora, TEGNHora, TCountry, TKULT, TNTP, TVDS, TFS, TKatKoef, TDogovor, TDHZ,
        TDelImotiDHZ, TDogDel, TDelSobstv, TDogVid, TDogTip, TFirma, TVZP;
    // Rent and payout cursors.
    dataset::Dataset TVidRenta, TVRKDel, TRZeml, rzeml2, TVRK, TRentaKult, TRRDel, TRD, TRR, TRKO, TOIR, TONR;
    // The two shared queries (not opened at connect): the last goods receipt
    // and the last cash payment give the next receipt number.
    dataset::Dataset QueryRD, QueryRP;

    // Opens the plot cursor and its category, share and history details
    // again once the plot transaction has ended (which closes them all).
    void reopenPlotCursors();
    // Opens the contract cursor, its lines and the contract area's second
    // cursors again once the contract transaction has ended; the
    // transaction starts again with them, as it is kept running.
    void reopenContractCursors();
    // Opens the rules' cursors (TRZeml, rzeml2) and the rule lines' (TVRK,
    // TVRKDel) again once their transactions have ended.
    void reopenRuleCursors();
    // The lists other screens and other desks change and many screens offer
    // (rent types, goods, contract kinds and types) each read a snapshot of
    // their own: each starts again, back on its row, unless a row of it is
    // in edit. Called as a screen opens or comes to the front; fb::Error
    // when one cannot be read again.
    void freshLookups();

private:
    void defineRegisterCursors();
    void defineRentCursors();
    void table(dataset::Dataset& cursor, const char* table);
    void secondCursor(dataset::Dataset& cursor, const char* table);
    void IBDatabase1AfterConnect();
    void TZemqBeforeDelete();
    void TDogovorBeforeDelete();
    void TRDBeforeDelete();

    std::vector<dataset::Dataset*> tableCursors_;
    std::optional<fb::Error> connectError_;
};
