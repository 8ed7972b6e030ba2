#pragma once

#include <string>
#include <string_view>

namespace brimble {

// The texts that a build shows, shared by the window and the command line. Paths are put in
// as the user gave them, without quotation marks.
inline constexpr std::string_view kProgramCaption = "Brimble 1.1";
inline constexpr std::string_view kFailureCaption = "Oh no!";
inline constexpr std::string_view kDoneMessage = "Done!";

std::string CantOpenMessage(std::string_view path);  // "Can't open %s."
std::string CantWriteMessage(std::string_view path); // "Can't write to %s."

} // namespace brimble
