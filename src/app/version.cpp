#include "app/version.h"

#include "version_numbers.h"

namespace plovix {

std::string appVersionText() {
    return std::to_string(PLOVIX_VERSION_MAJOR) + "." + std::to_string(PLOVIX_VERSION_MINOR) + "." +
           std::to_string(PLOVIX_VERSION_PATCH) + " ";
}

}  // namespace plovix
