#pragma once

#include <optional>
#include <string>
#include <vector>

namespace quorvel {

// What `quorvel` prints for --help or --version (arguments without the program name), or
// nothing when the window should open. Both are answered before the application object
// exists, so they work without a display; any other argument is left to Qt, which reads its
// own options (-platform, -style, ...) and ignores the rest.
std::optional<std::string> answerWithoutWindow(const std::vector<std::string>& arguments);

}  // namespace quorvel
