#include <QCoreApplication>

#include "program_folder.h"

QString ProgramFolder() {
    return QCoreApplication::applicationDirPath();
}
