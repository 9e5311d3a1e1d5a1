#pragma once

#include <QString>

#include <functional>

class QDialog;
class QHBoxLayout;

// The program's small modal dialogs (a plot number, a category, a cadastral
// area): a fixed border and no close box, as they end only by their own
// buttons; named so that tests find them.
void setUpSmallDialog(QDialog* dialog, const QString& name, const QString& caption);

// Their "Запис" (bitZapis, pressed by Enter) and "Отказ" (bitOtkaz, which
// rejects the dialog), right-aligned in a row; "Запис" runs `save`.
QHBoxLayout* saveCancelRow(QDialog* dialog, const std::function<void()>& save);
