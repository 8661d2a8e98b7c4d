// CMainApp: the application object. It gives every dialog window the grey face and black text of
// the program, runs the main window and ends the program when that window closes, also when the
// system asks the program to end (termination_requests.h).
#pragma once

#include <QApplication>

#include "app/main_window.h"

class CMainApp : public QApplication {
    Q_OBJECT

public:
    CMainApp(int& argc, char** argv);

    // Shows the main window and runs until it has closed; returns the program's exit code.
    int Run(MainWindowOptions options);
};

// Grey RGB(192,192,192) window background and black text for every window of `application`.
void ApplyDialogLook(QApplication& application);
