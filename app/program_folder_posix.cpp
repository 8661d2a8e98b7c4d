#include <QCoreApplication>

#include "app/program_folder.h"

QString ProgramFolder() {
    return QCoreApplication::applicationDirPath();
}
