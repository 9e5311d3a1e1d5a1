#pragma once

#include "dataset/binders.h"
#include "dataset/domain.h"

#include <QLineEdit>

#include <optional>

// A number as a clerk types it: digits, the comma or the full stop as the
// decimal point (the locale's is shown), a minus only where the domain
// takes negative values. Nothing else, no grouping. Nothing when the text
// holds no such number.
std::optional<double> typedNumber(const QString& text);

// Why a typed text cannot be stored in the domain: its message when the
// text is not a number, is out of range or has more decimals than the
// domain takes (unless the domain rounds them away). Empty for a blank text,
// which is the screen's business (some fields may stay empty, others have a
// message of their own).
QString numberRefusal(const dataset::Domain& domain, const QString& text);
// The typed value as it is stored: rounded to the domain's decimals.
// Nothing for a blank or refused text.
std::optional<double> domainValue(const dataset::Domain& domain, const QString& text);
// A value as the field shows it: the domain's decimals, the locale's point.
QString shownNumber(const dataset::Domain& domain, double value);

// A line edit for a number of a domain. Characters that are never part of a
// number are not taken (typed or pasted); a point or comma types the
// locale's decimal point, also in a whole-number field, where it is then
// refused instead of silently dropped ("12.5" never becomes 125). What is
// out of the domain stays as typed; a number out of range is reported when
// the user leaves the field, and the screen refuses to save either.
class NumberField : public QLineEdit {
    Q_OBJECT
public:
    explicit NumberField(const dataset::Domain& domain, QWidget* parent = nullptr);

    const dataset::Domain& domain() const { return domain_; }
    // A domain that follows another choice of the screen (money or goods).
    void setDomain(const dataset::Domain& domain);

    bool isBlank() const { return text().trimmed().isEmpty(); }
    // The message for what is typed; empty when it may be stored (or is blank).
    QString refusal() const { return numberRefusal(domain_, text()); }
    // The value typed, as stored; nothing when blank or refused.
    std::optional<double> value() const { return domainValue(domain_, text()); }
    // Shows a value (nothing: blank). Not reported as an edit.
    void setValue(std::optional<double> value);

signals:
    // The user left the field holding what the domain refuses.
    void refusedOnLeaving(const QString& message);

protected:
    void focusOutEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    dataset::Domain domain_;
};

class Prompter;

// For a hand-built dialog's save: when the field holds what its domain
// refuses, the focus goes to it and its message is shown; true then.
bool numberRefused(NumberField* field, Prompter& prompter);

// A number field over a dataset's number field: shows the field of the
// current or edited row and writes what the user types. A blank writes NULL;
// a refused text writes nothing, and the screen's save refuses it.
class NumberFieldBinder : public dataset::FieldBinder {
    Q_OBJECT
public:
    NumberFieldBinder(NumberField* edit, dataset::Dataset& dataset, const QString& field);

private:
    void show() override;
    NumberField* edit_;
};
