#pragma once

#include "common/prompter.h"

#include <QStringList>

#include <deque>
#include <optional>
#include <variant>

namespace testsupport {

// The Prompter of the tests: records every text shown (messages and
// questions alike, in order) and answers questions from a queue. A question
// with no answer queued, or of another kind than the answer, fails the test;
// so do answers left over at the end.
class ScriptedPrompter : public Prompter {
public:
    ~ScriptedPrompter() override;

    void answerYes() { answers_.push_back(true); }
    void answerNo() { answers_.push_back(false); }
    // "Отказ" (or Esc) to the question before work could be thrown away.
    void answerCancel() { answers_.push_back(Cancel{}); }
    void answerInput(std::optional<QString> text) { answers_.push_back(Input{std::move(text)}); }
    void answerPath(const QString& path) { answers_.push_back(path); }

    const QStringList& shown() const { return shown_; }
    void clearShown() { shown_.clear(); }

    void message(const QString& text) override;
    bool confirm(const QString& text, Default preset = Default::Yes) override;
    // Answered by answerYes, answerNo or answerCancel.
    Answer askToSave(const QString& text) override;
    // The button each question offered as its default, in order.
    const QList<Default>& defaults() const { return defaults_; }
    std::optional<QString> input(const QString& caption, const QString& prompt, const QString& text) override;
    QString openFile(const QString& caption, const QString& folder, const QString& filter) override;
    QString browseFolder(const QString& caption, const QString& folder) override;

private:
    struct Input {
        std::optional<QString> text;
    };
    struct Cancel {};
    using Queued = std::variant<bool, Input, QString, Cancel>;
    template <typename T>
    std::optional<T> next(const QString& question);

    QStringList shown_;
    QList<Default> defaults_;
    std::deque<Queued> answers_;
};

}  // namespace testsupport
