#include "app/screen_registry.h"

#include "common/failure.h"
#include "common/screen.h"
#include "dm/tdm.h"
#include "fb/error.h"
#include "registers/tfdogovor.h"
#include "registers/tffirma.h"
#include "registers/tfkatkoef.h"
#include "registers/tfhora.h"
#include "registers/tfzemq.h"
#include "rent/tfhorazemqrenta.h"
#include "rent/tfnerazdadenarenta.h"
#include "rent/tfrentazeml.h"
#include "rent/tfsobstvzemq.h"
#include "rent/tfsprnr.h"
#include "rent/tfvidrenta.h"
#include "reports/tfjurnal.h"
#include "reports/tfsprbezhora.h"
#include "reports/tfsprbezimoti.h"
#include "reports/tfsprimoti.h"
#include "reports/tfsprimotisobstv.h"
#include "service/tfbackup.h"
#include "service/tfpotrebiteli.h"
#include "service/tfpreklgod.h"
#include "service/tfzarejdanenagod.h"
#include "transfers/tfak.h"
#include "transfers/tfak_access.h"
#include "transfers/tfdekl69.h"
#include "transfers/tfiznostablici.h"
#include "transfers/tfdekl70.h"
#include "transfers/tfdeklnap.h"

Screen* ScreenRegistry::create(const QString& kind, const ScreenContext& context) const
{
    const auto f = factories_.find(kind);
    if (f == factories_.end())
        return nullptr;
    freshLookups(context);
    Screen* screen = (*f)(context);
    if (!screen)
        return nullptr;
    if (screen->objectName().isEmpty())
        screen->setObjectName(kind);
    if (!schema::roles::mayDo(changeRole_.value(kind)))
        screen->limitToReading();
    return screen;
}

void freshLookups(const ScreenContext& context)
{
    try {
        context.dm.freshLookups();
    } catch (const fb::Error& e) {
        failure::show(context.prompter, QStringLiteral("Списъците с видове не могат да бъдат прочетени отново."), e);
    }
}

void ScreenRegistry::setInstance(const QString& kind, Screen* screen)
{
    instances_.insert(kind, screen);
    forgetOnClose(kind, screen);
}

Screen* ScreenRegistry::showFrom(Screen& from, const QString& kind, const ScreenContext& context)
{
    if (Screen* open = instance(kind)) {
        open->comeForward();
        return open;
    }
    Screen* screen = create(kind, context);
    if (!screen)
        return nullptr;
    setInstance(kind, screen);
    from.openBeside(screen);
    screen->comeForward();
    return screen;
}

void ScreenRegistry::forgetOnClose(const QString& kind, Screen* screen)
{
    QObject::connect(screen, &Screen::closed, screen, [this, kind] { forget(kind); });
}

bool ScreenRegistry::anyOpen() const
{
    for (const auto& s : instances_)
        if (s)
            return true;
    return false;
}

