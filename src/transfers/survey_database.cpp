#include "transfers/survey_database.h"

#include "workbook/writable.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>

namespace transfers::survey_database {

namespace {

// A failure of the driver with SQLite's result code, which write() turns
// into a reason the user is told.
class DriverError : public SurveyDatabaseError {
public:
    DriverError(const QString& message, int code) : SurveyDatabaseError(message), code_(code) {}
    int code() const { return code_; }

private:
    int code_;
};

[[noreturn]] void fail(const QSqlError& error)
{
    throw DriverError(error.text(), error.nativeErrorCode().toInt());
}

// SQLite's primary result codes (the low byte of an extended one).
constexpr int kSqliteReadOnly = 8;
constexpr int kSqliteNotADatabase = 26;

QString reasonOf(int code, const QString& file)
{
    switch (code & 0xff) {
        case kSqliteReadOnly:
            return kReadOnly.arg(QDir::toNativeSeparators(QFileInfo(file).absoluteFilePath()));
        case kSqliteNotADatabase:
            return kNotSurveyDatabase;
        default:
            return {};
    }
}

// The tables as the authorities' database has them, every column text:
// the form keeps codes with their leading zeros and areas as typed.
const char* const kTables[] = {
    "CREATE TABLE karta_spisak_nm (ekte text)",
    "CREATE TABLE VHOD_L (ek text, n text, cod_ntp text, cod_fs text, op text, pp text)",
    "CREATE TABLE blanka_reg (obl text, be text, vid text, firma text, ime1 text, ime2 text, ime3 text, bs text,"
    " egn text, ob text, obsht text, ekat text, adres text, tel text, mob text, fax text, email text, pcod text,"
    " obsht2 text, ekat2 text)",
};

const char* const kBlankaColumns[] = {"obl", "be",  "vid",   "firma", "ime1",   "ime2",  "ime3",
                                      "bs",  "egn", "ob",    "obsht", "ekat",   "adres", "tel",
                                      "mob", "fax", "email", "pcod",  "obsht2", "ekat2"};

// A connection of its own for one use, removed from Qt's list when done.
class Connection {
public:
    explicit Connection(const QString& path) : name_(QUuid::createUuid().toString())
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name_);
        db.setDatabaseName(path);
        if (!db.open())
            fail(db.lastError());
    }
    ~Connection()
    {
        QSqlDatabase::database(name_, false).close();
        QSqlDatabase::removeDatabase(name_);
    }
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    QSqlDatabase db() const { return QSqlDatabase::database(name_, false); }

private:
    QString name_;
};

QSqlQuery prepared(const QSqlDatabase& db, const QString& sql)
{
    QSqlQuery query(db);
    if (!query.prepare(sql))
        fail(query.lastError());
    return query;
}

void exec(QSqlQuery& query)
{
    if (!query.exec())
        fail(query.lastError());
}

// The form's three tables must be there: any other SQLite file is not the
// survey database, whatever its name.
void checkTables(const QSqlDatabase& db)
{
    QSqlQuery query(db);
    if (!query.exec(QStringLiteral("select name from sqlite_master where type = 'table'")))
        fail(query.lastError());
    QStringList present;
    while (query.next())
        present << query.value(0).toString();
    QStringList missing;
    for (const char* name : {"karta_spisak_nm", "VHOD_L", "blanka_reg"})
        if (!present.contains(QLatin1String(name), Qt::CaseInsensitive))
            missing << QLatin1String(name);
    if (!missing.isEmpty())
        throw SurveyDatabaseError(QStringLiteral("Липсват таблиците %1.").arg(missing.join(QStringLiteral(", "))),
                                  kNotSurveyDatabase);
}

// The driver writes the file and keeps its journal beside it, in the folder.
void checkWritable(const QString& file)
{
    if (const auto why = fileUnwritable(file))
        throw SurveyDatabaseError(*why, kReadOnly.arg(QDir::toNativeSeparators(QFileInfo(file).absoluteFilePath())));
    const QString folder = QFileInfo(file).absolutePath();
    if (const auto why = folderUnwritable(folder))
        throw SurveyDatabaseError(*why, kFolderReadOnly.arg(QDir::toNativeSeparators(folder)));
}

bool hasRows(const QSqlDatabase& db, const QString& table)
{
    QSqlQuery query = prepared(db, QStringLiteral("select 1 from %1 limit 1").arg(table));
    exec(query);
    return query.next();
}

void writeAreas(const QSqlDatabase& db, const std::vector<Area>& areas)
{
    QSqlQuery insert = prepared(db, QStringLiteral("insert into karta_spisak_nm (ekte) values (?)"));
    for (const Area& area : areas) {
        insert.bindValue(0, area.ekatte);
        exec(insert);
    }
}

void writePlots(const QSqlDatabase& db, const std::vector<Plot>& plots)
{
    QSqlQuery insert =
        prepared(db, QStringLiteral("insert into VHOD_L (ek, n, cod_ntp, cod_fs, op, pp) values (?, ?, ?, ?, ?, ?)"));
    for (const Plot& plot : plots) {
        insert.bindValue(0, plot.ekatte);
        insert.bindValue(1, plot.imotNo);
        insert.bindValue(2, plot.kodNtp);
        insert.bindValue(3, plot.kodFs);
        insert.bindValue(4, hectares(plot.pl));
        insert.bindValue(5, hectares(plot.polpl));
        exec(insert);
    }
}

