#include "survey_database_reader.h"
#include "transfers/survey_database.h"
#include "unwritable.h"

#include <gtest/gtest.h>

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>

namespace sd = transfers::survey_database;

namespace {

QByteArray digestOf(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256);
}

// Runs statements on the database with a connection of the test's own.
void execute(const QString& path, const QStringList& statements)
{
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("test"));
        db.setDatabaseName(path);
        ASSERT_TRUE(db.open());
        for (const QString& sql : statements) {
            QSqlQuery query(db);
            ASSERT_TRUE(query.exec(sql)) << sql.toStdString();
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("test"));
}

sd::Firm firm()
{
    sd::Firm f;
    f.idObl = QStringLiteral("16");
    f.kodVzp = QStringLiteral("2");
    f.naimFirma = QStringLiteral("Агро O'Нийл ООД");
    f.mol = QStringLiteral("Иван Петров Иванов");
    f.ein = QStringLiteral("115123456");
    f.egnMol = QStringLiteral("6101011234");
    f.idObsht = QStringLiteral("1622");
    f.ekatte = QStringLiteral("56784");
    f.adress = QStringLiteral("ул. Главна 1");
    f.tel = QStringLiteral("032 123");
    f.mobTel = QStringLiteral("0888 1");
    f.email = QStringLiteral("a@b.bg");
    f.pk = QStringLiteral("4000");
    return f;  // faks left null: written as an empty text
}

class SurveyDatabase : public ::testing::Test {
protected:
    void SetUp() override
    {
        path = dir.filePath(sd::kFileName);
        sd::createEmpty(path);
    }
    QJsonArray rows(const QString& table) { return surveyRows(readSurveyDatabase(path), table); }

    QTemporaryDir dir;
    QString path;
    const std::vector<sd::Area> areas{{"00151", "16", "1601"}, {"04217", "13", "1303"}};
    const std::vector<sd::Plot> plots{{"00151", "00151.12.5", "011", "1", 1.25, 0},
                                      {"04217", "4", "2", "7", 12345.6789, 0.5}};
};

}  // namespace

TEST_F(SurveyDatabase, WritesTheAreasThePlotLinesAndTheFirmsRecord)
{
    std::vector<int> progress;
    EXPECT_EQ(sd::write(path, firm(), areas, plots, [&](int p) { progress.push_back(p); }), QString());
    EXPECT_EQ(progress, (std::vector<int>{20, 90, 100}));

    EXPECT_EQ(rows("karta_spisak_nm"), (QJsonArray{QJsonArray{"00151"}, QJsonArray{"04217"}}));
    EXPECT_EQ(rows("VHOD_L"), (QJsonArray{QJsonArray{"00151", "00151.12.5", "011", "1", "   1.250", "   0.000"},
                                          QJsonArray{"04217", "4", "2", "7", "12345.679", "   0.500"}}));
    // The firm's identifier is its EIN; ob, obsht2 and ekat2 are the last area's.
    EXPECT_EQ(rows("blanka_reg"), (QJsonArray{QJsonArray{"16",           "115123456", "2",       "Агро O'Нийл ООД",
                                                         "Иван",         "Петров",    " Иванов", "115123456",
                                                         "6101011234",   "13",        "1622",    "56784",
                                                         "ул. Главна 1", "032 123",   "0888 1",  "",
                                                         "a@b.bg",       "4000",      "1303",    "04217"}}));
}

TEST_F(SurveyDatabase, ASecondTransferIsRefusedAndLeavesTheFileAsItWas)
{
    ASSERT_EQ(sd::write(path, firm(), areas, plots), QString());
    const QByteArray before = digestOf(path);
    EXPECT_EQ(sd::write(path, firm(), areas, plots), sd::kFilled);
    EXPECT_EQ(digestOf(path), before);
    EXPECT_EQ(sd::write(QStringLiteral("  "), firm(), areas, plots), sd::kNoFile);
}

