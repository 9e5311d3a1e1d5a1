#include "rent/protected_rows.h"

#include "common/register_screen.h"

void protectDeliveredRow(RegisterScreen& screen)
{
    EditFlow& flow = screen.flow();
    const auto delivered = [&flow] {
        const fb::Value key = flow.selectedKey();
        return !key.isNull() && key.toInt() == kDeliveredRow;
    };
    flow.correctGuards.push_back({delivered, QStringLiteral("Забранено за корекция!")});
    flow.guards.insert(flow.guards.begin(), {delivered, QStringLiteral("Забранено за изтриване!")});
}
