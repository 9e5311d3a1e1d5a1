#include "app/database_choice.h"

#include <gtest/gtest.h>

using database_choice::choose;

TEST(DatabaseChoice, TheCommandLineWinsOverTheVariableWhichWinsOverTheFoldersFile)
{
    const QString program = QStringLiteral("arventa");
    EXPECT_EQ(choose({program}, {}).database, QStringLiteral("ARVENTA.FDB"));
    EXPECT_EQ(choose({program}, QStringLiteral("  ")).database, QStringLiteral("ARVENTA.FDB"));
    EXPECT_EQ(choose({program}, QStringLiteral("office/3051:arventa")).database, QStringLiteral("office/3051:arventa"));
    EXPECT_EQ(choose({program, QStringLiteral("--database"), QStringLiteral("srv:/data/A.FDB")},
                     QStringLiteral("office/3051:arventa"))
                  .database,
              QStringLiteral("srv:/data/A.FDB"));
    const auto joined = choose({program, QStringLiteral("--database=localhost/3051:arventa")}, {});
    EXPECT_EQ(joined.database, QStringLiteral("localhost/3051:arventa"));
    EXPECT_TRUE(joined.problem.isEmpty());
    EXPECT_EQ(choose({program, QStringLiteral("--other"), QStringLiteral("x")}, {}).database,
              QStringLiteral("ARVENTA.FDB"));
    EXPECT_TRUE(database_choice::isDefault(QStringLiteral("ARVENTA.FDB")));
    EXPECT_FALSE(database_choice::isDefault(QStringLiteral("localhost:ARVENTA.FDB")));
}

TEST(DatabaseChoice, ANameMissingAfterTheOptionIsAProblemNotTheDefault)
{
    const QString program = QStringLiteral("arventa");
    for (const QStringList& args :
         {QStringList{program, QStringLiteral("--database")}, QStringList{program, QStringLiteral("--database=")},
          QStringList{program, QStringLiteral("--database"), QStringLiteral(" ")}})
        EXPECT_FALSE(choose(args, QStringLiteral("office/3051:arventa")).problem.isEmpty())
            << args.join(' ').toStdString();
}
