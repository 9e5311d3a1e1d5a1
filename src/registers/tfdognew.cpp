#include "registers/tfdognew.h"

#include "common/failure.h"
#include "common/date_field.h"
#include "common/prompter.h"
#include "common/text_input.h"
#include "dataset/binders.h"
#include "dataset/formats.h"
#include "dm/tables.h"
#include "dm/tdm.h"
#include "fb/error.h"
#include "registers/contract_rules.h"
#include "registers/lookup_lists.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QFocusEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

const QString kWrongPeriod = QStringLiteral("Въведете правилен период!");
const QString kRequired = QStringLiteral("Въведете задължителните полета!");
// The two parts are parted by a line feed and a carriage return, as the message always was.
const QString kRequiredOnClosing =
    QStringLiteral("Не са въведени всички задължителни полета,\n\rданните няма да бъдат записани!");
const QString kReceiptsIssued = QStringLiteral("Има издадени разписки, не можете да прекратите договора");
const QString kWrongTermination = QStringLiteral("Невалидна дата на прекратяване!");

}  // namespace

TFDogNew::TFDogNew(TDM& dm, Prompter& prompter, Opening opening, QWidget* parent)
    : ListScreen(prompter, parent),
      dm_(dm),
      IBTQuery1(dm.IBDatabase1, QStringLiteral("IBTQuery1"), fb::TransactionOptions::readCommitted(true), true),
      QueryImotiDog(dm.IBTDog, QStringLiteral("QueryImotiDog")),
      QuerySobstv(dm.IBTDog, QStringLiteral("QuerySobstv")),
      QueryDHZ(dm.IBTDog, QStringLiteral("QueryDHZ")),
      TSobstvenici(dm.IBTDog, QStringLiteral("TSobstvenici")),
      IBQuery1(IBTQuery1, QStringLiteral("IBQuery1"))
{
    setObjectName(QStringLiteral("TFDogNew"));
    setWindowTitle(QStringLiteral("Договор"));
    dm::useTable(TSobstvenici, QStringLiteral("SOBSTV"));
    TSobstvenici.setSecondCursor(true);
    // Every plot is listed; the grid reads them as it scrolls.
    QueryImotiDog.setFetchOnDemand(true);

    auto* top = new QHBoxLayout;
    top->addWidget(buildHeader());
    top->addWidget(buildGroup("gbSyd", "Съдебна заверка",
                              {{"dbedSvAktNo", "Вп. под №:", "SVAKTNO"},
                               {"dbedSvTom", "Том:", "SVTOM"},
                               {"dbedSvVhRegNo", "Вх. рег. №:", "SVVHREGNO"},
                               {"dbedSvDelo", "Дата:", "SVDELO"}}));
    top->addWidget(buildGroup("gbNotarialna", "Нотариална заверка",
                              {{"dbedNzNomer", "Номер:", "NZNOMER"},
                               {"dbedNzTom", "Том:", "NZTOM"},
                               {"dbedNzRegNo", "Рег. №:", "NZREGNO"},
                               {"dbedNzDelo", "Дело №:", "NZDELO"},
                               {"dbedNzData", "Дата:", "NZDATA"},
                               {"dbedNotRegNo", "Нотариус - Рег. №:", "NOTREGNO"}}));
    auto* side = new QVBoxLayout;
    side->addWidget(buildGroup("gbOszg", "ОСЗГ", {{"dbedOszRegNo", "Рег. №/ Дата:", "OSZREGNO"}}));
    side->addWidget(buildTermination());
    side->addStretch();
    top->addLayout(side);
    top->addStretch();

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(button(QStringLiteral("bitZapis"), QStringLiteral("Запис")));
    buttons->addWidget(button(QStringLiteral("bitOtkaz"), QStringLiteral("Отказ")));
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(buildOwnersAndPlots(), 1);
    layout->addLayout(buttons);

    declareFlow();
    open(opening);
}

// ---------------------------------------------------------------- building

