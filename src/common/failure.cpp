#include "common/failure.h"

#include "common/prompter.h"
#include "fb/error.h"

#include <array>
#include <utility>

namespace failure {

namespace {

// ISC codes of the status vector, as the client library numbers them; the
// more particular refusal first, since one error carries several codes (an
// update conflict comes as a deadlock too).
constexpr std::array<std::pair<long, const char*>, 18> kReasons{{
    {335544665L, "Такъв запис вече съществува (стойността трябва да е единствена)."},            // unique key
    {335544349L, "Такъв запис вече съществува (стойността трябва да е единствена)."},            // no_dup
    {335544451L, "Записът е променен от друг потребител, който още не е записал или отказал."},  // update conflict
    {335544345L, "Записът е зает от друг потребител."},                                          // lock conflict
    {335544565L, "Текстът съдържа знак, който не може да бъде записан (извън кирилица и латиница)."},
    {335544916L, "Число е твърде голямо за базата."},                                       // numeric out of range
    {335544914L, "Текст е твърде дълъг за базата."},                                        // string truncation
    {335544321L, "Число е твърде голямо или текст е твърде дълъг за базата."},              // arith_except
    {335544466L, "Записът се използва от други данни или сочи към липсващи данни."},        // foreign key
    {335544352L, "Нямате права за това действие."},                                         // no_priv
    {335544472L, "Невалидно потребителско име или парола."},                                // login
    {335544648L, "Връзката с базата данни е прекъсната."},                                  // connection lost
    {335544726L, "Връзката с базата данни е прекъсната."},                                  // net read
    {335544727L, "Връзката с базата данни е прекъсната."},                                  // net write
    {335544741L, "Връзката с базата данни е прекъсната."},                                  // lost db connection
    {335544856L, "Връзката с базата данни е прекъсната."},                                  // connection shutdown
    {335544721L, "Връзката с базата данни е прекъсната или не може да бъде осъществена."},  // network error
    {335544336L, "Записът е зает от друг потребител."},                                     // deadlock
}};

std::function<void()>& afterLostConnection()
{
    static std::function<void()> step;
    return step;
}

}  // namespace

void setAfterLostConnection(std::function<void()> step)
{
    afterLostConnection() = std::move(step);
}

QString reason(const fb::Error& error)
{
    // Goods receipts and cash payments share one series of numbers, kept
    // once each in its own table: two desks that gave the same number at
    // once are refused there, and told so as for a number taken earlier.
    if (error.has(fb::kUniqueKeyViolation) && error.message().contains(QLatin1String("RAZP_NOMERA")))
        return QStringLiteral("Разписка с такъв номер съществува!");
    for (const auto& [known, sentence] : kReasons)
        if (error.has(known))
            return QString::fromUtf8(sentence);
    return {};
}

QString text(const QString& what, const QString& detail)
{
    return detail.isEmpty() ? what : what + QStringLiteral("\n\n") + detail;
}

QString text(const QString& what, const fb::Error& error)
{
    const QString why = reason(error);
    return text(why.isEmpty() ? what : what + QLatin1Char('\n') + why, error.message());
}

QString text(const QString& what, const std::exception& error)
{
    if (const auto* engine = dynamic_cast<const fb::Error*>(&error))
        return text(what, *engine);
    return text(what, QString::fromUtf8(error.what()));
}

void show(Prompter& prompter, const QString& what, const std::exception& error)
{
    prompter.message(text(what, error));
    const auto* engine = dynamic_cast<const fb::Error*>(&error);
    if (engine && engine->connectionLost() && afterLostConnection())
        afterLostConnection()();
}

void show(Prompter& prompter, const QString& what, const QString& detail)
{
    prompter.message(text(what, detail));
}

}  // namespace failure
