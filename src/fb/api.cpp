#include "fb/api.h"

#include "fb/error.h"

#include <QString>

#include <vector>

namespace fb::detail {

Firebird::IMaster* master()
{
    static Firebird::IMaster* m = Firebird::fb_get_master_interface();
    return m;
}

Firebird::IUtil* util()
{
    return master()->getUtilInterface();
}

Firebird::IProvider* provider()
{
    // The dispatcher lives for the whole process; it routes a bare file name
    // to the embedded engine and a host:path name to a server.
    static Firebird::IProvider* p = master()->getDispatcher();
    return p;
}

Status::Status() : BaseStatusWrapper(master()->getStatus())
{
}

Status::~Status()
{
    status->dispose();
}

namespace {

std::vector<long> gdsCodes(const ISC_STATUS* v)
{
    std::vector<long> codes;
    while (v && *v != isc_arg_end) {
        const ISC_STATUS kind = *v++;
        const ISC_STATUS value = *v++;
        if (kind == isc_arg_gds)
            codes.push_back(static_cast<long>(value));
    }
    return codes;
}

}  // namespace

void Status::checkException(Status* s)
{
    if (!s->isDirty() || !(s->getState() & Firebird::IStatus::STATE_ERRORS))
        return;
    char text[2048];
    util()->formatStatus(text, sizeof text, s->status);
    throw Error(QString::fromUtf8(text), gdsCodes(s->getErrors()));
}

}  // namespace fb::detail
