#pragma once

#include <QString>

#include <optional>

// Whether an export can write where it is told to, asked before it starts,
// so that a folder or file the user may not change (a read-only folder, a
// file marked unchangeable, a media write-protected) is named as such rather
// than failing half way. The screens and the command line say the reason
// under the sentence of what was not done, with the file system's text below.
namespace transfers {

struct WriteRefusal {
    QString reason;  // Bulgarian, naming the folder or the file
    QString detail;  // the file system's own text
};

// The file system's text when no new file can be made in `folder` (missing,
// not a folder, or not writable); empty when one can.
std::optional<QString> folderUnwritable(const QString& folder);
// The file system's text when the existing file at `path` cannot be opened
// for writing; empty when it can, or when there is no file there.
std::optional<QString> fileUnwritable(const QString& path);

// The same with the reason naming the folder.
std::optional<WriteRefusal> folderRefusal(const QString& folder);
// For a file written whole at `path` (made anew or replaced through a file
// beside it): the folder must take a new file and an existing file must be
// open to writing.
std::optional<WriteRefusal> writeRefusal(const QString& path);

// What a user is told first: `what` was not done, and the reason under it.
// The detail goes below (failure::text).
QString whatFailed(const QString& what, const WriteRefusal& refusal);

}  // namespace transfers
