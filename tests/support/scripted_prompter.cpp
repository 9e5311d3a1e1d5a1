#include "support/scripted_prompter.h"

#include <gtest/gtest.h>

namespace testsupport {

ScriptedPrompter::~ScriptedPrompter()
{
    EXPECT_TRUE(answers_.empty()) << answers_.size() << " queued answer(s) were never asked for";
}

template <typename T>
std::optional<T> ScriptedPrompter::next(const QString& question)
{
    shown_ << question;
    if (answers_.empty() || !std::holds_alternative<T>(answers_.front())) {
        ADD_FAILURE() << "unexpected question: " << question.toStdString();
        return std::nullopt;
    }
    T answer = std::get<T>(answers_.front());
    answers_.pop_front();
    return answer;
}

void ScriptedPrompter::message(const QString& text)
{
    shown_ << text;
}

bool ScriptedPrompter::confirm(const QString& text, Default preset)
{
    defaults_ << preset;
    return next<bool>(text).value_or(false);
}

Prompter::Answer ScriptedPrompter::askToSave(const QString& text)
{
    if (!answers_.empty() && std::holds_alternative<Cancel>(answers_.front())) {
        shown_ << text;
        answers_.pop_front();
        return Answer::Cancel;
    }
    return next<bool>(text).value_or(false) ? Answer::Yes : Answer::No;
}

std::optional<QString> ScriptedPrompter::input(const QString&, const QString& prompt, const QString&)
{
    const auto answer = next<Input>(prompt);
    return answer ? answer->text : std::nullopt;
}

QString ScriptedPrompter::openFile(const QString& caption, const QString&, const QString&)
{
    return next<QString>(caption).value_or(QString());
}

QString ScriptedPrompter::browseFolder(const QString& caption, const QString&)
{
    return next<QString>(caption).value_or(QString());
}

}  // namespace testsupport
