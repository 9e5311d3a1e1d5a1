// Makes the test template afresh at the start of every test run, so that no
// test ever copies a database of an older schema.
#include "schema/schema.h"

#include <QCoreApplication>
#include <QFile>
#include <QTextStream>

#include "fb/error.h"

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (app.arguments().size() != 2)
        return 2;
    const QString path = app.arguments()[1];
    QFile::remove(path);
    fb::CreateOptions options;
    options.forcedWrites = false;
    try {
        schema::createDatabase(path, options);
    } catch (const fb::Error& e) {
        QTextStream(stderr) << e.message() << "\n";
        return 1;
    }
    return 0;
}
