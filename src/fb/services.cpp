#include "fb/services.h"

#include "fb/api.h"
#include "fb/error.h"
#include "fb/statement.h"
#include "fb/transaction.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>
#include <array>
#include <cstdint>

namespace fb {

using namespace detail;

namespace {

// The server part of a name ("host", "host/port", "inet://host:port") and
// the path after it; an empty server part for a local file.
std::pair<QString, QString> splitName(const QString& database)
{
    if (database.startsWith(QLatin1String("inet://"))) {
        const qsizetype slash = database.indexOf(QLatin1Char('/'), 7);
        if (slash < 0)
            return {database, QString()};
        return {database.left(slash), database.mid(slash + 1)};
    }
    if (Connection::isServerName(database)) {
        const qsizetype colon = database.indexOf(QLatin1Char(':'));
        return {database.left(colon), database.mid(colon + 1)};
    }
    return {QString(), Connection::resolve(database)};
}

unsigned readLittleEndian(const unsigned char* p, int bytes)
{
    unsigned value = 0;
    for (int i = bytes - 1; i >= 0; --i)
        value = (value << 8) | p[i];
    return value;
}

// What one reply of the service said: output it gave, input it asks for,
// and whether it is still at work.
struct Reply {
    unsigned stdinWanted = 0;
    bool running = false;
};

template <typename Out>
Reply readReply(const std::vector<unsigned char>& buffer, Out& output)
{
    Reply reply;
    const unsigned char* p = buffer.data();
    const unsigned char* const end = p + buffer.size();
    while (p < end && *p != isc_info_end) {
        switch (*p++) {
            case isc_info_svc_to_eof:
            case isc_info_svc_line: {
                const unsigned length = readLittleEndian(p, 2);
                p += 2;
                if (length > 0) {
                    output(reinterpret_cast<const char*>(p), length);
                    reply.running = true;
                }
                p += length;
                break;
            }
            case isc_info_svc_stdin:
                reply.stdinWanted = readLittleEndian(p, 4);
                p += 4;
                reply.running = reply.running || reply.stdinWanted > 0;
                break;
            case isc_info_truncated:
            case isc_info_data_not_ready:
            case isc_info_svc_timeout:
                reply.running = true;
                break;
            default:
                throw Error(QStringLiteral("The service manager sent an answer this client does not read."));
        }
    }
    return reply;
}

}  // namespace

QString ServiceManager::managerOf(const QString& database)
{
    const QString server = splitName(database).first;
    if (server.isEmpty())
        return QStringLiteral("service_mgr");
    return server + (server.startsWith(QLatin1String("inet://")) ? QStringLiteral("/service_mgr")
                                                                 : QStringLiteral(":service_mgr"));
}

QString ServiceManager::pathOnEngine(const QString& database)
{
    return splitName(database).second;
}

ServiceManager::ServiceManager(const QString& database, const QString& user, const QString& password,
                               const QString& role)
    : database_(database)
{
    Status st;
    DisposePtr<Firebird::IXpbBuilder> spb(util()->getXpbBuilder(&st, Firebird::IXpbBuilder::SPB_ATTACH, nullptr, 0));
    spb->insertString(&st, isc_spb_user_name, user.toUtf8().constData());
    if (!password.isEmpty())
        spb->insertString(&st, isc_spb_password, password.toUtf8().constData());
    if (!role.isEmpty())
        spb->insertString(&st, isc_spb_sql_role_name, ('"' + role + '"').toUtf8().constData());
    service_ = provider()->attachServiceManager(&st, managerOf(database).toUtf8().constData(),
                                                spb->getBufferLength(&st), spb->getBuffer(&st));
}

ServiceManager::~ServiceManager()
{
    try {
        detach();
    } catch (const Error&) {
        // A destructor never throws; the server drops the attachment anyway.
    }
}

void ServiceManager::detach()
{
    if (!service_)
        return;
    RefPtr<Firebird::IService> service(std::exchange(service_, nullptr));
    Status st;
    service->detach(&st);  // frees the service on success
    service.take();
}

template <typename In, typename Out>
void ServiceManager::pump(In&& input, Out&& output)
{
    // The largest reply the protocol carries; a chunk of input must fit in
    // a two-byte length with its tag around it.
    constexpr unsigned kBuffer = 32768;
    std::vector<unsigned char> buffer(kBuffer);
    std::vector<unsigned char> send;
    const std::array<unsigned char, 2> receive{isc_info_svc_stdin, isc_info_svc_to_eof};
    Reply reply{0, true};
    while (reply.running) {
        send.clear();
        if (reply.stdinWanted > 0) {
            // An empty line tells the service that its input has ended.
            std::vector<char> chunk(std::min(reply.stdinWanted, kBuffer - 8));
            const unsigned length = input(chunk.data(), static_cast<unsigned>(chunk.size()));
            send = {isc_info_svc_line, static_cast<unsigned char>(length & 0xff),
                    static_cast<unsigned char>(length >> 8)};
            send.insert(send.end(), chunk.begin(), chunk.begin() + length);
            send.push_back(isc_info_end);
        }
        Status st;
        std::fill(buffer.begin(), buffer.end(), static_cast<unsigned char>(isc_info_end));
        service_->query(&st, static_cast<unsigned>(send.size()), send.empty() ? nullptr : send.data(),
                        static_cast<unsigned>(receive.size()), receive.data(), kBuffer, buffer.data());
        reply = readReply(buffer, output);
    }
}

void ServiceManager::backup(const QString& file)
{
    QSaveFile out(file);
    if (!out.open(QIODevice::WriteOnly))
        throw Error(QStringLiteral("Файлът „%1“ не може да бъде записан: %2")
                        .arg(QDir::toNativeSeparators(file), out.errorString()));
    Status st;
    DisposePtr<Firebird::IXpbBuilder> spb(util()->getXpbBuilder(&st, Firebird::IXpbBuilder::SPB_START, nullptr, 0));
    spb->insertTag(&st, isc_action_svc_backup);
    spb->insertString(&st, isc_spb_dbname, pathOnEngine(database_).toUtf8().constData());
    spb->insertString(&st, isc_spb_bkp_file, "stdout");
    service_->start(&st, spb->getBufferLength(&st), spb->getBuffer(&st));
    bool written = true;
    pump([](char*, unsigned) { return 0u; },
         [&](const char* data, unsigned length) { written = written && out.write(data, length) == length; });
    if (!written || !out.commit())
        throw Error(QStringLiteral("Файлът „%1“ не може да бъде записан: %2")
                        .arg(QDir::toNativeSeparators(file), out.errorString()));
}

void ServiceManager::restore(const QString& file, const QString& database)
{
    QFile in(file);
    if (!in.open(QIODevice::ReadOnly))
        throw Error(QStringLiteral("Файлът „%1“ не може да бъде прочетен: %2")
                        .arg(QDir::toNativeSeparators(file), in.errorString()));
    Status st;
    DisposePtr<Firebird::IXpbBuilder> spb(util()->getXpbBuilder(&st, Firebird::IXpbBuilder::SPB_START, nullptr, 0));
    spb->insertTag(&st, isc_action_svc_restore);
    spb->insertString(&st, isc_spb_bkp_file, "stdin");
    spb->insertString(&st, isc_spb_dbname, pathOnEngine(database).toUtf8().constData());
    spb->insertInt(&st, isc_spb_options, isc_spb_res_create);
    service_->start(&st, spb->getBufferLength(&st), spb->getBuffer(&st));
    QString failedRead;
    pump(
        [&](char* data, unsigned size) {
            const qint64 got = in.read(data, size);
            if (got < 0)
                failedRead = in.errorString();
            return got < 0 ? 0u : static_cast<unsigned>(got);
        },
        [](const char*, unsigned) {});
    if (!failedRead.isEmpty())
        throw Error(
            QStringLiteral("Файлът „%1“ не може да бъде прочетен: %2").arg(QDir::toNativeSeparators(file), failedRead));
}

std::vector<Attachment> otherAttachments(Connection& connection)
{
    Transaction tr(connection, TransactionOptions::readCommitted(true));
    Statement st(connection, QStringLiteral("select trim(mon$user), trim(mon$remote_address), mon$remote_process"
                                            " from mon$attachments"
                                            " where mon$attachment_id <> current_connection"
                                            " and coalesce(mon$system_flag, 0) = 0"
                                            " order by mon$attachment_id"));
    std::vector<Attachment> others;
    for (const auto& row : fetchAll(st, tr))
        // The engine writes the address with the client's port ("10.0.0.7/50412"),
        // which says nothing of the desk.
        others.push_back({row[0].toString(),
                          row[1].isNull() ? QString() : row[1].toString().section(QLatin1Char('/'), 0, 0),
                          row[2].isNull() ? QString() : QFileInfo(row[2].toString().trimmed()).fileName()});
    tr.commit();
    return others;
}

}  // namespace fb
