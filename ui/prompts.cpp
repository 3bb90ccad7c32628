#include "ui/prompts.h"

#include "core/bytefile.h"

#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QRegularExpression>

namespace {

QStringList byteFilters()
{
    return {QStringLiteral("*.rcv (*.rcv)"), QStringLiteral("*.* (*)")};
}

QStringList commandFilters()
{
    return {QStringLiteral("*.cmd (*.cmd)"), QStringLiteral("*.* (*)")};
}

// "rcv" of "*.rcv (*.rcv)"; empty for a filter without one extension.
QString filterSuffix(const QString &filter)
{
    static const QRegularExpression pattern(QStringLiteral(R"(\(\*\.(\w+)\)$)"));
    const QRegularExpressionMatch m = pattern.match(filter);
    return m.hasMatch() ? m.captured(1) : QString();
}

class DialogPrompts : public Prompts
{
public:
    void message(QWidget *parent, const QString &text) override
    {
        QMessageBox box(QMessageBox::NoIcon, applicationTitle(), text, QMessageBox::Ok, parent);
        box.exec();
    }

    void detailedMessage(QWidget *parent, const QString &text, const QString &informative) override
    {
        QMessageBox box(QMessageBox::NoIcon, applicationTitle(), text, QMessageBox::Ok, parent);
        box.setInformativeText(informative);
        box.exec();
    }

    void error(QWidget *parent, const QString &text) override
    {
        QMessageBox box(QMessageBox::Critical, applicationTitle(), text, QMessageBox::Ok, parent);
        box.exec();
    }

    bool question(QWidget *parent, const QString &text) override
    {
        QMessageBox box(QMessageBox::Question, applicationTitle(), text,
                        QMessageBox::Yes | QMessageBox::No, parent);
        box.setDefaultButton(QMessageBox::No);
        return box.exec() == QMessageBox::Yes;
    }

    std::optional<QString> fileName(QWidget *parent, const FileDialogSpec &dialogSpec) override
    {
        QFileDialog dialog(parent);
        dialog.setObjectName(dialogSpec.objectName);
        dialog.setAcceptMode(dialogSpec.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
        // An open dialog takes names of files that do not exist yet.
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setDefaultSuffix(dialogSpec.defaultSuffix);
        dialog.setNameFilters(dialogSpec.nameFilters);
        if (dialogSpec.suffixFollowsFilter)
            QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog](const QString &filter) {
                const QString suffix = filterSuffix(filter);
                if (!suffix.isEmpty())
                    dialog.setDefaultSuffix(suffix);
            });
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return std::nullopt;
        return dialog.selectedFiles().constFirst();
    }
};

DialogPrompts g_dialogs;
Prompts *g_prompts = nullptr;

} // namespace

const FileDialogSpec &openDialogSpec()
{
    static const FileDialogSpec s{QStringLiteral("OpenDialog"), false, QStringLiteral("RCV"), byteFilters()};
    return s;
}

const FileDialogSpec &saveDialogSpec()
{
    static const FileDialogSpec s{QStringLiteral("SaveDialog"), true, QStringLiteral("RCV"), byteFilters()};
    return s;
}

const FileDialogSpec &openDialogCmdSpec()
{
    static const FileDialogSpec s{QStringLiteral("OpenDialogCMD"), false, QStringLiteral("CMD"), commandFilters()};
    return s;
}

const FileDialogSpec &saveDialogCmdSpec()
{
    static const FileDialogSpec s{QStringLiteral("SaveDialogCMD"), true, QStringLiteral("CMD"), commandFilters()};
    return s;
}

const FileDialogSpec &logDialogSpec()
{
    static const FileDialogSpec s{QStringLiteral("SaveDialogLog"), true, QStringLiteral("rcv"),
                                  {QStringLiteral("*.rcv (*.rcv)"), QStringLiteral("*.log (*.log)")}, true};
    return s;
}

Prompts &prompts()
{
    return g_prompts ? *g_prompts : g_dialogs;
}

void setPrompts(Prompts *replacement)
{
    g_prompts = replacement;
}

QString applicationTitle()
{
    return QStringLiteral("Транслятор портов");
}

void fileError(QWidget *parent, const QString &path, const QString &error)
{
    prompts().error(parent, QDir::toNativeSeparators(path) + QStringLiteral(": ") + error);
}

std::optional<QByteArray> readChosenFile(QWidget *parent, const FileDialogSpec &dialog)
{
    const std::optional<QString> name = prompts().fileName(parent, dialog);
    if (!name)
        return std::nullopt;
    QByteArray bytes;
    QString error;
    if (!ReadByteFile(*name, &bytes, &error)) {
        fileError(parent, *name, error);
        return std::nullopt;
    }
    return bytes;
}
