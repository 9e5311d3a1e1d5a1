#include "registers/tfnomerimot.h"

#include "common/input_helpers.h"
#include "common/prompter.h"
#include "common/small_dialog.h"
#include "dm/tdm.h"
#include "fb/error.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

TFNomerImot::TFNomerImot(TDM& dm, Prompter& prompter, QWidget* parent) : QDialog(parent), dm_(dm), prompter_(prompter)
{
    setUpSmallDialog(this, QStringLiteral("TFNomerImot"), QStringLiteral("Въведете номер на имот"));
    edNomer = new QLineEdit(this);
    edNomer->setObjectName(QStringLiteral("edNomer"));
    setDigitsOnly(edNomer);
    edNomer->setMaxLength(10);
    auto* label = new QLabel(QStringLiteral("Имот №:"), this);
    label->setBuddy(edNomer);
    auto* row = new QHBoxLayout;
    row->addWidget(label);
    row->addWidget(edNomer);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addLayout(saveCancelRow(this, [this] { save(); }));
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void TFNomerImot::save()
{
    const QString number = edNomer->text();
    if (number.isEmpty()) {
        prompter_.message(QStringLiteral("Въведете номер на имот"));
        return;
    }
    dataset::Dataset& plots = dm_.TZemq;
    try {
        // The same number may stand in another locality; TZemq holds this one's plots.
        if (plots.locate(QStringLiteral("IMOT_NO"), number)) {
            prompter_.message(QStringLiteral("Имотът съществува!"));
        } else {
            plots.append();  // the locality comes from TMestnost
            plots.field(QStringLiteral("IMOT_NO")).setValue(number);
            plots.post();  // uncommitted: the editor's "Отказ" takes it back
        }
        plots.edit();
    } catch (const fb::Error& e) {
        prompter_.message(e.message());
        return;
    }
    accept();
}

void TFNomerImot::reject()
{
    try {
        dm_.TZemq.cancel();
        dm_.IBTImot.rollback();
        dm_.reopenPlotCursors();
    } catch (const fb::Error& e) {
        prompter_.message(e.message());
    }
    QDialog::reject();
}
