#pragma once

#include "ui/prompts.h"

#include <QStringList>

// Answers every box and file dialog without a human, and remembers what was asked.
class RecordingPrompts : public Prompts
{
public:
    RecordingPrompts() { setPrompts(this); }
    ~RecordingPrompts() override
    {
        if (&prompts() == this) // a newer one may have taken over already
            setPrompts(nullptr);
    }

    // Plain and detailed boxes alike: messages and informativeTexts stay in step.
    void message(QWidget *, const QString &text) override { messages << text, informativeTexts << QString(); }
    void detailedMessage(QWidget *, const QString &text, const QString &informative) override
    {
        messages << text, informativeTexts << informative;
    }
    void error(QWidget *, const QString &text) override { errors << text; }
    bool question(QWidget *, const QString &text) override { return questions << text, answerYes; }
    std::optional<QString> fileName(QWidget *, const FileDialogSpec &dialog) override
    {
        dialogs << dialog.objectName;
        return fileNames.isEmpty() ? std::nullopt : std::optional(fileNames.takeFirst()); // empty: cancelled
    }

    QStringList messages, informativeTexts, errors, questions, dialogs;
    QStringList fileNames; // answers for the next file dialogs; empty: cancel
    bool answerYes = true;
};
