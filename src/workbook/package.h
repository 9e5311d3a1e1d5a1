#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <utility>
#include <vector>

namespace transfers {

// The zip package a workbook is stored in: every part by its name, in the
// order of the file. Parts are read whole into memory (workbooks are small
// next to memory), so a save never reads the file it may be replacing, and a
// part the workbook layer does not understand goes back out byte for byte.
class Package {
public:
    // A WorkbookError when the file is missing, unreadable or not a zip.
    static Package read(const QString& path);

    QStringList names() const;
    bool contains(const QString& name) const;
    // The part's bytes; a WorkbookError naming the part when it is missing.
    const QByteArray& part(const QString& name) const;
    // Replaces the part or appends a new one.
    void setPart(const QString& name, QByteArray bytes);
    void removePart(const QString& name);

    // The package as zip bytes. Every entry carries the same fixed time, so
    // the same parts always give the same entries.
    QByteArray toZip() const;
    // Writes the zip into a temporary file beside path and renames it over
    // path; on any failure path is as it was and no temporary file is left.
    void write(const QString& path) const;

private:
    std::vector<std::pair<QString, QByteArray>> parts_;
};

}  // namespace transfers