QLineEdit* TFDogNew::boundEdit(const char* name, const char* column, QWidget* parent)
{
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QLatin1String(name));
    if (dm_.TDogovor.field(QLatin1String(column)).editMask().isEmpty()) {
        new dataset::LineEditBinder(edit, dm_.TDogovor, QLatin1String(column));
        acceptWindows1251Only(edit);
    } else {
        new dataset::MaskEditBinder(edit, dm_.TDogovor, QLatin1String(column));
    }
    return edit;
}

DateField* TFDogNew::dateField(const char* name, const char* column, QWidget* parent)
{
    auto* date = new DateField(parent);
    date->setObjectName(QLatin1String(name));
    new DateFieldBinder(date, dm_.TDogovor, QLatin1String(column));
    return date;
}

// A drop-down over a lookup list bound to the contract, with the button
// that opens the list.
QComboBox* TFDogNew::lookup(const char* name, const char* column, dataset::Dataset& list, const char* key,
                            const char* shows, int kind, QWidget* parent, QPushButton** more)
{
    auto* combo = new QComboBox(parent);
    combo->setObjectName(QLatin1String(name));
    combo->setMinimumContentsLength(20);
    combo->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    new dataset::LookupComboBinder(combo, list, QLatin1String(key), QLatin1String(shows), &dm_.TDogovor,
                                   QLatin1String(column));
    *more = button(QLatin1String(name) + QStringLiteral("Btn"), QStringLiteral("..."), parent);
    (*more)->setMaximumWidth((*more)->fontMetrics().horizontalAdvance(QStringLiteral("......")) + 16);
    connect(*more, &QPushButton::clicked, this,
            [this, combo, kind] { openLookupListFrom(combo, LookupList(kind), dm_, prompter()); });
    return combo;
}

QWidget* TFDogNew::buildHeader()
{
    auto* header = new QWidget(this);
    auto* grid = new QGridLayout(header);
    grid->setContentsMargins(0, 0, 0, 0);
    auto* number = new QLineEdit(header);
    number->setObjectName(QStringLiteral("dbedNomer"));
    number->setReadOnly(true);
    new dataset::LineEditBinder(number, dm_.TDogovor, QStringLiteral("NOMER"));
    dbedData = dateField("dbedData", "DATA", header);
    dtpOtData = dateField("dtpOtData", "OTDATA", header);
    dtpDoData = dateField("dtpDoData", "DODATA", header);
    // Leaving "До дата:" before "От дата:" is said at once.
    dtpDoData->installEventFilter(this);
    QPushButton* kindButton = nullptr;
    QComboBox* kind = lookup("jvdblcVidDog", "ID_VIDDOG", dm_.TDogVid, "ID_VIDDOG", "NAIM_VD",
                             int(LookupList::ContractKinds), header, &kindButton);
    jvdblcDogTip = lookup("jvdblcDogTip", "ID_DT", dm_.TDogTip, "ID_DT", "TIP", int(LookupList::ContractTypes), header,
                          &bitDogTip);
    const auto row = [&](int r, const char* label, QWidget* control, QWidget* more = nullptr) {
        auto* l = new QLabel(QString::fromUtf8(label), header);
        l->setBuddy(control);
        grid->addWidget(l, r, 0);
        grid->addWidget(control, r, 1);
        if (more)
            grid->addWidget(more, r, 2);
    };
    row(0, "Договор №:", number);
    row(1, "Дата:", dbedData);
    row(2, "От дата:", dtpOtData);
    row(3, "До дата:", dtpDoData);
    row(4, "Вид договор:", kind, kindButton);
    row(5, "Тип договор:", jvdblcDogTip, bitDogTip);
    grid->setRowStretch(6, 1);
    return header;
}

