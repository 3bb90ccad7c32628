#pragma once

class TFormMain;
class TAboutBox;
class TSetupDlg;
class TFormText;

// Program start: the application title, then the main window, the About box,
// the setup dialog and the text window (the last three hidden). Shows the main
// window and returns without running the event loop; a QApplication must
// exist. Calling it again replaces the windows of the previous start. Qt's
// own texts (buttons of boxes, file dialogs, context menus) are Russian from
// the first start on, where Qt's translations are installed.
// From then on SIGTERM, SIGHUP and the end of the session close the program
// as the close box does, without a question, and it exits with status 0.
void startProgram();

TFormMain *formMain();
TAboutBox *aboutBox();
TSetupDlg *setupDlg();
TFormText *formText();
