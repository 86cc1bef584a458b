#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>

namespace quorvel {

// Reads a popup text file: a line ".topic ID" (ID in decimal or 0x-hexadecimal) starts the
// text kept under that context-help identifier, and the lines up to the next ".topic" line
// are its text. Lines are trimmed and joined with a blank; an empty line starts a new
// paragraph ("\n"). Lines before the first topic and the lines of a topic whose ID is not a
// number are skipped; a later topic with the same ID replaces the earlier one.
std::map<std::uint32_t, std::string> parsePopupTexts(std::string_view file);

}  // namespace quorvel
