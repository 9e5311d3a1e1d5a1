#pragma once

// The generated enterprise, planned in memory before a single row is written:
// the land, the owners and their shares, the contracts binding the shares, the
// rent rules and what was already paid. Keys are planned too (1, 2, 3… per
// table), so rows can point at each other before they exist.

#include <QDate>
#include <QString>

#include <cstdint>
#include <vector>

namespace demo {

struct Settlement {
    QString ekatte;
    QString municipality;
    QString province;
    QString name;
    bool town = false;
};

// Areas are in thousandths of a decare, money in stotinki: exact integers
// that add up, turned into the register's numbers only when written.
using Thousandths = std::int64_t;
using Stotinki = std::int64_t;

struct Firm {
    QString code, name, address, phone, email, head, headNumber, postCode;
    Settlement seat;
    QDate fromYear, toYear;
};

struct Owner {
    int id = 0;
    QString number, name, address, phone, representative, bank, iban, bic, country, foreign;
    Settlement home;
};

struct Area {
    int id = 0;
    Settlement place;
};

struct Locality {
    int id = 0;
    int area = 0;  // index into Enterprise::areas
    QString name;
};

struct Category {
    int vid = 0;
    Thousandths area = 0;
};

struct Plot {
    int id = 0;
    int locality = 0;  // index into Enterprise::localities
    QString number, number2;
    std::vector<Category> categories;
    Thousandths area = 0, equalised = 0;
    int crop = 0, use = 0, document = 0, management = 0;
    QString deedNumber, deedVolume;
    QDate deedDate;
};

struct Share {
    int owner = 0;  // index into Enterprise::owners
    int plot = 0;   // index into Enterprise::plots
    QString part;   // "1/3"
    Thousandths area = 0, equalised = 0;
    int contract = -1;  // index into Enterprise::contracts, -1 when not bound
    int line = 0;       // DOGHORAZEMI.ID_DHZ when bound
};

struct Contract {
    int id = 0;
    int owner = 0;
    int type = 0, kind = 0;
    QString number, state, landOffice;
    QDate signedOn, from, to, terminated;
    bool counts = false;  // in force in the farming year
};

struct RuleLine {
    int rentType = 0;
    double kol = 0, ec = 0;
};

struct Rule {
    int id = 0;
    int area = 0;  // index into Enterprise::areas
    int type = 0;
    std::vector<RuleLine> lines;
};

struct ReceiptLine {
    int rentType = 0, goods = 0, contractType = 0, area = 0;  // area: index
    double kol = 0;
    Stotinki value = 0;
};

// A goods receipt (with lines) or, without lines, a cash payment.
struct Payout {
    int id = 0;
    int owner = 0;
    int number = 0;  // one series for receipts and cash payments
    QDate date;
    int method = 0;  // 0 in cash, 1 by bank, 2 a receipt without money
    Stotinki sum = 0;
    bool pastYears = false;
    std::vector<ReceiptLine> lines;
};

struct Arrear {
    int id = 0;
    int owner = 0;
    int payment = 0;  // RAZP_PARI.ID_RAZPPARI that settled it, 0 while unpaid
    Thousandths area = 0, equalised = 0;
    Stotinki sum = 0;
    int fromYear = 0, toYear = 0;
};

struct Enterprise {
    Firm firm;
    std::vector<int> coefficients;  // per category 1..10, in hundredths
    std::vector<Owner> owners;
    std::vector<Area> areas;
    std::vector<Locality> localities;
    std::vector<Plot> plots;
    std::vector<Share> shares;
    std::vector<Contract> contracts;
    std::vector<Rule> rules;
    std::vector<Payout> receipts;
    std::vector<Payout> payments;
    std::vector<Arrear> arrears;
    int receiptLines = 0;
};

// The goods rent types and goods rows the enterprise adds to the delivered
// money type and money pseudo-goods (both 1).
constexpr int kWheat = 2;
constexpr int kSunflower = 3;
constexpr int kBarley = 4;  // goods only: wheat rent is sometimes handed out in barley

struct Sizes {
    int owners = 0;
    int plots = 0;
    std::uint64_t seed = 1;
};

// Plans an enterprise of the given size in one farming province; `settlements`
// are the country's settlements in a fixed order.
Enterprise plan(const Sizes& sizes, const std::vector<Settlement>& settlements);

}  // namespace demo
