#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

// What the command-line exports write, handled so that a run that fails
// leaves nothing of itself behind: every new file is written under a
// temporary name beside its place and put there only when the whole run
// worked; the form a run fills in place is put back as it was. Files hold
// owners' personal numbers, so each is readable by its owner only.
namespace exportcli {

// The sentences a refusal starts with, naming the folder or the file.
QString folderNotMade(const QString& folder);
QString fileExists(const QString& path);

// Makes the folder (with its parents); the refusal naming it, with the file
// system's reason, when it cannot be made or written to.
std::optional<QString> makeWritableFolder(const QString& folder);

// The new files of one run.
class Outputs {
public:
    explicit Outputs(bool force) : force_(force) {}
    ~Outputs();  // removes what was staged and not put in place
    Outputs(const Outputs&) = delete;
    Outputs& operator=(const Outputs&) = delete;

    // Why `path` cannot be written: its folder is missing or refuses new
    // files, or a file is there and may not be replaced (no --force).
    std::optional<QString> refusal(const QString& path) const;
    // A new empty file beside `path` (readable by its owner only) to write
    // the output to; empty when even that cannot be made.
    QString stage(const QString& path);
    // Puts every staged file in its place, replacing what is there; the
    // refusal for the first that could not go.
    std::optional<QString> commit();

private:
    struct Staged {
        QString temporary, path;
    };
    bool force_;
    std::vector<Staged> staged_;
};

// A file the run fills in place (a copy of a form): its content is kept
// and put back unless the run keeps the file. While the run works on it,
// it is readable by its owner only.
class FilledInPlace {
public:
    explicit FilledInPlace(QString path);
    ~FilledInPlace();
    FilledInPlace(const FilledInPlace&) = delete;
    FilledInPlace& operator=(const FilledInPlace&) = delete;

    void keep() { kept_ = true; }

private:
    QString path_;
    std::optional<QByteArray> content_;
    QFile::Permissions permissions_;
    bool kept_ = false;
};

}  // namespace exportcli
