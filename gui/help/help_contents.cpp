#include "gui/help/help_contents.h"

#include <algorithm>

namespace quorvel {

namespace {
constexpr std::size_t kIndentPerLevel = 2;
}  // namespace

std::vector<HelpTopic> parseHelpContents(std::string_view file) {
    std::vector<HelpTopic> topics;
    while (!file.empty()) {
        const std::size_t end = file.find('\n');
        std::string_view line = file.substr(0, end);
        file.remove_prefix(end == std::string_view::npos ? file.size() : end + 1);
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }

        const std::size_t indent = std::min(line.find_first_not_of(' '), line.size());
        line.remove_prefix(indent);
        const std::size_t gap = line.find(' ');
        const std::size_t titleStart =
            gap == std::string_view::npos ? gap : line.find_first_not_of(' ', gap);
        if (line.empty() || line.front() == '#' || titleStart == std::string_view::npos) {
            continue;
        }
        std::string_view title = line.substr(titleStart);
        title.remove_suffix(title.size() - 1 - title.find_last_not_of(' '));
        const int deepestAllowed = topics.empty() ? 0 : topics.back().depth + 1;
        const int depth = std::min(static_cast<int>(indent / kIndentPerLevel), deepestAllowed);
        topics.push_back({depth, std::string(line.substr(0, gap)), std::string(title)});
    }
    return topics;
}

}  // namespace quorvel
