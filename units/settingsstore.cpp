#include "units/settingsstore.h"

#include "app/formmain.h"
#include "ui/prompts.h"
#include "ui/widgets.h"
#include "ui/formtext.h"
#include "units/portsetup.h"
#include "ui/setupdlg.h"
#include "core/bytefile.h"
#include "units/commandlist.h"
#include "units/datafiles.h"

#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>

namespace {

// Outer size minus client size of the designed windows (866 x 727 around 858 x 700).
constexpr int kFrameWidth = 8;
constexpr int kFrameHeight = 27;

QString g_startupDirectory;

QList<QLineEdit *> transmitLines(TFormMain *f)
{
    return {f->EditString,  f->EditString2, f->EditString3, f->EditString4, f->EditString5,
            f->EditString6, f->EditString7, f->EditString8, f->EditString9, f->EditString10};
}

} // namespace

void SettingsStore::setStartupDirectory(const QString &dir) { g_startupDirectory = dir; }

SettingsStore::SettingsStore(TFormMain *form)
    : QObject(form)
    , m_form(form)
{
}

QString SettingsStore::path(const QString &fileName) const
{
    return QDir(SettingsDir).filePath(fileName);
}

void SettingsStore::reportFileError(const QString &fileName, const QString &error)
{
    prompts().error(m_form, QDir::toNativeSeparators(path(fileName)) + QStringLiteral(": ") + error);
}

bool SettingsStore::readFile(const QString &fileName, QByteArray *bytes)
{
    QString error;
    if (!ReadByteFile(path(fileName), bytes, &error)) {
        reportFileError(fileName, error);
        return false;
    }
    return true;
}

bool SettingsStore::writeFile(const QString &fileName, const QByteArray &bytes)
{
    // Replaced whole or not at all: a failed write keeps the previous file.
    QString error;
    if (!WriteByteFile(path(fileName), bytes, &error)) {
        reportFileError(fileName, error);
        return false;
    }
    return true;
}

void SettingsStore::restore()
{
    SettingsDir = g_startupDirectory.isEmpty() ? QDir::currentPath() : g_startupDirectory;
    if (!restorePortSettings() || !restoreViewSettings() || !restoreStrings())
        return;
    const QString trn = path(trnFileName());
    if (QFileInfo::exists(trn) && m_form->dataFiles)
        m_form->dataFiles->LoadTransmitFile(trn);
}

bool SettingsStore::restorePortSettings()
{
    m_form->portSetup->settings = PortSettings{};
    if (!QFileInfo::exists(path(setFileName())))
        return true;
    QByteArray bytes;
    if (!readFile(setFileName(), &bytes))
        return false;
    const auto settings = DecodePortSettingsRecord(bytes);
    if (!settings) {
        reportFileError(setFileName(), QStringLiteral("чтение за концом файла"));
        return false;
    }
    m_form->portSetup->settings = *settings;
    return true;
}

bool SettingsStore::restoreViewSettings()
{
    if (!QFileInfo::exists(path(senFileName())))
        return true;
    QByteArray bytes;
    if (!readFile(senFileName(), &bytes))
        return false;
    const auto view = DecodeViewSettingsRecord(bytes);
    if (!view) {
        reportFileError(senFileName(), QStringLiteral("чтение за концом файла"));
        return false;
    }
    m_viewRead = view;
    TFormMain *f = m_form;
    f->CheckBoxASCII->setChecked(view->asciiEntry); // runs its handler when the state changes
    f->ChBCR->setChecked(view->appendCr);
    f->SBShowText->setDown(view->textWindowOn);     // no handler: the text window comes later
    f->ChBShowRecTable->setChecked(view->showReceiveTable);
    f->SELengthPulse->setValue(view->lengthPulse);
    f->SELengthPause->setValue(view->lengthPause);
    f->SECountPulse->setValue(view->countPulse);
    setOuterGeometry(f, QRect(view->mainLeft, view->mainTop, view->mainWidth, view->mainHeight));
    keepOnScreen(f);
    return true;
}

bool SettingsStore::restoreStrings()
{
    if (!QFileInfo::exists(path(strFileName())))
        return true;
    QByteArray bytes;
    if (!readFile(strFileName(), &bytes))
        return false;
    applyStrings(ParseStringsFile(bytes, m_form->portSetup->settings.PortName));
    return true;
}

