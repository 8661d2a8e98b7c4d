#include "history/readout_origin.h"

namespace history {

ReadoutOrigin OriginNow(const std::string& fileName, const std::string& program) {
    return {UtcNowText(), fileName, program, HostName()};
}

} // namespace history