QGroupBox* TFDogNew::buildGroup(const char* name, const char* caption,
                                std::initializer_list<std::tuple<const char*, const char*, const char*>> fields)
{
    auto* group = new QGroupBox(QString::fromUtf8(caption), this);
    group->setObjectName(QLatin1String(name));
    auto* grid = new QGridLayout(group);
    int r = 0;
    for (const auto& [controlName, label, column] : fields) {
        // A date kept as text ("СЗ Дата") is typed in a date field as well.
        const dataset::Field& f = dm_.TDogovor.field(QLatin1String(column));
        const bool date = f.dataType() == dataset::DataType::Date || dataset::formats::isDateMask(f.editMask());
        QWidget* control =
            date ? static_cast<QWidget*>(dateField(controlName, column, group)) : boundEdit(controlName, column, group);
        grid->addWidget(new QLabel(QString::fromUtf8(label), group), r, 0);
        grid->addWidget(control, r++, 1);
    }
    return group;
}

QWidget* TFDogNew::buildTermination()
{
    auto* box = new QWidget(this);
    box->setObjectName(QStringLiteral("panelPrekr"));
    auto* row = new QHBoxLayout(box);
    row->setContentsMargins(0, 0, 0, 0);
    QPushButton* terminate = button(QStringLiteral("bitPrekr"), QStringLiteral("Прекратяване"), box);
    connect(terminate, &QPushButton::clicked, this, &TFDogNew::terminate);
    dtpPrekr = new DateField(box);
    dtpPrekr->setObjectName(QStringLiteral("dtpPrekr"));
    row->addWidget(terminate);
    row->addWidget(dtpPrekr);
    return box;
}

// ---------------------------------------------------------------- the contract's edit

void TFDogNew::declareFlow()
{
    flow_ = &addFlow(dm_.TDogovor, nullptr);
    flow_->setFirstField(dbedData);
    // A termination stores what it set without the header's checks.
    // A typed day that does not exist is said so, never stored as no date.
    const EditFlow::Check dates{[this] { return terminating_ || !refuseImpossibleDate(this, prompter()); }, {}};
    flow_->checks = {dates,
                     {[this] { return terminating_ || periodIsRight(); }, kWrongPeriod},
                     {[this] { return terminating_ || requiredFilled(); }, kRequired}};
    flow_->closingChecks = {dates,
                            {[this] { return periodIsRight(); }, kWrongPeriod},
                            {[this] { return requiredFilled(); }, kRequiredOnClosing}};
    flow_->beforePost = [this](EditFlow::Saving) { beforePost(); };
    flow_->connectButtons(nullptr, nullptr, nullptr, findChild<QPushButton*>(QStringLiteral("bitZapis")), nullptr);
    connect(findChild<QPushButton*>(QStringLiteral("bitOtkaz")), &QPushButton::clicked, this, &TFDogNew::cancelOrClose);
    connect(flow_, &EditFlow::saved, this, &TFDogNew::ended);
    connect(flow_, &EditFlow::cancelled, this, &TFDogNew::ended);
}

void TFDogNew::open(Opening opening)
{
    dataset::Dataset& header = dm_.TDogovor;
    readOnly_ = header.field(QStringLiteral("SYSTOQNIE")).value().toString() == contract::kTerminated;
    auto* termination = findChild<QWidget*>(QStringLiteral("panelPrekr"));
    termination->setVisible(opening == Opening::Correction);
    const QDate terminated = header.field(QStringLiteral("DATAPR")).value().toDate();
    dtpPrekr->setDate(terminated.isValid() ? terminated : QDate::currentDate());
    try {
        if (readOnly_)
            header.cancel();  // a terminated contract is only looked at
        else
            flow_->editSingleRow();
        readOwnersWithReceipts();
        plots_->reread();
        lineSelected();
        showTotal();
    } catch (const fb::Error& e) {
        failure::show(prompter(), QStringLiteral("Договорът не може да бъде отворен."), e);
    }
    if (readOnly_)
        makeReadOnly();
    dbedData->setFocus();
}

void TFDogNew::makeReadOnly()
{
    for (const char* name :
         {"dbedData", "dtpOtData", "dtpDoData", "jvdblcVidDog", "jvdblcVidDogBtn", "jvdblcDogTip", "jvdblcDogTipBtn",
          "gbNotarialna", "gbSyd", "gbOszg", "bitPrekr", "dtpPrekr", "bitDob", "bitVryshtane", "bitZapis"})
        findChild<QWidget*>(QLatin1String(name))->setEnabled(false);
    // The plots and shares stay to be read: a disabled grid would not even
    // scroll. Only what would change them closes.
    for (QWidget* w : gbSobstvImoti->findChildren<QWidget*>())
        if (qobject_cast<QLineEdit*>(w) || qobject_cast<QAbstractButton*>(w))
            w->setEnabled(false);
}

