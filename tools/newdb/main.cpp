// arventa-newdb PATH: makes a new, empty register database at PATH with the
// schema and the delivered reference data. Never writes over an existing file.
// PATH may name a database on a Firebird server, which then makes the file.
#include "fb/connection.h"
#include "fb/error.h"
#include "schema/schema.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QTextStream>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTextStream err(stderr);
    const QStringList args = app.arguments();
    if (args.size() != 2 || args[1].startsWith(QLatin1Char('-'))) {
        err << "usage: arventa-newdb PATH\n"
               "Creates a new Arventa database file at PATH (for example ARVENTA.FDB).\n";
        return 2;
    }
    const QString path = args[1];
    if (QFileInfo::exists(path)) {
        err << "arventa-newdb: " << path << " already exists; remove it first or choose another name.\n";
        return 1;
    }
    try {
        schema::createDatabase(path);
    } catch (const fb::Error& e) {
        err << "arventa-newdb: " << e.message() << "\n";
        return 1;
    }
    // A file by its full path; a server's database ("host/port:path") as named.
    QTextStream(stdout) << "Created " << fb::Connection::resolve(path) << "\n";
    return 0;
}
