#include "demo/people.h"

#include "common/identifiers.h"

#include <QDate>

#include <functional>
#include <vector>

namespace demo {

namespace {

struct FirstName {
    const char* name;
    const char* fathers;  // the father's name made from it, male form
};

const std::vector<FirstName> kMen = {
    {"Иван", "Иванов"},         {"Георги", "Георгиев"},   {"Димитър", "Димитров"},      {"Петър", "Петров"},
    {"Никола", "Николов"},      {"Стефан", "Стефанов"},   {"Христо", "Христов"},        {"Тодор", "Тодоров"},
    {"Васил", "Василев"},       {"Атанас", "Атанасов"},   {"Йордан", "Йорданов"},       {"Стоян", "Стоянов"},
    {"Кирил", "Кирилов"},       {"Николай", "Николаев"},  {"Ангел", "Ангелов"},         {"Илия", "Илиев"},
    {"Марин", "Маринов"},       {"Пенчо", "Пенчев"},      {"Добри", "Добрев"},          {"Минчо", "Минчев"},
    {"Колю", "Колев"},          {"Цветан", "Цветанов"},   {"Радослав", "Радославов"},   {"Красимир", "Красимиров"},
    {"Валентин", "Валентинов"}, {"Методи", "Методиев"},   {"Симеон", "Симеонов"},       {"Велико", "Великов"},
    {"Рачо", "Рачев"},          {"Генчо", "Генчев"},      {"Пламен", "Пламенов"},       {"Любомир", "Любомиров"},
    {"Спас", "Спасов"},         {"Слави", "Славов"},      {"Костадин", "Костадинов"},   {"Андрей", "Андреев"},
    {"Здравко", "Здравков"},    {"Божидар", "Божидаров"}, {"Христофор", "Христофоров"}, {"Недялко", "Недялков"},
};

const std::vector<const char*> kWomen = {
    "Мария",   "Иванка",  "Елена",     "Йорданка", "Пенка",     "Росица",    "Стефка",   "Радка",
    "Цветана", "Надежда", "Даниела",   "Милка",    "Снежана",   "Валентина", "Галина",   "Красимира",
    "Силвия",  "Теодора", "Веселина",  "Катерина", "Антоанета", "Виолета",   "Петя",     "Анелия",
    "Донка",   "Станка",  "Василка",   "Гергана",  "Десислава", "Невена",    "Тодорка",  "Златка",
    "Кремена", "Лиляна",  "Маргарита", "Зорница",  "Светла",    "Румяна",    "Николина", "Христина",
};

// Family names in the male form; the female form adds "а" or turns "ски" into "ска".
const std::vector<const char*> kFamilies = {
    "Петров",  "Иванов",   "Георгиев",  "Димитров", "Колев",    "Стоянов",     "Николов", "Тодоров", "Ангелов",
    "Христов", "Маринов",  "Попов",     "Костов",   "Илиев",    "Йорданов",    "Станчев", "Пенев",   "Русев",
    "Вълчев",  "Михайлов", "Добрев",    "Цонев",    "Славов",   "Начев",       "Кръстев", "Шишков",  "Бонев",
    "Генчев",  "Минчев",   "Рачев",     "Танев",    "Желязков", "Куртев",      "Дочев",   "Милушев", "Жеков",
    "Бакалов", "Ковачев",  "Грозев",    "Пасков",   "Захариев", "Влаев",       "Делчев",  "Стойков", "Симеонов",
    "Йотов",   "Лазаров",  "Петровски", "Бояджиев", "Чолаков",  "Кирязов",     "Паунов",  "Цанков",  "Гочев",
    "Манолов", "Тончев",   "Пеев",      "Дянков",   "Нейков",   "Захариевски",
};

const std::vector<Foreigner> kForeigners = {
    {"Ханс Мюлер", "DE"},     {"Томас Вебер", "DE"},     {"Георгиос Пападопулос", "GR"},
    {"Елени Николау", "GR"},  {"Мехмед Йълмаз", "TR"},   {"Айше Демир", "TR"},
    {"Джон Смит", "GB"},      {"Питър Браун", "GB"},     {"Андрей Волков", "RU"},
    {"Олга Кузнецова", "RU"}, {"Йоан Попеску", "RO"},    {"Мария Йонеску", "RO"},
    {"Марко Роси", "IT"},     {"Лука Бианки", "IT"},     {"Софи Мартен", "FR"},
    {"Ирина Шевченко", "UA"}, {"Драган Петрович", "RS"}, {"Горан Стойковски", "MK"},
};

const std::vector<const char*> kCompanyStems = {
    "Агро Нива", "Агротрейд", "Златно поле", "Добруджанско зърно", "Тракия Агро", "Земя Инвест", "Хелиос Агро",
    "Нивата",    "Ралица",    "Житница",     "Агрокомплект",       "Зелено поле",
};
const std::vector<const char*> kCompanyForms = {" ЕООД", " ООД", " АД"};
const std::vector<const char*> kCooperatives = {"Съгласие", "Напредък", "Единство", "Бъдеще", "Зора", "Надежда"};

const std::vector<const char*> kStreets = {
    "Васил Левски",
    "Христо Ботев",
    "Георги Раковски",
    "Иван Вазов",
    "Христо Смирненски",
    "Стефан Караджа",
    "Хаджи Димитър",
    "Цар Освободител",
    "Шипка",
    "Опълченска",
    "Никола Вапцаров",
    "Славянска",
    "Дунав",
    "Балкан",
    "Възраждане",
    "Трети март",
    "Стара планина",
    "Пейо Яворов",
    "Александър Стамболийски",
    "Асен Златаров",
    "Райна Княгиня",
    "Любен Каравелов",
    "Пирин",
    "Родопи",
    "Марица",
    "Кирил и Методий",
    "Тодор Каблешков",
    "Орехова",
    "Липа",
    "Ясенова",
};

struct Bank {
    const char* name;
    const char* bic;
};
const std::vector<Bank> kBanks = {
    {"УниКредит Булбанк", "UNCRBGSF"},
    {"Банка ДСК", "STSABGSF"},
    {"ОББ", "UBBSBGSF"},
    {"Пощенска банка", "BPBIBGSF"},
    {"Първа инвестиционна банка", "FINVBGSF"},
    {"Централна кооперативна банка", "CECBBGSF"},
    {"Инвестбанк", "IORTBGSF"},
};

const std::vector<const char*> kLocalities = {
    "Герена",     "Лозята",       "Кайряка",       "Баира",    "Чаирите",  "Мерата",       "Кавака",        "Лъката",
    "Върбите",    "Дълбокия дол", "Кладенеца",     "Юртлука",  "Бахчите",  "Средния път",  "Голямата нива", "Край село",
    "Орта бурун", "Трите могили", "Кривата круша", "Ливадите", "Пясъците", "Бялата пръст", "Орешака",       "Стублата",
    "Над селото", "Под линията",  "Гробищата",     "Боаза",    "Сазлъка",  "Ямача",        "Харманите",     "Калето",
    "Суата",      "Чешмата",      "Равнището",     "Дюздюка",  "Тепето",   "Бунара",       "Кьорава",       "Соватя",
};

QString digits(Random& rnd, int count)
{
    QString s;
    for (int i = 0; i < count; ++i)
        s += QChar(u'0' + rnd.below(10));
    return s;
}

// The first check digit that makes `check` accept the text; the checks the
// register uses to accept an identifier decide what is valid here too.
QString withCheckDigit(const QString& head, const std::function<bool(const QString&)>& check)
{
    for (int d = 0; d < 10; ++d) {
        const QString candidate = head + QChar(u'0' + d);
        if (check(candidate))
            return candidate;
    }
    return {};
}

QString femaleFamily(const QString& male)
{
    if (male.endsWith(QStringLiteral("ски")))
        return male.left(male.size() - 1) + QStringLiteral("а");
    return male + QStringLiteral("а");
}

// ISO 13616: the two check digits of a Bulgarian IBAN for its account part.
QString ibanCheck(const QString& bban)
{
    const QString moved = bban + QStringLiteral("BG00");
    int rest = 0;
    for (const QChar c : moved) {
        const int value = c.isDigit() ? c.digitValue() : c.toLatin1() - 'A' + 10;
        rest = (value > 9 ? rest * 100 : rest * 10) + value;
        rest %= 97;
    }
    return QStringLiteral("%1").arg(98 - rest, 2, 10, QLatin1Char('0'));
}

}  // namespace

QString personName(Random& rnd, bool female)
{
    const FirstName& father = rnd.pick(kMen);
    const QString family = QString::fromUtf8(rnd.pick(kFamilies));
    if (female)
        return QStringLiteral("%1 %2 %3")
            .arg(QString::fromUtf8(rnd.pick(kWomen)), femaleFamily(QString::fromUtf8(father.fathers)),
                 femaleFamily(family));
    return QStringLiteral("%1 %2 %3")
        .arg(QString::fromUtf8(rnd.pick(kMen).name), QString::fromUtf8(father.fathers), family);
}

Foreigner foreignPerson(Random& rnd)
{
    return rnd.pick(kForeigners);
}

QString companyName(Random& rnd)
{
    const int kind = rnd.below(10);
    if (kind < 5)
        return QString::fromUtf8(rnd.pick(kCompanyStems)) + QString::fromUtf8(rnd.pick(kCompanyForms));
    if (kind < 7)
        return QStringLiteral("ЗК „%1“").arg(QString::fromUtf8(rnd.pick(kCooperatives)));
    const QString first = QString::fromUtf8(rnd.pick(kMen).name);
    return QStringLiteral("ЕТ „%1 %2“").arg(first, QString::fromUtf8(rnd.pick(kFamilies)));
}

QString personalNumber(Random& rnd, bool female)
{
    const QDate born = QDate(1932, 1, 1).addDays(rnd.below(70 * 365));
    // Those born from 2000 on carry 40 more in the month.
    const int month = born.month() + (born.year() >= 2000 ? 40 : 0);
    const int sex = rnd.below(5) * 2 + (female ? 1 : 0);  // the ninth digit is odd for a woman
    const QString head = QStringLiteral("%1%2%3%4%5")
                             .arg(born.year() % 100, 2, 10, QLatin1Char('0'))
                             .arg(month, 2, 10, QLatin1Char('0'))
                             .arg(born.day(), 2, 10, QLatin1Char('0'))
                             .arg(rnd.below(100), 2, 10, QLatin1Char('0'))
                             .arg(sex);
    return withCheckDigit(head, CheckEGN);
}

QString foreignerNumber(Random& rnd)
{
    const QString first = QString::number(rnd.between(1, 9));
    return withCheckDigit(first + digits(rnd, 8), CheckLNCh);
}

QString companyCode(Random& rnd, bool branch)
{
    const QString first = QString::number(rnd.between(1, 2));
    const QString code = withCheckDigit(first + digits(rnd, 7), CheckEIK);
    if (!branch)
        return code;
    return withCheckDigit(code + QStringLiteral("0") + digits(rnd, 2), CheckEIK);
}

QString streetAddress(Random& rnd)
{
    QString address =
        QStringLiteral("ул. „%1“ № %2").arg(QString::fromUtf8(rnd.pick(kStreets))).arg(rnd.between(1, 120));
    if (rnd.percent(10))
        address += QStringLiteral(", ап. %1").arg(rnd.between(1, 60));
    return address;
}

QString phoneNumber(Random& rnd)
{
    // Each draw in a statement of its own: the order of arguments is not fixed in C++.
    int prefix = rnd.between(31, 98);  // a landline's area code
    if (rnd.percent(70)) {
        prefix = 800 + rnd.between(7, 9) * 10;  // 087x, 088x, 089x
        prefix += rnd.between(7, 9);
    }
    const QString first = digits(rnd, 3);
    const QString second = digits(rnd, 3);
    return QStringLiteral("0%1 %2 %3").arg(prefix).arg(first, second);
}

BankAccount bankAccount(Random& rnd)
{
    const Bank& bank = rnd.pick(kBanks);
    const QString bic = QString::fromLatin1(bank.bic);
    const QString branch = digits(rnd, 6);
    const QString bban = bic.left(4) + branch + digits(rnd, 8);
    return {QString::fromUtf8(bank.name), QStringLiteral("BG") + ibanCheck(bban) + bban, bic};
}

QString localityName(int n)
{
    return QString::fromUtf8(kLocalities[static_cast<size_t>(n) % kLocalities.size()]);
}

}  // namespace demo
