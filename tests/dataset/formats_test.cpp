// Numbers, dates and input masks as the screens show them.
#include "dataset/formats.h"

#include <gtest/gtest.h>

#include <QDate>
#include <QLocale>

namespace {

using namespace dataset;

TEST(Formats, NumbersDatesAndMasksFollowTheLocale)
{
    const QLocale bg(QLocale::Bulgarian, QLocale::Bulgaria);
    EXPECT_EQ(formats::number(1234.5678, QStringLiteral("#0.000"), bg), QStringLiteral("1234,568"));
    EXPECT_EQ(formats::number(0.5, QStringLiteral("#####0.000"), bg), QStringLiteral("0,500"));
    EXPECT_EQ(formats::number(1234567.006, QStringLiteral("######0.00"), bg), QStringLiteral("1234567,01"));
    EXPECT_EQ(formats::number(2.0, QStringLiteral("#0.00"), QLocale::c()), QStringLiteral("2.00"));
    EXPECT_EQ(formats::inputMask(QStringLiteral("!99/99/0000;1;_"), bg), QStringLiteral("99.99.0000;_"));
    EXPECT_EQ(formats::inputMask(QStringLiteral("#####.###.###;1;_"), bg),
              QStringLiteral("00000.000.000;_"));  // digits only, no sign
    EXPECT_EQ(formats::maskedDate(QDate(2010, 3, 7), bg), QStringLiteral("07.03.2010"));
    EXPECT_EQ(formats::dateFromMasked(QStringLiteral("07.03.2010"), bg), QDate(2010, 3, 7));
    EXPECT_FALSE(formats::dateFromMasked(QStringLiteral("07.0_.____"), bg).isValid());
}

}  // namespace
