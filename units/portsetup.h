#pragma once

#include "core/portsettings.h"

#include <QObject>

class TSetupDlg;

// Owns PortSettings and the setup command.
class PortSetup : public QObject
{
    Q_OBJECT
public:
    explicit PortSetup(QObject *parent = nullptr);

    PortSettings settings;

    void setDialog(TSetupDlg *dialog) { m_dialog = dialog; }
    TSetupDlg *dialog() const { return m_dialog; }

    // Copies PortSettings into the dialog's controls.
    void FillSetupDialog();
    // The main window's caption, from the dialog's texts.
    QString PortCaption() const;
    // Fill, show modally, store on OK.
    void SBSetupClick();
    // What OK stores: the dialog's controls into PortSettings.
    void acceptDialog();

signals:
    void captionChanged(const QString &caption);

private:
    TSetupDlg *m_dialog = nullptr;
};
