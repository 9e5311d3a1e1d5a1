#pragma once

#include "common/screen.h"
#include "common/sort_switch.h"
#include "report_engine/output_chooser.h"
#include "rent/rest_to_receive.h"
#include "schema/roles.h"

#include <QHash>
#include <QPointer>
#include <QSet>
#include <QString>

#include <functional>
#include <optional>

class Prompter;
class TDM;

// What a screen is given when it is made.
struct ScreenContext {
    TDM& dm;
    Prompter& prompter;
    // The run-long sort switches of every screen kind.
    SortSwitches& sorts;
    // Who answers where a printed report goes.
    reports::OutputChooser& outputs;
};

// The data module's lookups (rent types, goods, contract kinds and types)
// read again, so that a screen opening or coming to the front offers what
// was committed since; a failure is said.
void freshLookups(const ScreenContext& context);

using ScreenFactory = std::function<Screen*(const ScreenContext&)>;

// One reference per screen kind ("TFHora", "TFZemq"…) to its open instance,
// and the factory that makes one. A menu item whose kind has no factory stays
// disabled. An instance's close empties its kind's reference.
class ScreenRegistry {
public:
    // `changes` is the role a user needs to change what the screen shows;
    // for a weaker role the screen opens limited to reading, or not at all
    // when it is there only to act (a backup, the year's closing).
    enum class Opening { ForReading, ForActingOnly };
    void add(const QString& kind, ScreenFactory factory, schema::roles::Role changes = schema::roles::Role::Viewer,
             Opening opening = Opening::ForReading)
    {
        factories_.insert(kind, std::move(factory));
        changeRole_.insert(kind, changes);
        if (opening == Opening::ForActingOnly)
            actingOnly_.insert(kind);
    }
    // Whether this run's role may open the kind at all.
    bool mayOpen(const QString& kind) const
    {
        return !actingOnly_.contains(kind) || schema::roles::mayDo(changeRole_.value(kind));
    }
    bool has(const QString& kind) const { return factories_.contains(kind); }
    // Every kind that has a factory.
    QStringList kinds() const { return factories_.keys(); }

    // A new screen of the kind, not yet registered, over fresh lookups.
    Screen* create(const QString& kind, const ScreenContext& context) const;
    // The open instance of the kind, nullptr when none.
    Screen* instance(const QString& kind) const { return instances_.value(kind); }
    // Keeps `screen` as the kind's instance until it closes.
    void setInstance(const QString& kind, Screen* screen);
    // The kind's open instance brought to the front, or else a new one made,
    // kept as the instance and opened beside `from` (as a screen opens
    // another screen of the program that may exist once only).
    Screen* showFrom(Screen& from, const QString& kind, const ScreenContext& context);
    // Empties the kind's reference (a screen's close does it by itself).
    void forget(const QString& kind) { instances_.remove(kind); }
    // Empties the kind's reference when `screen` closes, also for an
    // instance that was never registered (pickers and the like).
    void forgetOnClose(const QString& kind, Screen* screen);
    bool anyOpen() const;
    // The sort direction of every screen kind, kept for the whole run.
    SortSwitches& sortSwitches() { return sortSwitches_; }
    // Where reports go: the engine's dialog, or what a test puts in its place (not owned).
    reports::OutputChooser& outputChooser() const { return *outputs_; }
    void setOutputChooser(reports::OutputChooser& chooser) { outputs_ = &chooser; }
    // The main window's label of a loaded archived year, which the loading
    // screen shows; the main window sets it when it is made.
    void setOldPeriodLabel(std::function<void(int)> show) { oldPeriod_ = std::move(show); }
    void showOldPeriod(int archiveYear)
    {
        loadedYear_ = archiveYear;
        if (oldPeriod_)
            oldPeriod_(archiveYear);
    }
    // The year of the archived period loaded in this run, if one was.
    std::optional<int> loadedYear() const { return loadedYear_; }
    // What the owners' payout screens have given but not yet saved, shared
    // by every payout screen of this run.
    rent::SharedRest& payoutRest() { return payoutRest_; }

private:
    QHash<QString, ScreenFactory> factories_;
    QHash<QString, schema::roles::Role> changeRole_;
    QSet<QString> actingOnly_;
    QHash<QString, QPointer<Screen>> instances_;
    SortSwitches sortSwitches_;
    reports::DialogOutputChooser dialogOutputs_;
    reports::OutputChooser* outputs_ = &dialogOutputs_;
    std::function<void(int)> oldPeriod_;
    std::optional<int> loadedYear_;
    rent::SharedRest payoutRest_;
};

// Adds every screen kind of the program with its factory.
void registerScreens(ScreenRegistry& registry);
