#include "workbook/workbook.h"

#include "workbook/range.h"
#include "workbook/workbook_error.h"

#include <QFileInfo>

#include <algorithm>
#include <cctype>
#include <limits>

namespace transfers {

namespace {

const char* const kRelBase = "http://schemas.openxmlformats.org/officeDocument/2006/relationships/";
const char* const kWorksheetType = "application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml";
const char* const kEmptySheet =
    R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)"
    R"(<worksheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" )"
    R"(xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships"><sheetData/></worksheet>)";

// The parts of a new workbook before its sheet, styles and texts are added.
const char* const kNewContentTypes =
    R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)"
    R"(<Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types">)"
    R"(<Default Extension="rels" ContentType="application/vnd.openxmlformats-package.relationships+xml"/>)"
    R"(<Default Extension="xml" ContentType="application/xml"/>)"
    R"(<Override PartName="/xl/workbook.xml" )"
    R"(ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml"/></Types>)";
const char* const kNewRootRels =
    R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)"
    R"(<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">)"
    R"(<Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument" )"
    R"(Target="xl/workbook.xml"/></Relationships>)";
const char* const kNewWorkbook = R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)"
                                 R"(<workbook xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" )"
                                 R"(xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships">)"
                                 R"(<bookViews><workbookView activeTab="0"/></bookViews><sheets/></workbook>)";
const char* const kNewWorkbookRels =
    R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)"
    R"(<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships"/>)";

bool endsWith(const char* text, const char* suffix)
{
    const std::string_view t(text), s(suffix);
    return t.size() >= s.size() && t.substr(t.size() - s.size()) == s;
}

QString folderOf(const QString& part)
{
    return part.left(part.lastIndexOf(u'/') + 1);
}

// A relationship's target as a part name: absolute ("/xl/x.xml") or
// relative to the folder of the part the relationships belong to.
QString resolve(const QString& folder, const QString& target)
{
    if (target.startsWith(u'/'))
        return target.mid(1);
    QStringList parts = folder.split(u'/', Qt::SkipEmptyParts);
    for (const QString& p : target.split(u'/', Qt::SkipEmptyParts)) {
        if (p == QLatin1String(".."))
            parts.removeLast();
        else if (p != QLatin1String("."))
            parts.append(p);
    }
    return parts.join(u'/');
}

// The relationship id of a <sheet>: its r:id, whatever the prefix is.
pugi::xml_attribute relationshipId(pugi::xml_node sheet)
{
    for (pugi::xml_attribute a : sheet.attributes())
        if (endsWith(a.name(), ":id"))
            return a;
    return {};
}

// The rows a sheet's part has or says it has, without parsing it: the
// last row of its declared dimension, the number of its last row and how
// many rows it writes.
int rowsOf(const QByteArray& part)
{
    const auto numberAfter = [&part](qsizetype at) {
        qsizetype end = at;
        while (end < part.size() && end - at < 9 && std::isdigit(static_cast<unsigned char>(part[end])))
            ++end;
        return part.mid(at, end - at).toInt();
    };
    int rows = int(std::min<qsizetype>(part.count("<row "), std::numeric_limits<int>::max()));
    const qsizetype dimension = part.indexOf("<dimension ref=\"");
    if (dimension >= 0) {
        const qsizetype end = part.indexOf('"', dimension + 16);
        qsizetype at = end - 1;
        while (at > dimension && std::isdigit(static_cast<unsigned char>(part[at])))
            --at;
        rows = std::max(rows, numberAfter(at + 1));
    }
    const qsizetype last = part.lastIndexOf("<row ");
    if (last >= 0) {
        const qsizetype r = part.indexOf(" r=\"", last);
        if (r >= 0 && r < last + 64)
            rows = std::max(rows, numberAfter(r + 4));
    }
    return rows;
}

}  // namespace

Workbook::Workbook(Package package, QString path, int maxRows)
    : package_(std::move(package)), path_(std::move(path)), maxRows_(maxRows)
{
    load();
}

Workbook::~Workbook() = default;

std::unique_ptr<Workbook> Workbook::open(const QString& path)
{
    std::unique_ptr<Workbook> book(new Workbook(Package::read(path), path));
    if (book->worksheetCount() == 0)
        throw WorkbookError(QStringLiteral("Работната книга няма нито един лист"));
    return book;
}

