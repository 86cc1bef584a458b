#pragma once

#include <string>

namespace quorvel {

// A computed number as the windows show it, read with the eye: six significant digits, or five
// more than the 9s that follow "0." where that is more (so a probability near 1 keeps its
// distance from 1 to at least five digits: 0.99999997, not 1); every integer digit up to 17
// (40528473, not 4.05285e+07), a round one with zeros after its shortest digits (70, not
// 7e+01); scientific notation below 1e-4 in magnitude (1.24955e-13) and
// from 1e17; trailing zeros dropped, and never more digits than the shortest text that reads
// back as the same double, so no noise digit shows (0.225, not 0.22500000000000001). Zero is
// "0", the infinities "inf" and "-inf", NaN "nan".
std::string shownNumber(double value);

}  // namespace quorvel