bool TFDogNew::periodIsRight() const
{
    return contract::periodIsRight(dtpOtData->date(), dtpDoData->date());
}

bool TFDogNew::requiredFilled() const
{
    const auto filled = [this](const char* field) {
        return !dm_.TDogovor.field(QLatin1String(field)).value().isNull();
    };
    return filled("ID_DT") && filled("OTDATA") && filled("DODATA") && filled("ID_VIDDOG");
}

void TFDogNew::beforePost()
{
    dataset::Field& state = dm_.TDogovor.field(QStringLiteral("SYSTOQNIE"));
    if (state.value().toString().isEmpty())
        state.setValue(contract::kInForce);
}

bool TFDogNew::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == dtpDoData && event->type() == QEvent::FocusOut) {
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        // Only a move to another control: a message box or the calendar taking the focus is none.
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason && flow_->isEditing() &&
            !periodIsRight())
            prompter().message(kWrongPeriod);
    }
    return ListScreen::eventFilter(watched, event);
}

// Saved, terminated or given up: the contract transaction has ended and
// closed the contract cursors, which the register and the guards read
// again; the editor goes.
void TFDogNew::ended()
{
    try {
        dm_.reopenContractCursors();
    } catch (const fb::Error& e) {
        failure::show(prompter(), QStringLiteral("Договорите не могат да бъдат прочетени отново."), e);
    }
    closeWindow();
}

// "Отказ" takes back everything written in the edit; a contract only
// looked at just closes.
void TFDogNew::cancelOrClose()
{
    if (flow_->isEditing())
        flow_->cancel();
    else
        closeWindow();
}

// ---------------------------------------------------------------- termination

void TFDogNew::terminate()
{
    if (!flow_->isEditing())
        return;
    // Any owner of the contract with a receipt keeps it in force.
    if (!ownersWithReceipts_.isEmpty()) {
        prompter().message(kReceiptsIssued);
        return;
    }
    const QDate date = dtpPrekr->date();
    if (!contract::terminationDateIsRight(date, dm_.TDogovor.field(QStringLiteral("DATA")).value().toDate())) {
        prompter().message(kWrongTermination);
        return;
    }
    const QString number = dm_.TDogovor.field(QStringLiteral("NOMER")).value().toString();
    // A termination frees every share: Enter alone must not do it.
    if (!prompter().confirm(QStringLiteral("Желаете ли да прекратите договор номер %1?").arg(number),
                            Prompter::Default::No))
        return;
    if (!freeShares())
        return;
    dm_.TDogovor.field(QStringLiteral("SYSTOQNIE")).setValue(contract::kTerminated);
    dm_.TDogovor.field(QStringLiteral("DATAPR")).setValue(date);
    gbSobstvImoti->setEnabled(false);
    terminating_ = true;
    const bool saved = flow_->save();  // the freed shares are committed with the state
    terminating_ = false;
    if (!saved)
        gbSobstvImoti->setEnabled(true);
}

// Every share on a line of the contract is freed (0s), those linked in this
// edit too; the lines stay as the contract's record.
bool TFDogNew::freeShares()
{
    return inOneStep([this] {
        dataset::Dataset& lines = dm_.TDHZ;
        const int id = lines.field(QStringLiteral("ID_DHZ")).index();
        for (int r = 0; r < lines.rowCount(); ++r) {
            if (!TSobstvenici.locate(QStringLiteral("ID_DHZ"), lines.value(r, id)))
                continue;
            TSobstvenici.edit();
            TSobstvenici.field(QStringLiteral("ID_DHZ")).setValue(0);
            TSobstvenici.field(QStringLiteral("ID_DOG")).setValue(0);
            TSobstvenici.post();
        }
    });
}