std::unique_ptr<Workbook> Workbook::open(const QString& path, int maxRows)
{
    std::unique_ptr<Workbook> book(new Workbook(Package::read(path), path, maxRows));
    if (book->worksheetCount() == 0)
        throw WorkbookError(QStringLiteral("Работната книга няма нито един лист"));
    return book;
}

std::unique_ptr<Workbook> Workbook::create()
{
    Package package;
    package.setPart(QStringLiteral("[Content_Types].xml"), kNewContentTypes);
    package.setPart(QStringLiteral("_rels/.rels"), kNewRootRels);
    package.setPart(QStringLiteral("xl/workbook.xml"), kNewWorkbook);
    package.setPart(QStringLiteral("xl/_rels/workbook.xml.rels"), kNewWorkbookRels);
    std::unique_ptr<Workbook> book(new Workbook(std::move(package), QString()));
    book->addWorksheet(QStringLiteral("Лист1"));
    return book;
}

void Workbook::load()
{
    contentTypes_ =
        xml::parse(package_.part(QStringLiteral("[Content_Types].xml")), QStringLiteral("[Content_Types].xml"));
    const xml::Document rootRels =
        xml::parse(package_.part(QStringLiteral("_rels/.rels")), QStringLiteral("_rels/.rels"));
    for (pugi::xml_node rel : rootRels->child("Relationships").children("Relationship"))
        if (endsWith(rel.attribute("Type").value(), "/officeDocument"))
            workbookPart_ = resolve(QString(), xml::attribute(rel, "Target"));
    if (workbookPart_.isEmpty() || !package_.contains(workbookPart_))
        throw WorkbookError(QStringLiteral("Файлът не е работна книга: в него няма книга с листове"));
    workbookDoc_ = xml::parse(package_.part(workbookPart_), workbookPart_);
    if (!workbookDoc_->child("workbook"))
        throw WorkbookError(QStringLiteral("Файлът не е работна книга: в него няма книга с листове"));
    relsDoc_ = package_.contains(relsPart()) ? xml::parse(package_.part(relsPart()), relsPart())
                                             : xml::parse(kNewWorkbookRels);
    for (pugi::xml_node rel : relsDoc_->child("Relationships").children("Relationship")) {
        const QString target = resolve(folderOf(workbookPart_), xml::attribute(rel, "Target"));
        if (endsWith(rel.attribute("Type").value(), "/styles"))
            stylesPart_ = target;
        else if (endsWith(rel.attribute("Type").value(), "/sharedStrings"))
            sharedStringsPart_ = target;
    }
    ensurePart(stylesPart_, "styles", QStringLiteral("styles.xml"),
               "application/vnd.openxmlformats-officedocument.spreadsheetml.styles+xml", Styles().save());
    ensurePart(sharedStringsPart_, "sharedStrings", QStringLiteral("sharedStrings.xml"),
               "application/vnd.openxmlformats-officedocument.spreadsheetml.sharedStrings+xml", SharedStrings().save());
    styles_ = std::make_unique<Styles>(package_.part(stylesPart_), stylesPart_);
    sharedStrings_ = std::make_unique<SharedStrings>(package_.part(sharedStringsPart_), sharedStringsPart_);
    activePosition_ =
        workbookDoc_->child("workbook").child("bookViews").child("workbookView").attribute("activeTab").as_int();
    loadSheets();
}

QString Workbook::relsPart() const
{
    return folderOf(workbookPart_) + QStringLiteral("_rels/") + workbookPart_.mid(workbookPart_.lastIndexOf(u'/') + 1) +
           QStringLiteral(".rels");
}

void Workbook::ensurePart(QString& part, const char* relType, const QString& name, const char* contentType,
                          const QByteArray& bytes)
{
    if (!part.isEmpty() && package_.contains(part))
        return;
    part = folderOf(workbookPart_) + name;
    package_.setPart(part, bytes);
    addRelationship(relType, part);
    addContentType(part, contentType);
}

QString Workbook::addRelationship(const char* type, const QString& part)
{
    pugi::xml_node rels = relsDoc_->child("Relationships");
    QString id;
    for (int n = 1; id.isEmpty(); ++n) {
        const QString candidate = QStringLiteral("rId%1").arg(n);
        if (!rels.find_child_by_attribute("Relationship", "Id", candidate.toUtf8().constData()))
            id = candidate;
    }
    pugi::xml_node rel = rels.append_child("Relationship");
    xml::setAttribute(rel, "Id", id);
    xml::setAttribute(rel, "Type", (QString::fromLatin1(kRelBase) + QString::fromLatin1(type)));
    xml::setAttribute(rel, "Target", part.mid(folderOf(workbookPart_).size()));
    return id;
}

