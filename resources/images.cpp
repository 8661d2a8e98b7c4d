#include "resources/images.h"

#include <QString>

void InitImageResources() {
    // Names the resource object of the static library, so the linker keeps it.
    Q_INIT_RESOURCE(images);
}

QIcon ProgramIcon() {
    QIcon icon;
    for (const int size : {16, 32, 48, 256}) {
        icon.addFile(QStringLiteral(":/images/icon_%1.png").arg(size), QSize(size, size));
    }
    return icon;
}
