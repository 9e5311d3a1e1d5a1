#pragma once

#include <QString>

// The owners register opened by the plot editor to choose an owner: one of
// four "Избери" buttons is shown, and what the chosen owner is for depends
// on which.
enum class OwnerPick {
    AddShare,          // "Добавяне" of a share: bitHoraIzberi
    ChangeShareOwner,  // "Корекция" of a share: bitHoraIzberiEdit
    AddHistory,        // "Добавяне" of a history entry: bitIstoriqIzberi
    ChangePerson,      // "Корекция" of a history entry: bitIstoriqIzberiEdit
};

// The objectName of the pick's "Избери" button.
inline QString pickButtonName(OwnerPick pick)
{
    switch (pick) {
        case OwnerPick::AddShare:
            return QStringLiteral("bitHoraIzberi");
        case OwnerPick::ChangeShareOwner:
            return QStringLiteral("bitHoraIzberiEdit");
        case OwnerPick::AddHistory:
            return QStringLiteral("bitIstoriqIzberi");
        case OwnerPick::ChangePerson:
            return QStringLiteral("bitIstoriqIzberiEdit");
    }
    return {};
}

// What the screen that opens an owner picker (the plot editor) does with it.
// The picker calls back at most once and then closes. A client that is a
// QObject is no longer called once it is destroyed.
class OwnerPickerClient {
public:
    // "Избери": the owner selected in the list (HORA.ID_HORA); the shared
    // cursor THora is on him.
    virtual void ownerPicked(OwnerPick pick, int idHora) = 0;
    // The picker was closed with its edit panel open and the question
    // "Желаете ли да запишете!" answered No: the client drops the share or
    // history row it keeps pending for the pick.
    virtual void pendingRowCancelled(OwnerPick pick) = 0;

protected:
    ~OwnerPickerClient() = default;
};
