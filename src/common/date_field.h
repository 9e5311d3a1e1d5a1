#pragma once

#include "dataset/binders.h"

#include <QDate>
#include <QLineEdit>
#include <QPointer>

class QCalendarWidget;
class QToolButton;

// A date typed as plain text: day, month and year, four digits of year
// ("06102024", eight digits without separators, is 06.10.2024 as well),
// with the locale's date separator ("." in Bulgarian); "/" and "-" are taken
// as well, typed or pasted, so "01.10.2024", "1.10.2024" and "01/10/2024"
// all mean 1 October 2024. The order is always day, month, year, as the
// program writes dates everywhere. An invalid date when the text holds no
// real date.
QDate typedDate(const QString& text, const QLocale& locale = QLocale());

// A date as the field shows it: dd.MM.yyyy with the locale's separator;
// blank for an invalid date.
QString shownDate(const QDate& date, const QLocale& locale = QLocale());

// A date field: a line edit (the text is whatever the user typed, nothing
// jumps between sections) with a calendar button beside it. Blank means no
// date. A text that is not a real date ("31.02.2024") stays as typed, is
// never turned into another date, and is reported when the user leaves the
// field; a real one is written back as dd.MM.yyyy then.
//
// The button is named after the field (objectName + "Calendar") and takes
// no focus, so Tab goes from field to field; Alt+Down and F4 open the
// calendar from the keyboard.
class DateField : public QLineEdit {
    Q_OBJECT
public:
    explicit DateField(QWidget* parent = nullptr);

    // Invalid when blank or when the text is not a real date.
    QDate date() const;
    // An invalid date blanks the field. Not reported as an edit.
    void setDate(const QDate& date);
    bool isBlank() const;
    // Something is typed, and it is not a real date.
    bool holdsImpossibleDate() const;

    QToolButton* calendarButton() const { return button_; }
    // Opens the calendar below the field, at its date or at today.
    void showCalendar();

    static QString impossibleDateMessage();

signals:
    // The user typed or picked a real date, or emptied the field (an invalid date).
    void dateEdited(const QDate& date);
    // The user left the field holding a text that is not a real date.
    void impossibleDate(const QString& text);

protected:
    void focusOutEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void typed(const QString& text);
    void picked(const QDate& date);
    void placeButton();

    QToolButton* button_;
    QPointer<QCalendarWidget> calendar_;
};

class Prompter;

// For a save: when a date field inside `container` holds a day that does
// not exist, the focus goes to it and "Невалидна дата!" is shown; true then.
bool refuseImpossibleDate(QWidget* container, Prompter& prompter);

// A date field over a dataset's date field, with the habits of
// dataset::FieldBinder: it shows the field of the current or edited row and
// writes what the user changes. A blank writes NULL; a text that is not a
// real date writes nothing (the field keeps it, and reports it on leaving).
class DateFieldBinder : public dataset::FieldBinder {
    Q_OBJECT
public:
    DateFieldBinder(DateField* edit, dataset::Dataset& dataset, const QString& field);

private:
    void show() override;
    DateField* edit_;
};
