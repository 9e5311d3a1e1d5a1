#pragma once

#include <QHash>
#include <QString>

#include <memory>

// The sort direction of a screen kind. It lives for the whole run, not for
// one window: closing and opening the screen again continues the
// alternation, and two grids of one screen may share it. It starts set; what
// set means (ascending or descending) is fixed per screen kind, and every
// sort flips it.
class SortSwitch {
public:
    enum First { Ascending, Descending };
    explicit SortSwitch(First first = Ascending) : setMeansAscending_(first == Ascending) {}

    // The direction of the next sort.
    bool ascending() const { return set_ == setMeansAscending_; }
    // The direction for this sort; the switch flips for the next.
    bool take()
    {
        const bool up = ascending();
        set_ = !set_;
        return up;
    }

private:
    bool setMeansAscending_;
    bool set_ = true;
};

// The switches of every screen kind, kept by the main window for the run.
class SortSwitches {
public:
    // The kind's switch, made on first use with its first direction.
    SortSwitch& of(const QString& kind, SortSwitch::First first)
    {
        auto& s = switches_[kind];
        if (!s)
            s = std::make_shared<SortSwitch>(first);
        return *s;
    }

private:
    QHash<QString, std::shared_ptr<SortSwitch>> switches_;
};