void Workbook::addContentType(const QString& part, const char* type)
{
    pugi::xml_node o = contentTypes_->child("Types").append_child("Override");
    xml::setAttribute(o, "PartName", u'/' + part);
    xml::setAttribute(o, "ContentType", type);
}

void Workbook::loadSheets()
{
    int position = 0;
    for (pugi::xml_node s : workbookDoc_->child("workbook").child("sheets").children("sheet")) {
        const pugi::xml_node rel =
            relsDoc_->child("Relationships").find_child_by_attribute("Relationship", "Id", relationshipId(s).value());
        // Chart and dialog sheets keep their place among the sheets but are no worksheets.
        if (rel && endsWith(rel.attribute("Type").value(), "/worksheet")) {
            const QString part = resolve(folderOf(workbookPart_), xml::attribute(rel, "Target"));
            if (maxRows_ > 0 && rowsOf(package_.part(part)) > maxRows_)
                throw TooManyRowsError(QStringLiteral("Лист „%1“ има повече от %2 реда и не се чете")
                                           .arg(xml::attribute(s, "name"))
                                           .arg(maxRows_));
            sheets_.push_back(std::make_unique<Worksheet>(*this, xml::attribute(s, "name"), part, position,
                                                          xml::parse(package_.part(part), part)));
        }
        ++position;
    }
}

Worksheet& Workbook::worksheet(int number)
{
    if (number < 1 || number > worksheetCount())
        throw WorkbookError(QStringLiteral("Работната книга няма лист № %1").arg(number));
    return *sheets_[size_t(number - 1)];
}

Worksheet& Workbook::worksheet(const QString& name)
{
    if (Worksheet* s = findWorksheet(name))
        return *s;
    throw WorkbookError(QStringLiteral("В работната книга няма лист \"%1\"").arg(name));
}

Worksheet* Workbook::findWorksheet(const QString& name)
{
    for (const auto& s : sheets_)
        if (s->name().compare(name, Qt::CaseInsensitive) == 0)
            return s.get();
    return nullptr;
}

QStringList Workbook::worksheetNames() const
{
    QStringList names;
    for (const auto& s : sheets_)
        names.append(s->name());
    return names;
}

void Workbook::checkNewSheetName(const QString& name, const Worksheet* renamed) const
{
    static const QString forbidden = QStringLiteral(":\\/?*[]");
    const bool badChar = std::any_of(name.begin(), name.end(), [](QChar c) { return forbidden.contains(c); });
    if (name.isEmpty() || name.size() > 31 || badChar || name.startsWith(u'\'') || name.endsWith(u'\''))
        throw WorkbookError(QStringLiteral("\"%1\" не е допустимо име на лист").arg(name));
    for (const auto& s : sheets_)
        if (s.get() != renamed && s->name().compare(name, Qt::CaseInsensitive) == 0)
            throw WorkbookError(QStringLiteral("В работната книга вече има лист \"%1\"").arg(name));
}

Worksheet& Workbook::addWorksheet(const QString& name)
{
    checkNewSheetName(name, nullptr);
    QString part;
    for (int n = 1; part.isEmpty() || package_.contains(part); ++n)
        part = folderOf(workbookPart_) + QStringLiteral("worksheets/sheet%1.xml").arg(n);
    package_.setPart(part, kEmptySheet);
    addContentType(part, kWorksheetType);
    const QString id = addRelationship("worksheet", part);

    pugi::xml_node root = workbookDoc_->child("workbook");
    if (!root.attribute("xmlns:r"))
        xml::setAttribute(root, "xmlns:r", (QString::fromLatin1(kRelBase).chopped(1)));
    pugi::xml_node list = xml::childInOrder(root, "sheets", xml::kWorkbookOrder);
    int maxId = 0;
    int position = 0;
    for (pugi::xml_node s : list.children("sheet")) {
        maxId = std::max(maxId, s.attribute("sheetId").as_int());
        ++position;
    }
    pugi::xml_node s = list.append_child("sheet");
    xml::setAttribute(s, "name", name);
    xml::setAttribute(s, "sheetId", qint64(maxId + 1));
    xml::setAttribute(s, "r:id", id);
    sheets_.push_back(std::make_unique<Worksheet>(*this, name, part, position, xml::parse(kEmptySheet)));
    return *sheets_.back();
}

