#include "registers/tfnomerimot.h"

#include "dm/tdm.h"

TFNomerImot::TFNomerImot(TDM& dm, Prompter& prompter, QWidget* parent)
    : NumberDialog(prompter, dm.TZemq,
                   {.name = QStringLiteral("TFNomerImot"),
                    .caption = QStringLiteral("Въведете номер на имот"),
                    .label = QStringLiteral("Имот №:"),
                    .emptyMessage = QStringLiteral("Въведете номер на имот"),
                    .existsMessage = QStringLiteral("Имотът съществува!"),
                    .length = 10},
                   parent),
      dm_(dm)
{
}

// The same number may stand in another locality; TZemq holds this one's plots.
bool TFNomerImot::findRow(const QString& number)
{
    return dm_.TZemq.locate(QStringLiteral("IMOT_NO"), number);
}

void TFNomerImot::makeRow(const QString& number)
{
    dm_.TZemq.append();  // the locality comes from TMestnost
    dm_.TZemq.field(QStringLiteral("IMOT_NO")).setValue(number);
    dm_.TZemq.post();
}

void TFNomerImot::undo()
{
    dm_.IBTImot.rollback();
    dm_.reopenPlotCursors();
}
