#include "common/identifiers.h"

#include <gtest/gtest.h>

#include <QRandomGenerator>

#include <functional>

TEST(Identifiers, WorkedExamples)
{
    EXPECT_TRUE(CheckEGN("0000000000"));
    EXPECT_TRUE(CheckLNCh("0000000000"));
    EXPECT_TRUE(CheckEGN("1000000002"));
    EXPECT_FALSE(CheckLNCh("1000000002"));
    EXPECT_TRUE(CheckLNCh("1000000001"));
    EXPECT_FALSE(CheckEGN("1000000001"));
    EXPECT_TRUE(CheckEGN("5000000000"));  // remainder 10 wants a last digit 0
    EXPECT_FALSE(CheckEGN("5000000001"));
    EXPECT_TRUE(CheckEIK("050000009"));  // second pass: 20 mod 11 = 9
    EXPECT_FALSE(CheckEIK("050000000"));
    EXPECT_TRUE(CheckEIK("0500000090007"));
    EXPECT_FALSE(CheckEIK("0500000090000"));
}

TEST(Identifiers, LengthAndCharactersAreTakenAsTyped)
{
    for (const auto& check : {CheckEGN, CheckLNCh, CheckEIK}) {
        EXPECT_FALSE(check(""));
        EXPECT_FALSE(check(" 0000000000"));
        EXPECT_FALSE(check("0000000000 "));
        EXPECT_FALSE(check(" 050000009"));
        EXPECT_FALSE(check("05000000-9"));
        EXPECT_FALSE(check("00000a0000"));
        EXPECT_FALSE(check("+000000000"));
        EXPECT_FALSE(check(QStringLiteral("００００００００００")));  // full-width digits are not digits here
        EXPECT_FALSE(check(QStringLiteral("٠٠٠٠٠٠٠٠٠٠")));
    }
    EXPECT_FALSE(CheckEIK("0000000000")) << "ten digits are never a company code";
    EXPECT_FALSE(CheckEGN("000000000")) << "nine digits are never a personal number";
    EXPECT_FALSE(CheckLNCh("0000000000000"));
    EXPECT_TRUE(CheckEIK("000000000"));
    EXPECT_TRUE(CheckEIK("0000000000000"));
}

namespace {

QString randomDigits(QRandomGenerator& rng, int n)
{
    QString s;
    for (int i = 0; i < n; ++i)
        s += QChar(u'0' + rng.bounded(10));
    return s;
}

// Completes `prefix` with the one last digit the check accepts; fails the
// test when none or several are accepted.
QString complete(const QString& prefix, const std::function<bool(const QString&)>& check)
{
    QString found;
    for (char16_t last = u'0'; last <= u'9'; ++last) {
        if (check(prefix + QChar(last))) {
            EXPECT_TRUE(found.isEmpty()) << "two check digits accepted for " << prefix.toStdString();
            found = prefix + QChar(last);
        }
    }
    EXPECT_FALSE(found.isEmpty()) << "no check digit accepted for " << prefix.toStdString();
    return found;
}

// Share of one-digit changes of valid numbers that the check refuses.
double detectedShare(const std::vector<QString>& valid, const std::function<bool(const QString&)>& check)
{
    int changed = 0, refused = 0;
    for (const QString& v : valid) {
        for (qsizetype i = 0; i < v.size(); ++i) {
            for (char16_t digit = u'0'; digit <= u'9'; ++digit) {
                if (v[i] == QChar(digit))
                    continue;
                QString w = v;
                w[i] = QChar(digit);
                ++changed;
                refused += check(w) ? 0 : 1;
            }
        }
    }
    return double(refused) / changed;
}

}  // namespace

TEST(Identifiers, GeneratedNumbersHaveOneCheckDigitAndCorruptionIsSeen)
{
    QRandomGenerator rng(20261209);
    std::vector<QString> egn, lnch, eik9, eik13;
    for (int i = 0; i < 300; ++i) {
        egn.push_back(complete(randomDigits(rng, 9), CheckEGN));
        lnch.push_back(complete(randomDigits(rng, 9), CheckLNCh));
        eik9.push_back(complete(randomDigits(rng, 8), CheckEIK));
        eik13.push_back(complete(eik9.back() + randomDigits(rng, 3), CheckEIK));
    }
    // Every weight of the foreigner's number is prime to 10: nothing slips through.
    EXPECT_EQ(detectedShare(lnch, CheckLNCh), 1.0);
    // The other checks fold a remainder of 10 into 0, so a few changes pass unseen.
    EXPECT_GT(detectedShare(egn, CheckEGN), 0.88);
    EXPECT_GT(detectedShare(eik9, CheckEIK), 0.85);
    EXPECT_GT(detectedShare(eik13, CheckEIK), 0.85);
}
