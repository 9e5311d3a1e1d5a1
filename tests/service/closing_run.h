// Runs the year closing in the closing_child process and checks the database
// it leaves: shared by the tests and the closing-kills bench. CLOSING_CHILD
// names the child program (a compile definition of both).
#pragma once

#include <QHash>
#include <QProcess>
#include <QString>
#include <QStringList>

namespace closingrun {

struct Run {
    bool killed = false;        // SIGKILL ended it before its end
    QStringList shown;          // what it showed the user, a message a line
    QHash<QString, int> times;  // "step -1", "step 0", "step 7", "end": ms after the click
};

// The closing of `database` with `program` as the program folder, killed at
// `step` (never reached: 99), or `delay` ms after it while it goes on (step
// -1: the copies begin; -2: the click).
inline Run run(const QString& database, const QString& program, int step, int delay = -1)
{
    QProcess child;
    QStringList args{database, program, QString::number(step)};
    if (delay >= 0)
        args << QString::number(delay);
    child.start(QStringLiteral(CLOSING_CHILD), args);
    Run r;
    r.killed = child.waitForFinished(300000) && child.exitStatus() == QProcess::CrashExit;
    for (const QString& line : QString::fromUtf8(child.readAllStandardError()).split(QLatin1Char('\n'))) {
        const QStringList parts = line.split(QStringLiteral(": "));
        if (parts.size() == 2)
            r.times.insert(parts[0], parts[1].section(QLatin1Char(' '), 0, 0).toInt());
    }
    const QString out = QString::fromUtf8(child.readAllStandardOutput()).trimmed();
    if (!out.isEmpty())
        r.shown = out.split(QLatin1Char('\n'));
    return r;
}

// The engine's own check of every page: what it counts as errors (a page
// that does not read as it should), empty when none. Warnings are not among
// them: a killed engine leaves some behind (a pointer page's note of free
// space not yet brought up to date), harmless and mended by the next sweep.
inline QString validationErrors(const QString& database)
{
    QProcess gfix;
    gfix.setProcessChannelMode(QProcess::MergedChannels);
    gfix.start(QStringLiteral("gfix"), {QStringLiteral("-v"), QStringLiteral("-full"), QStringLiteral("-user"),
                                        QStringLiteral("SYSDBA"), database});
    if (!gfix.waitForFinished(600000))
        return QStringLiteral("gfix did not end: ") + gfix.errorString();
    QStringList errors;
    for (const QString& line : QString::fromUtf8(gfix.readAll()).split(QLatin1Char('\n'))) {
        const QString l = line.trimmed();
        if (l.isEmpty() || l.startsWith(QLatin1String("Summary of validation errors")) ||
            l.contains(QLatin1String("warnings")))
            continue;
        errors << l;
    }
    return errors.join(QStringLiteral("; "));
}

}  // namespace closingrun
