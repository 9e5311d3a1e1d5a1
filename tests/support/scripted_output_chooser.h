#pragma once

#include "report_engine/output_chooser.h"

#include <gtest/gtest.h>

#include <deque>
#include <vector>

namespace testsupport {

// Answers the report engine's output question in place of its dialog: each
// execution takes the next queued answer. A question with nothing queued
// fails the test, and so do answers left over at the end.
class ScriptedOutputChooser : public reports::OutputChooser {
public:
    ~ScriptedOutputChooser() override
    {
        EXPECT_TRUE(answers_.empty()) << answers_.size() << " queued output answer(s) were never asked for";
    }

    void answerPreview() { answers_.push_back(reports::OutputChoice{reports::OutputChoice::Kind::Preview, {}}); }
    void answerPdf(const QString& path)
    {
        answers_.push_back(reports::OutputChoice{reports::OutputChoice::Kind::Pdf, path});
    }
    void answerHtml(const QString& path)
    {
        answers_.push_back(reports::OutputChoice{reports::OutputChoice::Kind::Html, path});
    }
    void answerCancel() { answers_.push_back(std::nullopt); }

    // Every question asked, in order.
    const std::vector<reports::OutputRequest>& asked() const { return asked_; }

    std::optional<reports::OutputChoice> choose(const reports::OutputRequest& request, QWidget*) override
    {
        asked_.push_back(request);
        if (answers_.empty()) {
            ADD_FAILURE() << "unexpected output question for " << request.suggestedName.toStdString();
            return std::nullopt;
        }
        auto answer = answers_.front();
        answers_.pop_front();
        return answer;
    }

private:
    std::deque<std::optional<reports::OutputChoice>> answers_;
    std::vector<reports::OutputRequest> asked_;
};

}  // namespace testsupport
