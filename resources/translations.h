// The Japanese edition's texts: the program's catalogue (compiled into the program) and Qt's own
// (its standard dialogs and buttons), installed into the application for Japanese.
#pragma once

#include <QCoreApplication>

#include "base/language.h"

// The folder of Qt's own catalogues: Qt's translations folder on Linux, "translations" beside the
// program on Windows (translations_posix.cpp, translations_win32.cpp).
QString QtCatalogueFolder();

// Chooses the language of the Qt-free units' texts and drops the catalogues installed by an
// earlier call; for Japanese, loads both catalogues and installs them into the application, which
// owns them. False when a catalogue cannot be loaded (the texts stay English).
bool InstallTranslations(QCoreApplication& application, Language language);
