#include "fb/error.h"

#include <algorithm>

namespace fb {

Error::Error(const QString& message, std::vector<long> codes)
    : std::runtime_error(message.toStdString()), codes_(std::move(codes))
{
}

bool Error::has(long iscCode) const
{
    return std::find(codes_.begin(), codes_.end(), iscCode) != codes_.end();
}

}  // namespace fb
