#pragma once

#include <string>
#include <vector>

namespace quorvel::testing {

// One typed or pasted input and what the one input rule of the command line and the window
// makes of it: the number it reads, or the reason it is refused ("'TEXT' is not ...", which
// each front end prefixes with the input's name).
struct InputRuleRow {
    std::string name;
    std::string text;
    // Degrees of freedom, which must be whole; otherwise the value of a cumulative probability.
    bool degreesOfFreedom = false;
    // Empty when the text is taken.
    std::string refusal;
    double number = 0.0;
};

inline std::vector<InputRuleRow> inputRuleRows() {
    const std::string notFinite = " is not a finite decimal number";
    const std::string notWhole = " is not a whole number of degrees of freedom";
    const auto quoted = [](const std::string& text) { return "'" + text + "'"; };
    const std::string nines(320, '9');
    std::vector<InputRuleRow> rows{
        {"beyond the double range", "1e400", false, {}, 0.0},
        {"320 nines", nines, false, {}, 0.0},
        {"below the smallest subnormal", "1e-400", false, {}, 0.0},
        {"NaN", "nan", false, {}, 0.0},
        {"infinity", "inf", false, {}, 0.0},
        {"negative infinity", "-inf", false, {}, 0.0},
        {"hexadecimal", "0x10", false, {}, 0.0},
        {"an exponent without digits", "1e", false, {}, 0.0},
        {"two points", "1.2.3", false, {}, 0.0},
        {"fractional Df", "2.9", true, {}, 0.0},
        {"Df beyond the double range", "1e400", true, {}, 0.0},
    };
    for (InputRuleRow& row : rows) {
        row.refusal =
            quoted(row.text) + (row.degreesOfFreedom && row.text == "2.9" ? notWhole : notFinite);
    }
    rows.push_back({"scientific notation", "1e-3", false, {}, 1e-3});
    rows.push_back({"upper-case exponent", "2.5E-1", false, {}, 0.25});
    rows.push_back({"leading plus", "+0.5", false, {}, 0.5});
    rows.push_back({"whole Df in scientific notation", "2.5e3", true, {}, 2500.0});
    rows.push_back({"whole Df with a point", "12.", true, {}, 12.0});
    return rows;
}

}  // namespace quorvel::testing
