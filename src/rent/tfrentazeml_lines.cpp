// The rules screen's right half: the selected rule's lines.
#include "common/failure.h"
#include "common/input_helpers.h"
#include "common/number_field.h"
#include "common/prompter.h"
#include "common/register_panel.h"
#include "dm/domains.h"
#include "dm/tdm.h"
#include "fb/error.h"
#include "rent/rent_rules.h"
#include "rent/tfrentazeml.h"

#include <QComboBox>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>

namespace {

const QString kNoDane = QStringLiteral("Няма дани!");
const QString kTypeTaken = QStringLiteral("Този вид е вече добавен!");
const QString kType = QStringLiteral("jvdblcbVRNaim");
const QString kSize = QStringLiteral("dbedVRRazmer");
const QString kPrice = QStringLiteral("dbedVREC");

}  // namespace

void TFRentaZeml::declareLines()
{
    lineFlow_ = &addFlow(TVidRentaKol, panelVidrenta);
    EditFlow& flow = *lineFlow_;
    flow.setList(*lines_, QStringLiteral("ID_VRK"));
    const QHash<QString, QWidget*>& controls = panelVidrenta->controls();
    flow.setFirstField(controls.value(kType));
    lockWhileEditing(flow);

    // A check that fails sends the focus to its control before it speaks.
    const auto check = [this](const QString& control, std::function<bool(const kit::PanelValues&)> passes,
                              const QString& message) {
        return EditFlow::Check{[this, control, passes] {
                                   if (passes(panelVidrenta->values()))
                                       return true;
                                   panelVidrenta->controls().value(control)->setFocus(Qt::OtherFocusReason);
                                   return false;
                               },
                               message};
    };
    const auto blank = [](const kit::PanelValues& v, const QString& c) { return v.text(c).trimmed().isEmpty(); };
    const auto number = [](const kit::PanelValues& v, const QString& c) { return typedNumber(v.text(c)).has_value(); };
    flow.checks = {
        check(
            kType, [](const kit::PanelValues& v) { return v.chosen(kType); }, kNoDane),
        check(
            kSize, [blank](const kit::PanelValues& v) { return !blank(v, kSize); }, kNoDane),
        check(
            kPrice, [blank](const kit::PanelValues& v) { return !blank(v, kPrice); }, kNoDane),
        check(
            kSize, [number](const kit::PanelValues& v) { return number(v, kSize); },
            QStringLiteral("Размерът трябва да е число, например 40!")),
        check(
            kPrice, [number](const kit::PanelValues& v) { return number(v, kPrice); },
            QStringLiteral("Коефициентът трябва да е число, например %1!").arg(QLocale().toString(0.25))),
        check(
            kType, [this](const kit::PanelValues&) { return !lineTypeTaken(); }, kTypeTaken),
        // Last, the domains: how large, how many decimals, above zero.
        EditFlow::Check{[this] {
                            NumberField* refused = panelVidrenta->refusedNumber();
                            if (!refused)
                                return true;
                            refused->setFocus(Qt::OtherFocusReason);
                            prompter().message(refused->refusal());
                            return false;
                        },
                        {}},
    };
    flow.connectButtons(nullptr, nullptr, nullptr, panelVidrenta->saveButton(), panelVidrenta->cancelButton());
    connect(findChild<QPushButton*>(QStringLiteral("bitVRDob")), &QPushButton::clicked, this, &TFRentaZeml::addLine);
    connect(findChild<QPushButton*>(QStringLiteral("bitVRKor")), &QPushButton::clicked, this,
            &TFRentaZeml::correctLine);
    connect(findChild<QPushButton*>(QStringLiteral("bitVRDel")), &QPushButton::clicked, this, &TFRentaZeml::removeLine);
    connect(&flow, &EditFlow::panelOpened, this, [this](bool adding) {
        typeUnderCorrection_ = adding ? fb::Value() : TVidRentaKol.field(QStringLiteral("ID_VRK")).value();
    });
    connect(&flow, &EditFlow::saved, this, [this](const fb::Value& line) { lineStored(line); });
    connect(&flow, &EditFlow::removed, this, [this] { lineStored({}); });

    // Goods are handed out in whole units: their quantity takes no decimals.
    auto* size = qobject_cast<NumberField*>(controls.value(kSize));
    const auto followType = [this, size] {
        const dataset::Domain& domain = dm::domain(QStringLiteral("VIDRENTAKOL"), QStringLiteral("KOL"),
                                                   chosenTypeIsMoney() ? QString() : QStringLiteral("goods"));
        size->setDomain(domain.named(size->domain().name));
    };
    connect(&TVidRentaKol, &dataset::Dataset::fieldChanged, this, followType);
    connect(&TVidRentaKol, &dataset::Dataset::stateChanged, this, followType);
    connect(panelVidrenta, &RegisterPanel::refusedNumberLeft, this, [this](const QString& message) {
        if (lineFlow_->isEditing())
            prompter().message(message);
    });
    connect(qobject_cast<QPushButton*>(controls.value(QStringLiteral("bitVRDobNew"))), &QPushButton::clicked, this,
            [this] {
                // Back in this window, the picker has the focus and offers what was added there.
                panelVidrenta->controls().value(kType)->setFocus();
                if (rentTypes_)
                    rentTypes_(*this);
            });
}

