#include "app/program.h"

#include "app/formmain.h"
#include "ui/aboutbox.h"
#include "ui/formtext.h"
#include "ui/prompts.h"
#include "ui/setupdlg.h"
#include "units/settingsstore.h"

#include "app/politeend.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QPointer>
#include <QTranslator>

#include <csignal>

namespace {
QPointer<TFormMain> g_formMain;
QPointer<TAboutBox> g_aboutBox;
QPointer<TSetupDlg> g_setupDlg;
QPointer<TFormText> g_formText;
} // namespace

namespace {

// The interface is Russian; Qt's own boxes, dialogs and context menus follow
// it where Qt's translations are installed. Once per application.
void installQtTranslations()
{
    static QPointer<QTranslator> installed;
    if (installed)
        return;
    auto *translator = new QTranslator(QCoreApplication::instance());
    if (translator->load(QLocale(QLocale::Russian), QStringLiteral("qtbase"), QStringLiteral("_"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QCoreApplication::installTranslator(translator);
        installed = translator;
    } else {
        delete translator;
    }
}

} // namespace

void startProgram()
{
    delete g_formMain; // owns the other three
    // A write past the file-size limit then fails with its error, which the
    // user sees, instead of ending the program and losing the capture.
    std::signal(SIGXFSZ, SIG_IGN);
    installPoliteEnd([] {
        if (g_formMain)
            g_formMain->endPolitely();
        QCoreApplication::exit(0);
    });
    QApplication::setApplicationName(applicationTitle());
    installQtTranslations();
    g_formMain = new TFormMain;
    g_formMain->setAttribute(Qt::WA_DeleteOnClose, false);
    g_aboutBox = new TAboutBox(g_formMain);
    g_setupDlg = new TSetupDlg(g_formMain);
    g_formText = new TFormText(g_formMain);
    g_formMain->attachWindows(g_setupDlg, g_formText);
    g_formText->FormCreate(g_formMain->settingsStore->viewRead());
    g_formMain->show();
}

TFormMain *formMain() { return g_formMain; }
TAboutBox *aboutBox() { return g_aboutBox; }
TSetupDlg *setupDlg() { return g_setupDlg; }
TFormText *formText() { return g_formText; }
