#include "fb/error.h"

#include <algorithm>
#include <array>
#include <atomic>

namespace fb {

namespace {

std::atomic<unsigned long> losses{0};

// The client's codes for an attachment that cannot be used any more.
constexpr std::array<long, 6> kLostCodes{
    335544721L,  // network_error
    335544726L,  // net_read_err: "Error reading data from the connection."
    335544727L,  // net_write_err
    335544648L,  // conn_lost
    335544741L,  // lost_db_connection
    335544856L,  // att_shutdown: "connection shutdown"
};

}  // namespace

unsigned long connectionLosses()
{
    return losses.load(std::memory_order_relaxed);
}

Error::Error(const QString& message, std::vector<long> codes)
    : std::runtime_error(message.toStdString()), codes_(std::move(codes))
{
    if (connectionLost())
        losses.fetch_add(1, std::memory_order_relaxed);
}

bool Error::connectionLost() const
{
    return std::any_of(kLostCodes.begin(), kLostCodes.end(), [this](long code) { return has(code); });
}

bool Error::has(long iscCode) const
{
    return std::find(codes_.begin(), codes_.end(), iscCode) != codes_.end();
}

}  // namespace fb