Worksheet& Workbook::activeSheet()
{
    for (const auto& s : sheets_)
        if (isActive(*s))
            return *s;
    return *sheets_.front();
}

bool Workbook::isProtected() const
{
    const pugi::xml_node p = workbookDoc_->child("workbook").child("workbookProtection");
    return p && (p.attribute("lockStructure").as_bool() || p.attribute("lockWindows").as_bool());
}

void Workbook::protect()
{
    pugi::xml_node p = xml::childInOrder(workbookDoc_->child("workbook"), "workbookProtection", xml::kWorkbookOrder);
    xml::setAttribute(p, "lockStructure", "1");
}

void Workbook::unprotect()
{
    pugi::xml_node root = workbookDoc_->child("workbook");
    const pugi::xml_node p = root.child("workbookProtection");
    if (!p)
        return;
    if (p.attribute("workbookPassword") || p.attribute("workbookHashValue"))
        throw WorkbookError(QStringLiteral("Работната книга е защитена с парола"));
    root.remove_child(p);
}

pugi::xml_node Workbook::sheetName(const QString& name, int position, bool make)
{
    pugi::xml_node root = workbookDoc_->child("workbook");
    for (pugi::xml_node n : root.child("definedNames").children("definedName")) {
        const pugi::xml_attribute scope = n.attribute("localSheetId");
        if (scope && scope.as_int() == position && xml::attribute(n, "name").compare(name, Qt::CaseInsensitive) == 0)
            return n;
    }
    if (!make)
        return {};
    pugi::xml_node n = xml::childInOrder(root, "definedNames", xml::kWorkbookOrder).append_child("definedName");
    xml::setAttribute(n, "name", name);
    xml::setAttribute(n, "localSheetId", qint64(position));
    return n;
}

void Workbook::run(const QString& macro)
{
    macros_.find(macro, fileName())(*this);
}

QString Workbook::fileName() const
{
    return QFileInfo(path_).fileName();
}

void Workbook::save()
{
    if (path_.isEmpty())
        throw WorkbookError(QStringLiteral("Работната книга още няма файл; запишете я под име"));
    saveAs(path_);
}

void Workbook::saveAs(const QString& path)
{
    for (const auto& s : sheets_)
        package_.setPart(s->partName(), s->save());
    package_.setPart(stylesPart_, styles_->save());
    package_.setPart(sharedStringsPart_, sharedStrings_->save());
    removeCalcChain();
    package_.setPart(workbookPart_, saveWorkbookPart());
    package_.setPart(relsPart(), xml::bytes(*relsDoc_));
    package_.setPart(QStringLiteral("[Content_Types].xml"), xml::bytes(*contentTypes_));
    package_.write(path);
    path_ = path;
}

// The order in which formulas were last calculated is only a cache, and a
// stale one once cells change: the spreadsheet rebuilds it without.
void Workbook::removeCalcChain()
{
    pugi::xml_node rels = relsDoc_->child("Relationships");
    for (pugi::xml_node rel = rels.first_child(); rel;) {
        const pugi::xml_node next = rel.next_sibling();
        if (endsWith(rel.attribute("Type").value(), "/calcChain")) {
            const QString part = resolve(folderOf(workbookPart_), xml::attribute(rel, "Target"));
            package_.removePart(part);
            contentTypes_->child("Types").remove_child(contentTypes_->child("Types").find_child_by_attribute(
                "Override", "PartName", (u'/' + part).toUtf8().constData()));
            rels.remove_child(rel);
        }
        rel = next;
    }
}

QByteArray Workbook::saveWorkbookPart()
{
    pugi::xml_node root = workbookDoc_->child("workbook");
    std::vector<pugi::xml_node> entries;
    for (pugi::xml_node s : root.child("sheets").children("sheet"))
        entries.push_back(s);
    for (const auto& s : sheets_)
        xml::setAttribute(entries.at(size_t(s->position())), "name", s->name());
    pugi::xml_node view = xml::childInOrder(root, "bookViews", xml::kWorkbookOrder).child("workbookView");
    if (!view)
        view = root.child("bookViews").append_child("workbookView");
    xml::setAttribute(view, "activeTab", qint64(activePosition_));
    // Formulas of a template may depend on what was written: recalculate on opening.
    xml::setAttribute(xml::childInOrder(root, "calcPr", xml::kWorkbookOrder), "fullCalcOnLoad", "1");
    return xml::bytes(*workbookDoc_);
}

}  // namespace transfers
