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

    void message(QWidget *, const QString &text) override
    {
        messages << text;
        informativeTexts << QString();
    }
    // Recorded with the plain boxes: messages and informativeTexts stay in step.
    void detailedMessage(QWidget *, const QString &text, const QString &informative) override
    {
        messages << text;
        informativeTexts << informative;
    }
    void error(QWidget *, const QString &text) override { errors << text; }
    bool question(QWidget *, const QString &text) override
    {
        questions << text;
        return answerYes;
    }
    std::optional<QString> fileName(QWidget *, const FileDialogSpec &dialog) override
    {
        dialogs << dialog.objectName;
        if (fileNames.isEmpty())
            return std::nullopt; // cancelled
        return fileNames.takeFirst();
    }

    QStringList messages, informativeTexts, errors, questions, dialogs;
    QStringList fileNames; // answers for the next file dialogs; empty: cancel
    bool answerYes = true;
};
