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
    // The question before work could be thrown away ("Желаете ли да
    // запишете!"): "Да" stores, "Не" gives the work up, and "Отказ" (also
    // Esc and the window's close box) goes back to the work.
    enum class Answer { Yes, No, Cancel };
    // A prompter without a third button answers as confirm() does.
    virtual Answer askToSave(const QString& text) { return confirm(text) ? Answer::Yes : Answer::No; }
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
    Answer askToSave(const QString& text) override;
    std::optional<QString> input(const QString& caption, const QString& prompt, const QString& text) override;
    QString openFile(const QString& caption, const QString& folder, const QString& filter) override;
    QString browseFolder(const QString& caption, const QString& folder) override;

private:
    QWidget* parent() const;
    QWidget* parent_;
};
