#include "gui/help/popup_texts.h"

#include <charconv>
#include <optional>

namespace quorvel {

namespace {

constexpr std::string_view kTopicKeyword = ".topic";
constexpr std::string_view kBlanks = " \t\r";

std::string_view trimmed(std::string_view text) {
    const std::size_t first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

std::optional<std::uint32_t> parseId(std::string_view text) {
    int base = 10;
    if (text.starts_with("0x") || text.starts_with("0X")) {
        text.remove_prefix(2);
        base = 16;
    }
    std::uint32_t id = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), id, base);
    if (error != std::errc() || end != text.data() + text.size() || text.empty()) {
        return std::nullopt;
    }
    return id;
}

void appendLine(std::string& text, std::string_view line) {
    if (line.empty()) {
        if (!text.empty() && text.back() != '\n') {
            text += '\n';
        }
        return;
    }
    if (!text.empty() && text.back() != '\n') {
        text += ' ';
    }
    text += line;
}

void finish(std::string& text) {
    while (!text.empty() && text.back() == '\n') {
        text.pop_back();
    }
}

}  // namespace

std::map<std::uint32_t, std::string> parsePopupTexts(std::string_view file) {
    std::map<std::uint32_t, std::string> texts;
    std::string* current = nullptr;
    while (!file.empty()) {
        const std::size_t end = file.find('\n');
        const std::string_view line = trimmed(file.substr(0, end));
        file.remove_prefix(end == std::string_view::npos ? file.size() : end + 1);

        if (line.starts_with(kTopicKeyword)) {
            if (current != nullptr) {
                finish(*current);
            }
            const std::optional<std::uint32_t> id =
                parseId(trimmed(line.substr(kTopicKeyword.size())));
            current = id ? &(texts[*id] = std::string()) : nullptr;
        } else if (current != nullptr) {
            appendLine(*current, line);
        }
    }
    if (current != nullptr) {
        finish(*current);
    }
    return texts;
}

}  // namespace quorvel
