#pragma once

// Program start: the application title, then the main window, the About box,
// the setup dialog and the text window (the last three hidden). Returns
// without running the event loop; a QApplication must exist.
void startProgram();
