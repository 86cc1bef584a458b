#pragma once

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "gui/main/compute_view.h"

namespace quorvel::testing {

// A dialog made of plain data. Fields keep their text as a numeric edit would: setValue
// formats the number (the failure value as "-----Failed-----"), value() reads 0 for text that
// is not a number. Every change of a field's text calls onFieldChanged, as the real fields do.
class FakeComputeView : public ComputeView {
  public:
    static constexpr const char* kFailedText = "-----Failed-----";

    int checkedPosition(RadioGroup group) const override { return checked.at(group); }
    void checkPosition(RadioGroup group, int position) override { checked[group] = position; }

    void setVisible(int id, bool isVisible) override {
        if (isVisible) {
            hidden.erase(id);
        } else {
            hidden.insert(id);
        }
    }
    void setText(int id, std::string_view newText) override {
        texts[id] = std::string(newText);
        if (id == computeButtonId) {
            captions.emplace_back(newText);
        } else if (onFieldChanged) {
            onFieldChanged();
        }
    }
    void setReadOnly(int id, bool isReadOnly) override {
        if (isReadOnly) {
            readOnly.insert(id);
        } else {
            readOnly.erase(id);
        }
    }
    bool isReadOnly(int id) const override { return readOnly.count(id) != 0; }
    std::string text(int id) const override {
        const auto found = texts.find(id);
        return found == texts.end() ? std::string() : found->second;
    }
    double value(int id) override {
        ++reads[id];
        const std::string current = text(id);
        char* end = nullptr;
        const double parsed = std::strtod(current.c_str(), &end);
        return (current.empty() || *end != '\0') ? 0.0 : parsed;
    }
    void setValue(int id, double number) override {
        if (number == -9999.0) {
            setText(id, kFailedText);
            return;
        }
        char buffer[64];
        std::snprintf(buffer, sizeof buffer, "%.17g", number);
        setText(id, buffer);
    }
    bool isHighlighted() const override { return highlighted; }
    void setHighlight(bool on) override { highlighted = on; }

    bool visible(int id) const { return hidden.count(id) == 0; }

    int computeButtonId = 1033;
    std::map<RadioGroup, int> checked{{RadioGroup::Distribution, -1}, {RadioGroup::Quantity, -1}};
    std::set<int> hidden;
    std::set<int> readOnly;
    std::map<int, std::string> texts;
    std::map<int, int> reads;
    std::vector<std::string> captions;
    bool highlighted = false;
    std::function<void()> onFieldChanged;
};

}  // namespace quorvel::testing
