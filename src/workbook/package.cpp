#include "workbook/package.h"

#include "workbook/workbook_error.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>

#include <zip.h>

#include <ctime>
#include <memory>

namespace transfers {

namespace {

struct ArchiveCloser {
    void operator()(zip_t* z) const { zip_discard(z); }
};
using Archive = std::unique_ptr<zip_t, ArchiveCloser>;

QString native(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

QString zipText(zip_t* z)
{
    return QString::fromLocal8Bit(zip_strerror(z));
}

QByteArray readEntry(zip_t* z, zip_uint64_t index, const QString& path)
{
    zip_stat_t st;
    zip_stat_init(&st);
    zip_file_t* f = zip_fopen_index(z, index, 0);
    if (zip_stat_index(z, index, 0, &st) != 0 || !f) {
        if (f)
            zip_fclose(f);
        throw WorkbookError(QStringLiteral("Файлът \"%1\" е повреден: %2").arg(native(path), zipText(z)));
    }
    QByteArray bytes(qsizetype(st.size), Qt::Uninitialized);
    const zip_int64_t got = zip_fread(f, bytes.data(), st.size);
    zip_fclose(f);
    if (got < 0 || zip_uint64_t(got) != st.size)
        throw WorkbookError(QStringLiteral("Файлът \"%1\" е повреден: %2").arg(native(path), zipText(z)));
    return bytes;
}

// Excel and most writers stamp every entry with the zip epoch.
time_t fixedEntryTime()
{
    std::tm t{};
    t.tm_year = 80;
    t.tm_mday = 1;
    return std::mktime(&t);
}

}  // namespace

Package Package::read(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw WorkbookError(
            QStringLiteral("Файлът \"%1\" не може да бъде отворен: %2").arg(native(path), file.errorString()));
    const QByteArray data = file.readAll();
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* source = zip_source_buffer_create(data.constData(), zip_uint64_t(data.size()), 0, &error);
    zip_t* opened = source ? zip_open_from_source(source, ZIP_RDONLY, &error) : nullptr;
    if (!opened) {
        zip_source_free(source);
        zip_error_fini(&error);
        throw WorkbookError(QStringLiteral("Файлът \"%1\" не е работна книга във формат .xlsx").arg(native(path)));
    }
    Archive z(opened);
    Package package;
    const zip_int64_t count = zip_get_num_entries(z.get(), 0);
    for (zip_int64_t i = 0; i < count; ++i) {
        const QString name = QString::fromUtf8(zip_get_name(z.get(), zip_uint64_t(i), ZIP_FL_ENC_GUESS));
        if (name.endsWith(u'/'))
            continue;  // folder entries carry nothing
        package.parts_.emplace_back(name, readEntry(z.get(), zip_uint64_t(i), path));
    }
    return package;
}

QStringList Package::names() const
{
    QStringList names;
    for (const auto& [n, bytes] : parts_)
        names.append(n);
    return names;
}

bool Package::contains(const QString& name) const
{
    for (const auto& [n, bytes] : parts_)
        if (n == name)
            return true;
    return false;
}

const QByteArray& Package::part(const QString& name) const
{
    for (const auto& [n, bytes] : parts_)
        if (n == name)
            return bytes;
    throw WorkbookError(QStringLiteral("В работната книга липсва частта \"%1\"").arg(name));
}

void Package::setPart(const QString& name, QByteArray bytes)
{
    for (auto& [n, b] : parts_) {
        if (n == name) {
            b = std::move(bytes);
            return;
        }
    }
    parts_.emplace_back(name, std::move(bytes));
}

void Package::removePart(const QString& name)
{
    std::erase_if(parts_, [&](const auto& p) { return p.first == name; });
}

QByteArray Package::toZip() const
{
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* out = zip_source_buffer_create(nullptr, 0, 0, &error);
    zip_source_keep(out);
    zip_t* z = zip_open_from_source(out, ZIP_TRUNCATE, &error);
    const time_t when = fixedEntryTime();
    bool ok = z != nullptr;
    for (const auto& [name, bytes] : parts_) {
        if (!ok)
            break;
        // libzip copies nothing here: the buffers live until zip_close below.
        zip_source_t* src = zip_source_buffer(z, bytes.constData(), zip_uint64_t(bytes.size()), 0);
        const zip_int64_t index = src ? zip_file_add(z, name.toUtf8().constData(), src, ZIP_FL_ENC_UTF_8) : -1;
        if (index < 0) {
            zip_source_free(src);
            ok = false;
            break;
        }
        // The fastest level: a sheet of many thousand lines compresses to
        // little more than at the default, in a fraction of the time.
        ok = zip_set_file_compression(z, zip_uint64_t(index), ZIP_CM_DEFLATE, 1) == 0 &&
             zip_file_set_mtime(z, zip_uint64_t(index), when, 0) == 0;
    }
    QString failure;
    if (ok && zip_close(z) != 0) {
        failure = zipText(z);
        ok = false;
    }
    if (!ok) {
        if (failure.isEmpty() && z)
            failure = zipText(z);
        if (z)
            zip_discard(z);
        zip_source_free(out);
        zip_error_fini(&error);
        throw WorkbookError(QStringLiteral("Работната книга не може да бъде съставена: %1").arg(failure));
    }
    QByteArray zipped;
    zip_stat_t st;
    if (zip_source_stat(out, &st) == 0 && zip_source_open(out) == 0) {
        zipped.resize(qsizetype(st.size));
        const zip_int64_t got = zip_source_read(out, zipped.data(), st.size);
        zip_source_close(out);
        if (got < 0 || zip_uint64_t(got) != st.size)
            zipped.clear();
    }
    zip_source_free(out);
    if (zipped.isEmpty())
        throw WorkbookError(QStringLiteral("Работната книга не може да бъде съставена"));
    return zipped;
}

void Package::write(const QString& path) const
{
    const QByteArray zipped = toZip();
    QSaveFile file(path);
    auto fail = [&] {
        const QString why = file.errorString();
        file.cancelWriting();
        throw WorkbookError(QStringLiteral("Файлът \"%1\" не може да бъде записан: %2").arg(native(path), why));
    };
    if (!file.open(QIODevice::WriteOnly))
        fail();
    if (file.write(zipped) != zipped.size())
        fail();
    if (!file.commit())
        throw WorkbookError(
            QStringLiteral("Файлът \"%1\" не може да бъде записан: %2").arg(native(path), file.errorString()));
}

}  // namespace transfers