void SettingsStore::applyStrings(const StringsFileContent &c)
{
    TFormMain *f = m_form;
    const QList<QLineEdit *> lines = transmitLines(f);
    for (int i = 0; i < lines.size(); ++i)
        lines[i]->setText(c.lines.value(i));
    f->LEString->setText(c.leString);
    f->LEStringLabel->setText(c.leLabel);
    if (c.commands)
        f->commandList->setCommands(*c.commands);
    f->SEDivider->setValue(c.divider);
    f->SEQPulseInPaket->setValue(c.qPulseInPaket);
    f->SEQPauseInPaket->setValue(c.qPauseInPaket);
    if (!c.fullPortName.isEmpty())
        f->portSetup->settings.PortName = c.fullPortName;
}

void SettingsStore::FormPaint()
{
    TFormMain *f = m_form;
    // While the dialog is open the user's unconfirmed edits stay in it.
    if (f->setupDlg && !f->setupDlg->isVisible())
        f->portSetup->FillSetupDialog();
    const QString caption = f->portSetup->PortCaption();
    if (f->windowTitle() != caption)
        f->setWindowTitle(caption);
}

StringsFileContent SettingsStore::collectStrings() const
{
    TFormMain *f = m_form;
    StringsFileContent c;
    for (QLineEdit *e : transmitLines(f))
        c.lines << e->text();
    c.leString = f->LEString->text();
    c.leLabel = f->LEStringLabel->text();
    c.commands = f->commandList->commands();
    c.divider = f->SEDivider->value();
    c.qPulseInPaket = f->SEQPulseInPaket->value();
    c.qPauseInPaket = f->SEQPauseInPaket->value();
    c.fullPortName = f->portSetup->settings.PortName;
    return c;
}

ViewSettings SettingsStore::collectView() const
{
    TFormMain *f = m_form;
    ViewSettings v;
    v.asciiEntry = f->CheckBoxASCII->isChecked();
    v.appendCr = f->ChBCR->isChecked();
    v.textWindowOn = f->SBShowText->down();
    v.showReceiveTable = f->ChBShowRecTable->isChecked();
    v.lengthPulse = f->SELengthPulse->value();
    v.lengthPause = f->SELengthPause->value();
    v.countPulse = f->SECountPulse->value();
    const QRect main = outerGeometry(f);
    v.mainWidth = main.width();
    v.mainHeight = main.height();
    v.mainTop = main.top();
    v.mainLeft = main.left();
    if (f->formText) {
        const QRect text = outerGeometry(f->formText);
        v.textWidth = text.width();
        v.textHeight = text.height();
        v.textTop = text.top();
        v.textLeft = text.left();
    }
    return v;
}

bool SettingsStore::FormClose()
{
    TFormMain *f = m_form;
    bool saved = writeFile(setFileName(), EncodePortSettingsRecord(f->portSetup->settings))
              && writeFile(senFileName(), EncodeViewSettingsRecord(collectView()))
              && writeFile(strFileName(), SerializeStringsFile(collectStrings()));
    if (saved && f->dataFiles)
        saved = f->dataFiles->SaveTransmitFile(path(trnFileName()));
    if (saved)
        return true;
    // A directory that cannot be written must not keep the program from closing.
    return prompts().question(f, QStringLiteral("Закрыть программу без сохранения настроек?"));
}

QRect SettingsStore::outerGeometry(const QWidget *w)
{
    return QRect(w->pos(), QSize(w->width() + kFrameWidth, w->height() + kFrameHeight));
}

void SettingsStore::setOuterGeometry(QWidget *w, const QRect &outer)
{
    const QSize client(qMax(outer.width() - kFrameWidth, 1), qMax(outer.height() - kFrameHeight, 1));
    w->move(outer.topLeft());
    w->resize(client);
}

void SettingsStore::keepOnScreen(QWidget *w)
{
    QScreen *primary = QGuiApplication::primaryScreen();
    if (!primary)
        return;
    QRect outer = outerGeometry(w);
    // A corrupt record can hold any size; no window needs much more than the desktop.
    const QSize desktop = (primary->availableVirtualGeometry().size() * 2).expandedTo(QSize(866, 727));
    if (outer.width() > desktop.width() || outer.height() > desktop.height()) {
        outer.setSize(outer.size().boundedTo(desktop));
        setOuterGeometry(w, outer);
    }
    // Visible when a usable part of the title area lies on some screen.
    const QRect title(outer.left(), outer.top(), outer.width(), qMin(outer.height(), 30));
    for (QScreen *screen : QGuiApplication::screens()) {
        const QRect seen = screen->availableGeometry().intersected(title);
        if (seen.width() >= 60 && seen.height() >= 10)
            return;
    }
    const QRect avail = primary->availableGeometry();
    outer.setSize(outer.size().boundedTo(avail.size()));
    outer.moveCenter(avail.center());
    outer.moveTopLeft(QPoint(qMax(outer.left(), avail.left()), qMax(outer.top(), avail.top())));
    setOuterGeometry(w, outer);
}
