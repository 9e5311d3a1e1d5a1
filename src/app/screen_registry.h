#pragma once

#include "common/screen.h"
#include "common/sort_switch.h"

#include <QHash>
#include <QPointer>
#include <QString>

#include <functional>

class Prompter;
class TDM;

// What a screen is given when it is made.
struct ScreenContext {
    TDM& dm;
    Prompter& prompter;
    // The run-long sort switches of every screen kind.
    SortSwitches& sorts;
};

using ScreenFactory = std::function<Screen*(const ScreenContext&)>;

// One reference per screen kind ("TFHora", "TFZemq"…) to its open instance,
// and the factory that makes one. A kind without a factory is not built yet:
// its menu item stays disabled. An instance's close empties its kind's
// reference.
class ScreenRegistry {
public:
    void add(const QString& kind, ScreenFactory factory) { factories_.insert(kind, std::move(factory)); }
    bool has(const QString& kind) const { return factories_.contains(kind); }
    // Every kind that has a factory.
    QStringList kinds() const { return factories_.keys(); }

    // A new screen of the kind, not yet registered.
    Screen* create(const QString& kind, const ScreenContext& context) const;
    // The open instance of the kind, nullptr when none.
    Screen* instance(const QString& kind) const { return instances_.value(kind); }
    // Keeps `screen` as the kind's instance until it closes.
    void setInstance(const QString& kind, Screen* screen);
    // Empties the kind's reference (a screen's close does it by itself).
    void forget(const QString& kind) { instances_.remove(kind); }
    // Empties the kind's reference when `screen` closes, also for an
    // instance that was never registered (pickers and the like).
    void forgetOnClose(const QString& kind, Screen* screen);
    bool anyOpen() const;
    // The sort direction of every screen kind, kept for the whole run.
    SortSwitches& sortSwitches() { return sortSwitches_; }

private:
    QHash<QString, ScreenFactory> factories_;
    QHash<QString, QPointer<Screen>> instances_;
    SortSwitches sortSwitches_;
};

// Enables the screens that are built: each screen's issue adds its line here.
void registerScreens(ScreenRegistry& registry);