// Each kind's factory makes the screen from the context (the data module,
// the prompter, the sort switches, the output chooser).
void registerScreens(ScreenRegistry& registry)
{
    using schema::roles::Role;
    // A backup of a server's register is the engine's to make, and it makes
    // one only for an administrator: the backup, the year's closing (which
    // archives first) and the loading of an archive are an administrator's.
    registry.add(
        "TFFirma", [](const ScreenContext& c) { return new TFFirma(c.dm, c.prompter); }, Role::Accountant);
    registry.add(
        "TFHora",
        [](const ScreenContext& c) {
            return new TFHora(c.dm, c.prompter, c.sorts.of("TFHora", SortSwitch::Ascending));
        },
        Role::Clerk);
    registry.add(
        "TFZemq",
        [](const ScreenContext& c) {
            return new TFZemq(c.dm, c.prompter, c.sorts.of("TFZemq", SortSwitch::Ascending),
                              c.sorts.of("TFHora", SortSwitch::Ascending));
        },
        Role::Clerk);
    registry.add(
        "TFDogovor",
        [](const ScreenContext& c) {
            return new TFDogovor(c.dm, c.prompter, c.sorts.of("TFDogovor", SortSwitch::Descending));
        },
        Role::Clerk);
    registry.add(
        "TFKatKoef",
        [](const ScreenContext& c) {
            return new TFKatKoef(c.dm, c.prompter, c.outputs, c.sorts.of("TFKatKoef", SortSwitch::Ascending));
        },
        Role::Accountant);
    registry.add("TFSprimoti", [](const ScreenContext& c) {
        return new TFSprimoti(c.dm, c.prompter, c.outputs, c.sorts.of("TFSprimoti", SortSwitch::Descending));
    });
    registry.add("TFSprbezhora", [](const ScreenContext& c) {
        return new TFSprbezhora(c.dm, c.prompter, c.outputs, c.sorts.of("TFSprbezhora", SortSwitch::Ascending));
    });
    registry.add("TFSprImotiSobstv", [](const ScreenContext& c) {
        return new TFSprImotiSobstv(c.dm, c.prompter, c.outputs, c.sorts.of("TFSprImotiSobstv", SortSwitch::Ascending));
    });
    registry.add("TFJurnal", [](const ScreenContext& c) { return new TFJurnal(c.dm, c.prompter, c.outputs); });
    registry.add("TFSprbezimoti", [](const ScreenContext& c) {
        return new TFSprbezimoti(c.dm, c.prompter, c.sorts.of("TFSprbezimoti", SortSwitch::Ascending));
    });
    // Every "Покажи рента" opens another payout screen on the list's current
    // owner; they share one rest to receive and close with the list they follow.
    registry.add(
        "TFSobstvZemq",
        [&registry](const ScreenContext& c) {
            auto* list =
                new TFSobstvZemq(c.dm, c.prompter, c.outputs, c.sorts.of("TFSobstvZemq", SortSwitch::Ascending));
            QObject::connect(list, &TFSobstvZemq::payoutRequested, list, [list, c, &registry] {
                auto* payout = new TFHoraZemqRenta(c.dm, c.prompter, c.outputs, list->rows(), registry.payoutRest());
                if (!schema::roles::mayDo(Role::Clerk))
                    payout->limitToReading();
                QObject::connect(list, &Screen::closed, payout, &Screen::closeWindow);
                list->openBeside(payout);
            });
            return list;
        },
        Role::Clerk);
    registry.add(
        "TFNerazdadenaRenta",
        [](const ScreenContext& c) {
            return new TFNerazdadenaRenta(c.dm, c.prompter, c.outputs,
                                          c.sorts.of("TFNerazdadenaRenta", SortSwitch::Ascending));
        },
        Role::Clerk);
    registry.add("TFSprnr", [](const ScreenContext& c) {
        return new TFSprnr(c.dm, c.prompter, c.outputs, c.sorts.of("TFSprnr", SortSwitch::Descending));
    });
    registry.add(
        "TFVidRenta", [](const ScreenContext& c) { return new TFVidRenta(c.dm, c.prompter); }, Role::Accountant);
    // The rules screen's button beside its rent type picker shows the one rent types screen.
    registry.add(
        "TFRentaZeml",
        [&registry](const ScreenContext& c) {
            return new TFRentaZeml(c.dm, c.prompter, c.outputs,
                                   [&registry, c](Screen& from) { registry.showFrom(from, "TFVidRenta", c); });
        },
        Role::Accountant);
    registry.add("TFDeklNAP", [](const ScreenContext& c) { return new TFDeklNAP(c.dm, c.prompter, c.outputs); });
    registry.add("TFAK", [](const ScreenContext& c) { return new TFAK(c.dm, c.prompter, c.outputs); });
    registry.add("TFAK_access", [](const ScreenContext& c) { return new TFAK_access(c.dm, c.prompter, c.outputs); });
    registry.add("TFDekl69", [](const ScreenContext& c) { return new TFDekl69(c.dm, c.prompter); });
    registry.add("TFDekl70", [](const ScreenContext& c) { return new TFDekl70(c.dm, c.prompter, c.outputs); });
    registry.add("TFIznosTablici", [](const ScreenContext& c) { return new TFIznosTablici(c.dm, c.prompter); });
    // The backup names what it copies: after a loading, the archived period's database.
    registry.add(
        "TFBackup",
        [&registry](const ScreenContext& c) {
            return new TFBackup(c.dm, c.prompter, &QDate::currentDate, registry.loadedYear().has_value());
        },
        Role::Administrator, ScreenRegistry::Opening::ForActingOnly);
    registry.add(
        "TFPotrebiteli", [](const ScreenContext& c) { return new TFPotrebiteli(c.dm, c.prompter); },
        Role::Administrator, ScreenRegistry::Opening::ForActingOnly);
    registry.add(
        "TFPreklgod", [](const ScreenContext& c) { return new TFPreklgod(c.dm, c.prompter); }, Role::Administrator,
        ScreenRegistry::Opening::ForActingOnly);
    registry.add(
        "TFZarejdanenagod",
        [&registry](const ScreenContext& c) {
            return new TFZarejdanenagod(c.dm, c.prompter, [&registry](int year) { registry.showOldPeriod(year); });
        },
        Role::Administrator, ScreenRegistry::Opening::ForActingOnly);
}
