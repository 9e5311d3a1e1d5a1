#pragma once

#include <QString>

#include <optional>

class QWidget;

namespace reports {

// Where a run of a report goes.
struct OutputChoice {
    enum class Kind { Preview, Printer, Pdf, Html };
    Kind kind = Kind::Preview;
    QString path;  // the file of Pdf and Html
};

// What the output question shows.
struct OutputRequest {
    QString title;
    bool allowHtml = false;
    QString suggestedName;  // a file name without folder or extension
};

// Asks where a report goes; nullopt when the user cancels. The program asks
// through the engine's own dialog; tests answer through a scripted chooser.
class OutputChooser {
public:
    virtual ~OutputChooser() = default;
    virtual std::optional<OutputChoice> choose(const OutputRequest& request, QWidget* window) = 0;
};

// The engine's small dialog: preview, printer, PDF file, and HTML file when allowed.
class DialogOutputChooser : public OutputChooser {
public:
    std::optional<OutputChoice> choose(const OutputRequest& request, QWidget* window) override;
};

// Always the same output, given up front: programs without a window.
class FixedOutputChooser : public OutputChooser {
public:
    explicit FixedOutputChooser(OutputChoice choice) : choice_(std::move(choice)) {}
    std::optional<OutputChoice> choose(const OutputRequest&, QWidget*) override { return choice_; }

private:
    OutputChoice choice_;
};

}  // namespace reports
