#pragma once

#include <QString>

#include <optional>

class QWidget;

// Every message box, question, input box and file or folder dialog of the
// program goes through this seam, so that tests can answer in place of the
// user and check every text that would have been shown.
class Prompter {
public:
    virtual ~Prompter() = default;

    // A plain message box with an OK button.
    virtual void message(const QString& text) = 0;
    // Which button of a question Enter presses.
    enum class Default { Yes, No };
    // A question with the buttons "Да" and "Не"; true for "Да".
    virtual bool confirm(const QString& text, Default preset = Default::Yes) = 0;
    // A one-line input box; empty when the user cancels.
    virtual std::optional<QString> input(const QString& caption, const QString& prompt, const QString& text) = 0;
    // An open-file dialog; an empty text when the user cancels.
    virtual QString openFile(const QString& caption, const QString& folder, const QString& filter) = 0;
    // A folder-browse dialog; an empty text when the user cancels.
    virtual QString browseFolder(const QString& caption, const QString& folder) = 0;
};

// The real one: Qt dialogs over the active window, with Bulgarian buttons.
class QtPrompter : public Prompter {
public:
    // `parent` is used when no window of the program is active.
    explicit QtPrompter(QWidget* parent = nullptr) : parent_(parent) {}

    void message(const QString& text) override;
    bool confirm(const QString& text, Default preset = Default::Yes) override;
    std::optional<QString> input(const QString& caption, const QString& prompt, const QString& text) override;
    QString openFile(const QString& caption, const QString& folder, const QString& filter) override;
    QString browseFolder(const QString& caption, const QString& folder) override;

private:
    QWidget* parent() const;
    QWidget* parent_;
};
