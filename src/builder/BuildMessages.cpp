#include "BuildMessages.h"

namespace brimble {

std::string CantOpenMessage(std::string_view path) {
    return "Can't open " + std::string(path) + ".";
}

std::string CantWriteMessage(std::string_view path) {
    return "Can't write to " + std::string(path) + ".";
}

} // namespace brimble
