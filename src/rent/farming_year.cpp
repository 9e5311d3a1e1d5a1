#include "rent/farming_year.h"

#include "dm/tdm.h"
#include "fb/statement.h"
#include "fb/transaction.h"

namespace rent {

namespace {

QString shortDate(const QDate& date)
{
    return date.toString(QStringLiteral("dd.MM.yyyy"));
}

}  // namespace

QString FarmingYear::outsideQuestion(const QDate& date) const
{
    return QStringLiteral("Датата %1 е извън стопанската година %2 – %3. Да бъде ли записана?")
        .arg(shortDate(date), shortDate(from), shortDate(to));
}

std::optional<FarmingYear> farmingYear(TDM& dm)
{
    fb::Connection& c = dm.IBDatabase1.connection();
    fb::Transaction tr(c, fb::TransactionOptions::readCommitted(false));
    fb::Statement st(c, QStringLiteral("select first 1 fromyear, toyear from firma"));
    st.open(tr);
    std::optional<FarmingYear> year;
    if (st.fetch() && !st.value(0).isNull() && !st.value(1).isNull())
        year = FarmingYear{st.value(0).toDate(), st.value(1).toDate()};
    st.close();
    tr.commit();
    return year;
}

}  // namespace rent
