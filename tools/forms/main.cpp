// arventa-forms [FOLDER]: writes the template workbooks of the forms the
// exports fill, the empty survey database and the workbook of an empty
// register, into FOLDER (forms/ of the source tree by default), from their
// descriptions in the program. Run it after changing a description and
// commit what it wrote.
#include "transfers/income_declaration_form.h"
#include "transfers/register_export.h"
#include "transfers/survey_card_form.h"
#include "transfers/survey_database.h"
#include "workbook/workbook_error.h"

#include <QCoreApplication>
#include <QDir>

#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() > 2) {
        std::fputs("usage: arventa-forms [FOLDER]\n", stderr);
        return 2;
    }
    const QDir folder(args.size() == 2 ? args[1] : QStringLiteral(ARVENTA_FORMS_DIR));
    try {
        const QString path = folder.filePath(transfers::income_declaration::kFileName);
        transfers::income_declaration::buildTemplate()->saveAs(path);
        std::printf("%s\n", qPrintable(QDir::toNativeSeparators(path)));
        const QString card = folder.filePath(transfers::survey_card::kFormFileName);
        transfers::survey_card::buildTemplate()->saveAs(card);
        std::printf("%s\n", qPrintable(QDir::toNativeSeparators(card)));
        const QString survey = folder.filePath(transfers::survey_database::kFileName);
        transfers::survey_database::createEmpty(survey);
        std::printf("%s\n", qPrintable(QDir::toNativeSeparators(survey)));
        const QString blank = folder.filePath(transfers::register_export::kBlankFileName);
        transfers::register_export::writeBlank(blank);
        std::printf("%s\n", qPrintable(QDir::toNativeSeparators(blank)));
    } catch (const transfers::WorkbookError& e) {
        std::fprintf(stderr, "arventa-forms: %s\n", e.what());
        return 1;
    } catch (const transfers::survey_database::SurveyDatabaseError& e) {
        std::fprintf(stderr, "arventa-forms: %s\n", qPrintable(e.message()));
        return 1;
    }
    return 0;
}
