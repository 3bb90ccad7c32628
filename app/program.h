#pragma once

class TFormMain;
class TAboutBox;
class TSetupDlg;
class TFormText;

// Program start: the application title, then the main window, the About box,
// the setup dialog and the text window (the last three hidden). Shows the main
// window and returns without running the event loop; a QApplication must
// exist. Calling it again replaces the windows of the previous start.
void startProgram();

TFormMain *formMain();
TAboutBox *aboutBox();
TSetupDlg *setupDlg();
TFormText *formText();
