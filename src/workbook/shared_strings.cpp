#include "workbook/shared_strings.h"

#include "workbook/workbook_error.h"

namespace transfers {

namespace {

const char* const kEmptyTable =
    R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)"
    R"(<sst xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" uniqueCount="0"/>)";

// The text of a string item: its <t>, or the <t> of each of its runs.
// Phonetic runs (<rPh>) are readings, not part of the text.
QString itemText(pugi::xml_node si)
{
    if (pugi::xml_node t = si.child("t"))
        return xml::unescapeText(xml::text(t));
    QString s;
    for (pugi::xml_node r : si.children("r"))
        s += xml::text(r.child("t"));
    return xml::unescapeText(s);
}

}  // namespace

SharedStrings::SharedStrings() : doc_(xml::parse(kEmptyTable)), sst_(doc_->child("sst"))
{
}

SharedStrings::SharedStrings(const QByteArray& part, const QString& partName)
    : doc_(xml::parse(part, partName)), sst_(doc_->child("sst"))
{
    if (!sst_)
        throw WorkbookError(QStringLiteral("Частта \"%1\" на работната книга е повредена").arg(partName));
    for (pugi::xml_node si : sst_.children("si"))
        index(si);
}

void SharedStrings::index(pugi::xml_node si)
{
    const int i = int(texts_.size());
    texts_.push_back(itemText(si));
    if (si.child("t") && !plainEntries_.contains(texts_.back()))
        plainEntries_.insert(texts_.back(), i);
}

const QString& SharedStrings::at(int index) const
{
    if (index < 0 || size_t(index) >= texts_.size())
        throw WorkbookError(QStringLiteral("Клетка сочи несъществуващ текст № %1").arg(index));
    return texts_[size_t(index)];
}

int SharedStrings::add(const QString& text)
{
    if (const auto it = plainEntries_.constFind(text); it != plainEntries_.cend())
        return *it;
    pugi::xml_node si = sst_.append_child("si");
    xml::setText(si.append_child("t"), text);
    index(si);
    return int(texts_.size()) - 1;
}

QByteArray SharedStrings::save() const
{
    // The total of references is optional and would go stale as cells
    // change; the number of entries is kept right.
    pugi::xml_node sst = sst_;
    sst.remove_attribute("count");
    xml::setAttribute(sst, "uniqueCount", qint64(texts_.size()));
    return xml::bytes(*doc_);
}

}  // namespace transfers