TEST_F(SurveyDatabase, AnExistingRecordIsUpdatedAndNoAreaLeavesTheAreaFieldsEmpty)
{
    execute(path, {QStringLiteral("insert into blanka_reg (obl, firma) values ('01', 'стара')"),
                   QStringLiteral("insert into blanka_reg (obl, firma) values ('02', 'друга')")});
    sd::Firm person = firm();
    person.kodVzp = QStringLiteral("0");
    EXPECT_EQ(sd::write(path, person, {}, {}), QString());

    EXPECT_TRUE(rows("karta_spisak_nm").isEmpty());
    EXPECT_TRUE(rows("VHOD_L").isEmpty());
    const QJsonArray record = rows("blanka_reg");
    ASSERT_EQ(record.size(), 2);  // both updated, none added
    for (const auto& row : record) {
        const QJsonArray r = row.toArray();
        EXPECT_EQ(r[0], "16");
        EXPECT_EQ(r[1], "6101011234");  // a natural person's identifier is his EGN
        EXPECT_EQ(r[9], "");            // ob
        EXPECT_EQ(r[18], "");           // obsht2
        EXPECT_EQ(r[19], "");           // ekat2
    }
}

TEST_F(SurveyDatabase, AFailureHalfWayLeavesTheFileAsItWas)
{
    // A record table without ekat2: the areas and plot lines are written
    // before the record fails.
    execute(path, {QStringLiteral("drop table blanka_reg"), QStringLiteral("create table blanka_reg (obl text)")});
    const QByteArray before = digestOf(path);
    try {
        sd::write(path, firm(), areas, plots);
        FAIL() << "the record cannot be written";
    } catch (const sd::SurveyDatabaseError& e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("blanka_reg"))) << e.message().toStdString();
    }
    EXPECT_EQ(digestOf(path), before);
    EXPECT_TRUE(rows("karta_spisak_nm").isEmpty());
}

TEST_F(SurveyDatabase, AMissingOrForeignFileIsAnErrorAndNoFileIsMade)
{
    const QString missing = dir.filePath(QStringLiteral("none.mde"));
    EXPECT_THROW(sd::write(missing, firm(), areas, plots), sd::SurveyDatabaseError);
    EXPECT_FALSE(QFile::exists(missing));

    const QString foreign = dir.filePath(QStringLiteral("foreign.mde"));
    QFile file(foreign);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(4096, 'x'));
    file.close();
    EXPECT_THROW(sd::write(foreign, firm(), areas, plots), sd::SurveyDatabaseError);
}

namespace {

// The error a write ends with; one without a text when it was written.
sd::SurveyDatabaseError errorOf(const QString& path, const sd::Firm& firm, const std::vector<sd::Area>& areas,
                                const std::vector<sd::Plot>& plots)
{
    try {
        sd::write(path, firm, areas, plots);
    } catch (const sd::SurveyDatabaseError& e) {
        return e;
    }
    return sd::SurveyDatabaseError({});
}

}  // namespace

// A file that is not SQLite, an empty one and a database of something else
// are not the survey database; none of them is changed.
TEST_F(SurveyDatabase, AFileOfAnotherKindIsNotTheSurveyDatabase)
{
    const QString foreign = dir.filePath(QStringLiteral("foreign.mde"));
    QFile garbage(foreign);
    ASSERT_TRUE(garbage.open(QIODevice::WriteOnly));
    garbage.write(QByteArray(4096, 'x'));
    garbage.close();
    const sd::SurveyDatabaseError notSqlite = errorOf(foreign, firm(), areas, plots);
    EXPECT_EQ(notSqlite.reason(), sd::kNotSurveyDatabase);
    EXPECT_TRUE(notSqlite.message().startsWith(QStringLiteral("file is not a database")))
        << notSqlite.message().toStdString();
    EXPECT_EQ(sd::whatFailed(notSqlite),
              QStringLiteral("Данните не са прехвърлени.\nИзбраният файл не е база данни на анкетната карта."));
    EXPECT_EQ(QFileInfo(foreign).size(), 4096);

    const QString empty = dir.filePath(QStringLiteral("empty.mde"));
    ASSERT_TRUE(QFile(empty).open(QIODevice::WriteOnly));
    const QString other = dir.filePath(QStringLiteral("other.db"));
    execute(other, {QStringLiteral("create table VHOD_L (ek text)")});
    const QByteArray before = digestOf(other);
    for (const QString& file : {empty, other}) {
        const sd::SurveyDatabaseError e = errorOf(file, firm(), areas, plots);
        EXPECT_EQ(e.reason(), sd::kNotSurveyDatabase) << file.toStdString();
        EXPECT_EQ(e.message(), file == empty ? QStringLiteral("Липсват таблиците karta_spisak_nm, VHOD_L, blanka_reg.")
                                             : QStringLiteral("Липсват таблиците karta_spisak_nm, blanka_reg."));
    }
    EXPECT_EQ(QFileInfo(empty).size(), 0);
    EXPECT_EQ(digestOf(other), before);

    // Any other failure has no reason of its own.
    EXPECT_EQ(sd::whatFailed(sd::SurveyDatabaseError(QStringLiteral("disk I/O error"))), sd::kFailed);
}

