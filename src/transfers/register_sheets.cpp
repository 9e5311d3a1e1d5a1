#include "transfers/register_sheets.h"

#include "dataset/usage_error.h"
#include "dm/domains.h"
#include "dm/tables.h"

#include <QLocale>

#include <algorithm>

namespace transfers::register_sheets {

namespace {

Column text(const char* heading, const char* table, const char* field, const char* explanation)
{
    return {QString::fromUtf8(heading),    QLatin1String(table), QLatin1String(field), Kind::Text, Role::Value, {}, {},
            QString::fromUtf8(explanation)};
}
Column code(const char* heading, const char* table, const char* field, const char* explanation)
{
    Column c = text(heading, table, field, explanation);
    c.kind = Kind::Identifier;
    return c;
}
Column number(const char* heading, const char* table, const char* field, const char* explanation)
{
    Column c = text(heading, table, field, explanation);
    c.kind = Kind::Number;
    return c;
}
Column date(const char* heading, const char* table, const char* field, const char* explanation)
{
    Column c = text(heading, table, field, explanation);
    c.kind = Kind::Date;
    return c;
}
Column key(Column c)
{
    c.role = Role::Key;
    return c;
}
// A value kept in another table, reached through `via` of the sheet's table.
Column through(Column c, const char* via, const char* refers = "")
{
    c.via = QLatin1String(via);
    c.refers = QString::fromUtf8(refers);
    return c;
}
Column info(Column c)
{
    c.role = Role::Info;
    return c;
}

const char* const kOwners = "Собственици";
const char* const kAreas = "Землища";
const char* const kLocalities = "Местности";
const char* const kPlots = "Имоти";
const char* const kShares = "Дялове";
const char* const kContracts = "Договори";
const char* const kRules = "Правила за рента";

// The owner's identifier, as every sheet that names an owner has it.
Column ownerKey(const char* via, const char* refers)
{
    return key(through(code("ЕГН/ЕИК/ЛНЧ", "HORA", "EGN", "Идентификаторът на собственика от лист „Собственици“."), via,
                       refers));
}

// The plot's key, as every sheet that names a plot has it.
std::vector<Column> plotKey(const char* via, const char* refers)
{
    return {key(through(code("ЕКАТТЕ", "ZEMLISHTE", "EKATTE", "Кодът по ЕКАТТЕ на землището, в което е имотът."), via,
                        refers)),
            key(through(text("Местност", "MESTNOST", "NAIM_MESTN", "Местността в землището, в която е имотът."), via,
                        refers)),
            key(through(code("Имот №", "ZEMQ", "IMOT_NO", "Номерът на имота в местността."), via, refers))};
}

Sheet owners()
{
    return {
        kOwners,
        "HORA",
        "Собствениците на земя: граждани, чужденци и фирми, по един ред на собственик.",
        {key(code("ЕГН/ЕИК/ЛНЧ", "HORA", "EGN",
                  "ЕГН на гражданин, ЛНЧ на чужденец (по 10 цифри) или ЕИК на фирма (9 или 13 цифри); "
                  "по него собственикът се посочва в другите листове.")),
         text("Име/Наименование", "HORA", "IME", "Името на лицето или наименованието на фирмата."),
         text("Адрес", "HORA", "ADRES", "Адресът на собственика."),
         text("Телефон", "HORA", "TEL", "Телефонът на собственика."),
         code("ЕКАТТЕ на адреса", "HORA", "EKATTE", "Кодът по ЕКАТТЕ на населеното място от адреса."),
         text("Представляван/-а от", "HORA", "PREDST", "Лицето, което представлява собственика."),
         text("Банка", "HORA", "BANK", "Банката на собственика."),
         code("IBAN", "HORA", "IBAN", "Банковата сметка на собственика."),
         code("BIC", "HORA", "BIC", "Банковият код на банката."),
         code("Държава", "HORA", "KOD_COUNTRY", "Двубуквеният код на държавата; „BG“ за всеки, който не е чужденец."),
         text("Чуждестранно лице", "HORA", "CHFL", "„да“ за чуждестранно лице, „не“ за всички останали.")}};
}

Sheet areas()
{
    return {
        kAreas,
        "ZEMLISHTE",
        "Землищата, в които фирмата обработва земя, по едно на населено място.",
        {key(code("ЕКАТТЕ", "ZEMLISHTE", "EKATTE", "Кодът по ЕКАТТЕ на населеното място на землището.")),
         info(through(text("Землище", "NAS_MQSTO", "NAIM_NM", "Името на населеното място, за справка."), "EKATTE"))}};
}

Sheet localities()
{
    return {kLocalities,
            "MESTNOST",
            "Местностите, на които са разделени землищата.",
            {key(through(code("ЕКАТТЕ", "ZEMLISHTE", "EKATTE", "Землището от лист „Землища“, в което е местността."),
                         "ID_ZEML", kAreas)),
             key(text("Местност", "MESTNOST", "NAIM_MESTN", "Името на местността."))}};
}

Sheet plots()
{
    std::vector<Column> columns = plotKey("ID_MEST", kLocalities);
    columns.back().via.clear();  // the number is the plot's own
    columns.back().refers.clear();
    const std::vector<Column> values = {
        code("Имот № 2", "ZEMQ", "IMOT_NO2", "Вторият (новият) номер на имота във вида 12345.678.901."),
        number("Площ", "ZEMQ", "PLOSHT", "Площта на имота в декари: сборът от площите по категории."),
        number("Приравнена площ", "ZEMQ", "PRPLOSHT",
               "Площта по категории, умножена по коефициентите на категориите, в декари."),
        through(text("Засята култура", "KULTURA", "NAIM_KULT", "Засятата култура по списъка на културите."), "ID_KULT"),
        through(text("Начин на трайно ползване", "NTP", "NAIM_NTP", "Начинът на трайно ползване по номенклатурата."),
                "ID_NTP"),
        number("Обработваем", "ZEMQ", "OBRAB", "0, когато имотът е обработваем, 1, когато не е."),
        through(text("Документ за собственост", "VIDDOKSOBSTV", "NAIM_VDS", "Видът на документа за собственост."),
                "ID_VDS"),
        text("СЗ Вх. рег. №", "ZEMQ", "SVVHREGNO", "Съдебна заверка: входящият регистров номер."),
        text("СЗ Акт №", "ZEMQ", "SVAKTNO", "Съдебна заверка: номерът на акта."),
        text("СЗ Том", "ZEMQ", "SVTOM", "Съдебна заверка: томът."),
        text("СЗ Дело", "ZEMQ", "SVDELO", "Съдебна заверка: делото."),
        text("НЗ Номер", "ZEMQ", "NZNOMER", "Нотариална заверка: номерът на акта."),
        text("НЗ Том", "ZEMQ", "NZTOM", "Нотариална заверка: томът."),
        text("НЗ Рег. №", "ZEMQ", "NZREGNO", "Нотариална заверка: регистровият номер."),
        text("НЗ Дело №", "ZEMQ", "NZDELO", "Нотариална заверка: номерът на делото."),
        date("НЗ Дата", "ZEMQ", "NZDATA", "Нотариална заверка: датата."),
        text("Нотариус - Рег. №", "ZEMQ", "NOTREGNO", "Регистровият номер на нотариуса."),
        number("Комасация", "ZEMQ", "KOMASIRAN", "1, когато имотът е комасиран, 0, когато не е."),
        code("Имот № след комасация", "ZEMQ", "KOMASIN", "Номерът на имота след комасацията."),
        number("Площ след комасация", "ZEMQ", "KOMASIP", "Площта на имота след комасацията, в декари."),
        through(text("Форма на стопанисване", "FS", "NAIM_FS", "Формата на стопанисване по номенклатурата."), "ID_FS"),
        number("Поливна площ", "ZEMQ", "POLPL", "Поливната площ на имота, в декари."),
        text("ОСЗГ Рег. №/ Дата", "ZEMQ", "OSZGREGNO", "Регистровият номер и датата в общинската служба по земеделие."),
    };
    columns.insert(columns.end(), values.begin(), values.end());
    return {kPlots, "ZEMQ", "Имотите по землища и местности, по един ред на имот.", columns};
}

Sheet categories()
{
    std::vector<Column> columns = plotKey("ID_ZEMQ", kPlots);
    columns.push_back(key(number("Категория", "KATEGORIQ", "VID", "Категорията на земята (от 2 до 10).")));
    columns.push_back(number("Площ", "KATEGORIQ", "PLOSHT", "Площта на имота в тази категория, в декари."));
    return {"Категории", "KATEGORIQ", "Площта на всеки имот по категории на земята, по един ред на категория.",
            columns};
}

Sheet shares()
{
    std::vector<Column> columns = {ownerKey("ID_HORA", kOwners)};
    for (const Column& c : plotKey("ID_ZEMQ", kPlots))
        columns.push_back(c);
    columns.push_back(number("Ред. площ", "SOBSTV", "REDPLOSHT", "Площта на собственика в имота, в декари."));
    columns.push_back(
        text("Част", "SOBSTV", "CHAST", "Делът на собственика, както е записан в документа (напр. 1/3)."));
    columns.push_back(number("Пр. площ", "SOBSTV", "PRREDPL",
                             "Приравнената площ на собственика в имота, в декари; по нея се изчислява рентата."));
    columns.push_back(info(through(code("Договор №", "DOG DANNI", "NOMER",
                                        "Договорът, в който е делът, за справка; празно, когато не е в договор."),
                                   "ID_DOG", kContracts)));
    return {kShares, "SOBSTV", "Деловете на собствениците в имотите, по един ред на собственик и имот.", columns};
}

Sheet contracts()
{
    return {
        kContracts,
        "DOG DANNI",
        "Договорите за аренда и наем, по един ред на договор.",
        {key(code("Договор №", "DOG DANNI", "NOMER",
                  "Номерът на договора; по него договорът се посочва в "
                  "лист „Редове на договори“.")),
         date("Дата", "DOG DANNI", "DATA", "Датата на договора."),
         date("От дата", "DOG DANNI", "OTDATA", "Началото на срока на договора."),
         date("До дата", "DOG DANNI", "DODATA", "Краят на срока на договора."),
         through(text("Вид договор", "VID_DOG", "NAIM_VD", "Видът на договора по списъка на видовете."), "ID_VIDDOG"),
         through(text("Тип договор", "DOGTIP", "TIP", "Типът на договора; правилата за рента са по тип."), "ID_DT"),
         text("Състояние", "DOG DANNI", "SYSTOQNIE", "„Действащ“ или „Прекратен“."),
         date("Дата на прекратяване", "DOG DANNI", "DATAPR", "Датата, на която договорът е прекратен."),
         text("СЗ Вх. рег. №", "DOG DANNI", "SVVHREGNO", "Съдебна заверка: входящият регистров номер."),
         text("СЗ Вп. под №", "DOG DANNI", "SVAKTNO", "Съдебна заверка: номерът, под който е вписан."),
         text("СЗ Том", "DOG DANNI", "SVTOM", "Съдебна заверка: томът."),
         text("СЗ Дата", "DOG DANNI", "SVDELO", "Съдебна заверка: датата, както е записана."),
         text("НЗ Номер", "DOG DANNI", "NZNOMER", "Нотариална заверка: номерът."),
         text("НЗ Том", "DOG DANNI", "NZTOM", "Нотариална заверка: томът."),
         text("НЗ Рег. №", "DOG DANNI", "NZREGNO", "Нотариална заверка: регистровият номер."),
         text("НЗ Дело №", "DOG DANNI", "NZDELO", "Нотариална заверка: номерът на делото."),
         date("НЗ Дата", "DOG DANNI", "NZDATA", "Нотариална заверка: датата."),
         text("Нотариус - Рег. №", "DOG DANNI", "NOTREGNO", "Регистровият номер на нотариуса."),
         text("ОСЗГ Рег. №/ Дата", "DOG DANNI", "OSZREGNO",
              "Регистровият номер и датата в общинската служба по земеделие.")}};
}

Sheet contractLines()
{
    std::vector<Column> columns = {
        key(through(code("Договор №", "DOG DANNI", "NOMER", "Договорът от лист „Договори“."), "ID_DOG", kContracts)),
        ownerKey("ID_SOBSTV", kShares)};
    for (const Column& c : plotKey("ID_ZEMQ", kShares))
        columns.push_back(c);
    columns.push_back(text("Част", "DOGHORAZEMI", "CHAST", "Делът, както е бил записан, когато е включен в договора."));
    columns.push_back(number("Площ", "DOGHORAZEMI", "REDPLOSHT",
                             "Площта на дела, когато е включен в договора, в декари; тя е договорената площ."));
    return {"Редове на договори", "DOGHORAZEMI",
            "Деловете, включени в договорите: собственик и имот от лист „Дялове“ във всеки договор.", columns};
}

Sheet rules()
{
    return {kRules,
            "RENTA ZEML",
            "Правилата за рента, по едно на землище и тип договор.",
            {key(through(code("ЕКАТТЕ", "ZEMLISHTE", "EKATTE", "Землището от лист „Землища“."), "ID_ZEML", kAreas)),
             key(through(text("Тип договор", "DOGTIP", "TIP", "Типът договор, за който важи правилото."), "ID_DT"))}};
}

Sheet ruleLines()
{
    return {"Редове на правила",
            "VIDRENTAKOL",
            "Колко рента носи един декар по правилото, по един ред на вид рента.",
            {key(through(code("ЕКАТТЕ", "ZEMLISHTE", "EKATTE", "Землището на правилото от лист „Правила за рента“."),
                         "ID_RZ", kRules)),
             key(through(text("Тип договор", "DOGTIP", "TIP", "Типът договор на правилото."), "ID_RZ", kRules)),
             key(through(text("Вид рента", "VID_RENTA", "NAIM_VR", "Видът рента (парите или стока) по списъка."),
                         "ID_VRK")),
             number("Кол-во на дка", "VIDRENTAKOL", "KOL",
                    "Количеството на декар: левове за парите, цели единици (кг) за стоките."),
             number("Коефициент", "VIDRENTAKOL", "EC",
                    "Цената на единица стока в левове, или множителят на сумата на декар за парите.")}};
}

}  // namespace

const QString& explanationsSheet()
{
    static const QString name = QStringLiteral("Обяснения");
    return name;
}

const std::vector<Sheet>& sheets()
{
    static const std::vector<Sheet> all = {owners(), areas(),     localities(),    plots(), categories(),
                                           shares(), contracts(), contractLines(), rules(), ruleLines()};
    return all;
}

const Sheet& sheet(const QString& name)
{
    for (const Sheet& s : sheets())
        if (s.name == name)
            return s;
    throw dataset::UsageError(QStringLiteral("no register sheet %1").arg(name));
}

bool isKey(const Column& column)
{
    return column.role == Role::Key;
}

int textLength(const Column& column)
{
    for (const dataset::ColumnDescription& c : dm::tableDescription(column.table).columns)
        if (c.name == column.field)
            return c.size;
    throw dataset::UsageError(QStringLiteral("no field %1.%2").arg(column.table, column.field));
}

const dataset::Domain* domain(const Column& column)
{
    return column.kind == Kind::Number ? dm::columnDomain(column.table, column.field) : nullptr;
}

int decimals(const Column& column)
{
    const dataset::Domain* d = domain(column);
    return d ? d->decimals : 0;
}

QString kindText(const Column& column)
{
    switch (column.kind) {
        case Kind::Text:
            return QStringLiteral("текст до %1 знака").arg(textLength(column));
        case Kind::Identifier:
            return QStringLiteral("код като текст до %1 знака (водещите нули се пазят)").arg(textLength(column));
        case Kind::Date:
            return QStringLiteral("дата");
        case Kind::Number:
            break;
    }
    const dataset::Domain* d = domain(column);
    if (!d)
        return QStringLiteral("цяло число");
    const QString unit = d->unit.isEmpty() ? QString() : QStringLiteral(" в ") + d->unit;
    if (d->decimals == 0)
        return QStringLiteral("цяло число%1").arg(unit);
    return QStringLiteral("число%1 с %2 знака след запетаята").arg(unit).arg(d->decimals);
}

}  // namespace transfers::register_sheets
