#include "registers/tfdognomer.h"

#include "dm/domains.h"
#include "dm/tdm.h"
#include "registers/contract_rules.h"

#include <QLineEdit>

TFDogNomer::TFDogNomer(TDM& dm, Prompter& prompter, const QString& proposal, QWidget* parent)
    : NumberDialog(prompter, dm.TDogovor,
                   {.name = QStringLiteral("TFDogNomer"),
                    .caption = QStringLiteral("Въведете номер на договор"),
                    .label = QStringLiteral("Договор №:"),
                    .emptyMessage = QStringLiteral("Въведете номер на договор"),
                    .existsMessage = QStringLiteral("Договор с такъв номер съществува!"),
                    .length = contract::kNumberLength,
                    .domain = dm::domain(QStringLiteral("DOG DANNI"), QStringLiteral("NOMER"))},
                   parent),
      dm_(dm)
{
    numberEdit()->setText(proposal);
}

bool TFDogNomer::findRow(const QString& number)
{
    dm_.IBTDog.ensureStarted();
    return dm_.TDogovor.locateFresh(QStringLiteral("NOMER"), number);
}

void TFDogNomer::makeRow(const QString& number)
{
    const bool firm = dm_.TFirma.isOpen() && !dm_.TFirma.isEmpty();
    const fb::Value idFirma = firm ? dm_.TFirma.field(QStringLiteral("ID_FIRMA")).value() : fb::Value();
    dm_.TDogovor.append();
    dm_.TDogovor.field(QStringLiteral("NOMER")).setValue(number);
    dm_.TDogovor.field(QStringLiteral("ID_FIRMA")).setValue(idFirma);
    dm_.TDogovor.post();  // the insert gives its id
}

void TFDogNomer::undo()
{
    dm_.IBTDog.rollback();
    dm_.reopenContractCursors();
}
