#include "app/numbered_error.h"

#include <cerrno>

namespace plovix {

NumberedError numberedErrorOf(std::error_code error) {
    if (error.category() == std::system_category() || error.category() == std::generic_category()) {
        switch (error.value()) {
            case ENOSPC:
            case EDQUOT:
            case EFBIG:
                return {kErrDiskFull, "Disk full"};
            case EACCES:
            case EPERM:
            case EROFS:
                return {kErrPermission, "Permission denied"};
            case ENOENT:
            case ENOTDIR:
                return {kErrPathNotFound, "Path not found"};
            default:
                break;
        }
    }
    return {kErrFileAccess, "Path/File access error (" + error.message() + ")"};
}

std::string errorText(const NumberedError& error) {
    if (error.number == 0) return error.description;
    return "Error: " + std::to_string(error.number) + " - " + error.description;
}

}  // namespace plovix