// The driver writes the file and its journal beside it: a file or a folder
// that refuses writes is named before anything is tried.
TEST_F(SurveyDatabase, AFileOrFolderThatCannotBeWrittenIsNamed)
{
    const QByteArray before = digestOf(path);
    {
        Unwritable readOnly(path);
        if (!readOnly.works())
            GTEST_SKIP() << "writes cannot be refused here";
        const sd::SurveyDatabaseError e = errorOf(path, firm(), areas, plots);
        EXPECT_EQ(sd::whatFailed(e),
                  QStringLiteral("Данните не са прехвърлени.\nФайлът „%1“ е само за четене и не може да бъде попълнен.")
                      .arg(QDir::toNativeSeparators(path)));
        EXPECT_EQ(e.message(), readOnly.detail());
    }
    EXPECT_EQ(digestOf(path), before);

    const QString folder = dir.filePath(QStringLiteral("архив"));
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString inside = QDir(folder).filePath(sd::kFileName);
    sd::createEmpty(inside);
    {
        Unwritable readOnly(folder);
        ASSERT_TRUE(readOnly.works());
        const sd::SurveyDatabaseError e = errorOf(inside, firm(), areas, plots);
        EXPECT_EQ(sd::whatFailed(e),
                  QStringLiteral("Данните не са прехвърлени.\nПапката „%1“ не може да бъде записана.")
                      .arg(QDir::toNativeSeparators(folder)));
        EXPECT_EQ(e.message(), readOnly.detail());
    }
    EXPECT_TRUE(rows("karta_spisak_nm").isEmpty());
    EXPECT_EQ(sd::write(inside, firm(), areas, plots), QString());  // the same file, writable again
}

TEST(SurveyDatabaseValues, TheResponsiblePersonsNameIsSplitAsTheFormKeepsIt)
{
    struct Case {
        QString mol, ime1, ime2, ime3;
    };
    const Case cases[] = {
        {"Иван Петров Иванов", "Иван", "Петров", " Иванов"},
        {"Иван Петров", "Иван", "", "Петров"},
        {"Иван  Петров Иванов Стоев", "Иван", "Петров", " Иванов Стоев"},
        {"Ив Петров Иванов", " ", " ", " "},  // first blank at position 3
        {"Ива Петров", "Ива", "", "Петров"},  // first blank at position 4
        {"Иванов", " ", " ", " "},
        {"", " ", " ", " "},
    };
    for (const Case& c : cases) {
        const sd::NameParts parts = sd::splitName(c.mol);
        EXPECT_EQ(parts.ime1, c.ime1) << c.mol.toStdString();
        EXPECT_EQ(parts.ime2, c.ime2) << c.mol.toStdString();
        EXPECT_EQ(parts.ime3, c.ime3) << c.mol.toStdString();
    }
    EXPECT_EQ(sd::hectares(1.25), QStringLiteral("   1.250"));
}

TEST(SurveyDatabaseForm, TheCommittedEmptyDatabaseHasTheTablesTheProgramMakes)
{
    const QString committed = QStringLiteral(ARVENTA_FORMS_DIR "/") + sd::kFileName;
    ASSERT_TRUE(QFile::exists(committed)) << "regenerate it with: " ARVENTA_FORMS_TOOL " " ARVENTA_FORMS_DIR;
    const QJsonObject read = readSurveyDatabase(committed);
    const QJsonObject schema = read[QStringLiteral("schema")].toObject();
    QStringList statements;
    for (const auto& sql : schema)
        statements << sql.toString();
    statements.sort();
    QStringList expected = sd::tableStatements();
    expected.sort();
    EXPECT_EQ(statements.join('\n').toStdString(), expected.join('\n').toStdString());
    for (const QString& table : schema.keys())
        EXPECT_TRUE(surveyRows(read, table).isEmpty()) << table.toStdString();
}
