#include "workbook/macro_table.h"

#include "workbook/workbook_error.h"

namespace transfers {

namespace {

QString unquoted(QString s)
{
    if (s.size() >= 2 && s.startsWith(u'\'') && s.endsWith(u'\''))
        s = s.mid(1, s.size() - 2);
    return s;
}

QString procedureOf(const QString& name)
{
    return name.mid(name.lastIndexOf(u'.') + 1);
}

}  // namespace

void MacroTable::add(const QString& name, Macro macro)
{
    std::erase_if(macros_, [&](const auto& m) { return m.first.compare(name, Qt::CaseInsensitive) == 0; });
    macros_.emplace_back(name, std::move(macro));
}

const MacroTable::Macro& MacroTable::find(const QString& name, const QString& fileName) const
{
    QString procedure = name;
    if (const qsizetype bang = name.lastIndexOf(u'!'); bang >= 0) {
        const QString book = unquoted(name.left(bang));
        if (book.compare(fileName, Qt::CaseInsensitive) != 0)
            throw WorkbookError(
                QStringLiteral("Макросът \"%1\" е от друга работна книга, а не от \"%2\"").arg(name, fileName));
        procedure = name.mid(bang + 1);
    }
    const Macro* found = nullptr;
    int byProcedure = 0;
    for (const auto& [n, m] : macros_) {
        if (n.compare(procedure, Qt::CaseInsensitive) == 0)
            return m;
        if (!procedure.contains(u'.') && procedureOf(n).compare(procedure, Qt::CaseInsensitive) == 0) {
            found = &m;
            ++byProcedure;
        }
    }
    if (byProcedure == 1)
        return *found;
    throw WorkbookError(QStringLiteral("Макросът \"%1\" не е намерен в работната книга \"%2\"").arg(name, fileName));
}

}  // namespace transfers
