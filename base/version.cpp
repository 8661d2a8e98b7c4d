#include "base/version.h"

const char* ProgramVersion() {
    return K720_VERSION;
}