bool TFRentaZeml::chosenTypeIsMoney() const
{
    const fb::Value type = TVidRentaKol.isOpen() ? TVidRentaKol.field(QStringLiteral("ID_VRK")).value() : fb::Value();
    return !type.isNull() && rent::isMoney(type.toInt());
}

// A rule pending in another rules screen holds the rule cursor the total
// is written through.
bool TFRentaZeml::ruleHeldElsewhere()
{
    if (!dm_.TRZeml.isEditing())
        return false;
    prompter().message(kHeldElsewhere);
    return true;
}

void TFRentaZeml::addLine()
{
    if (lineFlow_->isEditing() || ruleHeldElsewhere() || refusedForReceipt())
        return;
    if (rules_->isEmpty()) {
        prompter().message(kNoData);
        return;
    }
    lineFlow_->add();
}

void TFRentaZeml::correctLine()
{
    if (lineFlow_->isEditing() || ruleHeldElsewhere() || refusedForReceipt())
        return;
    lineFlow_->correct();  // "Няма данни!" without a rule or a line
}

void TFRentaZeml::removeLine()
{
    if (lineFlow_->isEditing() || ruleHeldElsewhere() || refusedForReceipt())
        return;
    lineFlow_->remove();
}

// The rule has a stored line of the chosen type, other than the line under
// correction keeping its own type.
bool TFRentaZeml::lineTypeTaken()
{
    const fb::Value type = TVidRentaKol.field(QStringLiteral("ID_VRK")).value();
    if (type.isNull() || (!typeUnderCorrection_.isNull() && type == typeUnderCorrection_))
        return false;
    return rowFound(rent::lineOfRuleAndType(), {TVidRentaKol.field(QStringLiteral("ID_RZ")).value(), type});
}

// A line was stored or deleted: the rule's total follows, and the lists are
// read again on the rule and the line.
void TFRentaZeml::lineStored(const fb::Value& line)
{
    const fb::Value rule = rules_->value(QStringLiteral("ID_RZ"));
    writeRuleTotal(rule);
    rules_->reread(QStringLiteral("ID_RZ"), rule);
    try {
        TVidRentaKol.open();
        if (!line.isNull())
            TVidRentaKol.locate(QStringLiteral("ID_VRK"), line);
        dm_.reopenRuleCursors();
    } catch (const fb::Error& e) {
        failure::show(prompter(), QStringLiteral("Рентата не може да бъде преизчислена."), e);
    }
}

// RAZMER, the rule's value per decare, from its lines as stored now,
// written through the rule cursor in the rules' area.
void TFRentaZeml::writeRuleTotal(const fb::Value& rule)
{
    if (rule.isNull() || ruleHeldElsewhere())
        return;
    try {
        TVidRentaKol.open();
        const double total = rent::ruleTotal(TVidRentaKol);
        dm_.IBTRZeml.ensureStarted();
        if (!dm_.TRZeml.locateFresh(QStringLiteral("ID_RZ"), rule))
            return;
        dm_.TRZeml.edit();
        dm_.TRZeml.field(QStringLiteral("RAZMER")).setValue(total);
        dm_.TRZeml.post();
        dm_.IBTRZeml.commit();
    } catch (const fb::Error& e) {
        failure::show(prompter(), QStringLiteral("Размерът на рентата не е записан."), e);
        try {
            dm_.TRZeml.cancel();
            dm_.IBTRZeml.rollback();
        } catch (const fb::Error&) {
        }
    }
}
