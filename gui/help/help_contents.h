#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace quorvel {

// One entry of the help's table of contents: its nesting depth (0 at the top), the page it
// opens and its title.
struct HelpTopic {
    int depth;
    std::string page;
    std::string title;
};

// Reads a table of contents, one topic a line: two leading blanks per level of nesting, the
// page's file name, a blank, the title. Empty lines and lines starting with "#" are skipped,
// as is a line without a title. A topic nested more than one level below the one before it
// is lifted to one level below it, so every topic has a parent.
std::vector<HelpTopic> parseHelpContents(std::string_view file);

}  // namespace quorvel
