#include "registers/tfdogovor.h"

#include "common/failure.h"
#include "common/prompter.h"
#include "common/sort_switch.h"
#include "dm/tdm.h"
#include "fb/error.h"
#include "fb/statement.h"
#include "registers/contract_rules.h"
#include "registers/tfdognew.h"
#include "registers/tfdognomer.h"

#include <QPushButton>

namespace {

const QString kHasLines = QStringLiteral("Има въведени имоти и собственици към този договор!");

std::vector<ListColumn> contractColumns()
{
    // Kind and type sort by their ids, not by their names.
    const auto column = [](const char* field, const char* title, const char* sortKey = "") {
        return ListColumn{QLatin1String(field), QString::fromUtf8(title), QLatin1String(sortKey)};
    };
    return {
        column("NOMER", "Договор №", "nom"),
        column("DATA", "Дата"),
        column("NAIM_VD", "Вид договор", "\"DOG DANNI\".id_viddog"),
        column("TIP", "Тип договор", "\"DOG DANNI\".id_dt"),
        column("OTDATA", "От дата"),
        column("DODATA", "До дата"),
        column("SYSTOQNIE", "Състояние"),
        column("DATAPR", "Дата на прекратяване"),
        column("SVAKTNO", "СЗ Вп. под №"),
        column("SVTOM", "СЗ Том"),
        column("SVVHREGNO", "СЗ Вх. Рег. №"),
        column("SVDELO", "СЗ Дата"),
        column("NZNOMER", "НЗ Номер"),
        column("NZTOM", "НЗ Том"),
        column("NZDELO", "НЗ Дело"),
        column("NZREGNO", "НЗ Рег. №"),
        column("NZDATA", "НЗ Дата"),
        column("NOTREGNO", "Нотариус Рег. №"),
        column("OSZREGNO", "ОСЗГ Рег. №"),
    };
}

kit::RegisterForm contractsForm(TDM& dm, SortSwitch& direction)
{
    return {
        .kind = QStringLiteral("TFDogovor"),
        .caption = QStringLiteral("Договор"),
        .layout = kit::RegisterForm::Layout::CommandsBeside,
        .list = {.grid = QStringLiteral("jvdbgridDogovor"),
                 .group = QStringLiteral("Договори"),
                 .groupName = QStringLiteral("gbDogovori"),
                 .query = QStringLiteral("QueryDogovor"),
                 .statement = contract::registerStatement(),
                 .columns = contractColumns(),
                 .key = QStringLiteral("ID_DOG"),
                 .sort = SortForm::rebuiltFromBase(),
                 .direction = &direction,
                 .doubleClickCorrects = false,
                 .visibleRows = 16},
        .commands = {.add = QStringLiteral("bitDogDob"),
                     .correct = QStringLiteral("bitDogKor"),
                     .remove = QStringLiteral("bitDogDel"),
                     .screenAddsAndCorrects = true},
        .cursor = &dm.TDogovor,
        .panel = QStringLiteral("panelDogovor"),
        .fields = {},
    };
}

}  // namespace

TFDogovor::TFDogovor(TDM& dm, Prompter& prompter, SortSwitch& direction, QWidget* parent)
    : RegisterScreen(prompter, contractsForm(dm, direction), parent), dm_(dm)
{
    connect(control<QPushButton>(QStringLiteral("bitDogDob")), &QPushButton::clicked, this, &TFDogovor::addContract);
    connect(control<QPushButton>(QStringLiteral("bitDogKor")), &QPushButton::clicked, this,
            &TFDogovor::correctContract);
    // A contract in force keeps its lines; a terminated one goes with them.
    flow().guards.push_back({[this] {
                                 const fb::Value id = flow().selectedKey();
                                 return list()->value(QStringLiteral("SYSTOQNIE")).toString() !=
                                            contract::kTerminated &&
                                        dm_.TDelImotiDHZ.locate(QStringLiteral("ID_DOG"), id);
                             },
                             kHasLines});
    // The delete's commit closed the contract area's cursors.
    connect(&flow(), &EditFlow::removed, this, [this] {
        try {
            dm_.reopenContractCursors();
        } catch (const fb::Error& e) {
            failure::show(this->prompter(), QStringLiteral("Договорите не могат да бъдат прочетени."), e);
        }
    });
    start();
}

void TFDogovor::becameActive()
{
    if (remembered_.isEmpty())
        list()->reread();
    else
        list()->reread(QStringLiteral("NOMER"), remembered_);
}

// The number after the one of the contract made last (by its id, not the
// highest number).
QString TFDogovor::proposedNumber()
{
    try {
        dataset::TransactionArea& area = list()->rows().area();
        const fb::Value last =
            fb::fetchScalar(area.database().connection(), area.transaction(),
                            QStringLiteral("select first 1 nomer from \"DOG DANNI\" order by id_dog desc"));
        if (!last.isNull())
            return contract::proposedNumber(last.toString()).value_or(QString());
    } catch (const fb::Error& e) {
        failure::show(prompter(), QStringLiteral("Не може да бъде предложен номер на договор."), e);
    }
    return {};
}

void TFDogovor::addContract()
{
    if (editorOpen())
        return;
    remembered_.clear();
    TFDogNomer dialog(dm_, prompter(), proposedNumber(), this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    remembered_ = dm_.TDogovor.field(QStringLiteral("NOMER")).value().toString();
    openEditor(false);
}

void TFDogovor::correctContract()
{
    if (list()->isEmpty()) {
        prompter().message(kNoData);
        return;
    }
    if (editorOpen())
        return;
    remembered_.clear();
    try {
        dm_.IBTDog.ensureStarted();
        if (!dm_.TDogovor.locateFresh(QStringLiteral("ID_DOG"), list()->value(QStringLiteral("ID_DOG")))) {
            prompter().message(kNoData);
            return;
        }
    } catch (const fb::Error& e) {
        failure::show(prompter(), QStringLiteral("Договорът не може да бъде отворен."), e);
        return;
    }
    remembered_ = dm_.TDogovor.field(QStringLiteral("NOMER")).value().toString();
    openEditor(true);
}

// One contract is edited at a time: the open editor comes forward instead.
bool TFDogovor::editorOpen()
{
    if (!editor_)
        return false;
    editor_->comeForward();
    return true;
}

// The editor offers the contract kinds and types committed since they were read.
void TFDogovor::openEditor(bool correcting)
{
    try {
        dm_.freshLookups();
    } catch (const fb::Error& e) {
        failure::show(prompter(), QStringLiteral("Видовете и типовете договори не могат да бъдат прочетени."), e);
    }
    editor_ = new TFDogNew(dm_, prompter(), correcting ? TFDogNew::Opening::Correction : TFDogNew::Opening::NewNumber);
    openBeside(editor_);
}