// The values of blanka_reg in the order of kBlankaColumns.
QStringList recordOf(const Firm& firm, const Area* last)
{
    const NameParts name = splitName(firm.mol);
    const QString none = QStringLiteral("");
    return {firm.idObl,
            identifierOf(firm),
            firm.kodVzp,
            firm.naimFirma,
            name.ime1,
            name.ime2,
            name.ime3,
            firm.ein,
            firm.egnMol,
            last ? last->idObl : none,
            firm.idObsht,
            firm.ekatte,
            firm.adress,
            firm.tel,
            firm.mobTel,
            firm.faks,
            firm.email,
            firm.pk,
            last ? last->idObsht : none,
            last ? last->ekatte : none};
}

// Every row of the form's record is updated, as the form keeps one; an
// empty table gets the record.
void writeRecord(const QSqlDatabase& db, const Firm& firm, const Area* last)
{
    QStringList columns, marks;
    for (const char* column : kBlankaColumns) {
        columns << QLatin1String(column);
        marks << QStringLiteral("?");
    }
    QString sql;
    if (hasRows(db, QStringLiteral("blanka_reg"))) {
        QStringList sets;
        for (const QString& column : columns)
            sets << column + QStringLiteral(" = ?");
        sql = QStringLiteral("update blanka_reg set ") + sets.join(QStringLiteral(", "));
    } else {
        sql = QStringLiteral("insert into blanka_reg (%1) values (%2)")
                  .arg(columns.join(QStringLiteral(", ")), marks.join(QStringLiteral(", ")));
    }
    QSqlQuery query = prepared(db, sql);
    const QStringList values = recordOf(firm, last);
    for (int i = 0; i < values.size(); ++i)
        query.bindValue(i, values[i].isNull() ? QStringLiteral("") : values[i]);
    exec(query);
}

QString writeIn(const QSqlDatabase& db, const Firm& firm, const std::vector<Area>& areas,
                const std::vector<Plot>& plots, const Progress& progress)
{
    if (hasRows(db, QStringLiteral("karta_spisak_nm")))
        return kFilled;
    writeAreas(db, areas);
    writePlots(db, plots);
    if (progress)
        progress(90);
    writeRecord(db, firm, areas.empty() ? nullptr : &areas.back());
    return {};
}

}  // namespace

NameParts splitName(const QString& mol)
{
    const QString blank = QStringLiteral(" ");
    NameParts parts{blank, blank, blank};
    const qsizetype first = mol.indexOf(QLatin1Char(' '));
    if (first < 3)  // no blank, or one within the first three characters
        return parts;
    parts.ime1 = mol.left(first);
    const QString rest = mol.mid(first + 1).trimmed();
    const qsizetype second = rest.indexOf(QLatin1Char(' '));
    parts.ime2 = second < 0 ? QStringLiteral("") : rest.left(second);
    parts.ime3 = second < 0 ? rest : rest.mid(second);
    return parts;
}

QString hectares(double value)
{
    return QString::asprintf("%8.3f", value);  // always with a point, whatever the locale
}

QString identifierOf(const Firm& firm)
{
    return firm.kodVzp.trimmed().toInt() != 0 ? firm.ein : firm.egnMol;
}

QString write(const QString& path, const Firm& firm, const std::vector<Area>& areas, const std::vector<Plot>& plots,
              const Progress& progress)
{
    const QString file = path.trimmed();
    if (file.isEmpty())
        return kNoFile;
    // Opening a missing file would make a new, empty database of it.
    if (!QFileInfo(file).isFile())
        throw SurveyDatabaseError(QStringLiteral("Файлът %1 не съществува!").arg(file));
    if (progress)
        progress(20);
    QString refusal;
    try {
        Connection connection(file);
        QSqlDatabase db = connection.db();
        checkTables(db);
        checkWritable(file);
        if (!db.transaction())
            fail(db.lastError());
        try {
            refusal = writeIn(db, firm, areas, plots, progress);
        } catch (...) {
            db.rollback();
            throw;
        }
        if (!refusal.isEmpty())
            db.rollback();
        else if (!db.commit())
            fail(db.lastError());
    } catch (const DriverError& e) {
        throw SurveyDatabaseError(e.message(), reasonOf(e.code(), file));
    }
    if (refusal.isEmpty() && progress)
        progress(100);
    return refusal;
}

QString whatFailed(const SurveyDatabaseError& error)
{
    return error.reason().isEmpty() ? kFailed : kFailed + QLatin1Char('\n') + error.reason();
}

void createEmpty(const QString& path)
{
    if (QFileInfo::exists(path) && !QFile::remove(path))
        throw SurveyDatabaseError(QStringLiteral("Файлът %1 не може да бъде заменен!").arg(path));
    Connection connection(path);
    QSqlDatabase db = connection.db();
    for (const char* sql : kTables) {
        QSqlQuery query(db);
        if (!query.exec(QLatin1String(sql)))
            fail(query.lastError());
    }
}

QStringList tableStatements()
{
    QStringList statements;
    for (const char* sql : kTables)
        statements << QLatin1String(sql);
    return statements;
}

}  // namespace transfers::survey_database
