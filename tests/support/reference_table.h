#pragma once

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace quorvel::testing {

// One row of a high-precision reference table made by a script under tests/reference/ with
// mpmath at 40 digits: a family's quantity at its arguments, the exact value rounded to 20
// significant digits, and the region it belongs to (body, lower tail, upper tail, large Df,
// large noncentrality, ...), by which the accuracy is reported. The arguments a quantity does
// not take are 0: cdf, upper and pdf take x, the Df and the noncentrality; value (lower-tail
// probability) and value_upper take the probability, the Df and the noncentrality;
// noncentrality and noncentrality_upper take x, the Df and the probability; interval_lower and
// interval_upper take x, the Df and the confidence level as the probability.
struct ReferenceRow {
    std::string family;    // f, t or chisq
    std::string quantity;  // cdf, upper, pdf, value, noncentrality, ...
    std::string region;
    double x = 0.0;        // the value, or the probability of an inverse
    double df1 = 0.0;
    double df2 = 0.0;      // 0 for t and chi-square
    double noncentrality = 0.0;
    double probability = 0.0;
    double expected = 0.0;
};

// Reads a reference table: a header line "family,quantity,region,x,df1,df2,noncentrality,
// probability,expected", then one row a line; lines starting with # are comments. Throws on a
// malformed
// row, so that a damaged table fails its test instead of silently checking less.
inline std::vector<ReferenceRow> readReferenceTable(const std::string& path) {
    std::ifstream in(path);
    if (!in) throw std::runtime_error("cannot open reference table " + path);
    std::vector<ReferenceRow> rows;
    std::string line;
    bool headerSeen = false;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') continue;
        if (!headerSeen) {
            headerSeen = true;
            continue;
        }
        std::vector<std::string> fields;
        std::stringstream cells(line);
        for (std::string cell; std::getline(cells, cell, ',');) fields.push_back(cell);
        if (fields.size() != 9) throw std::runtime_error("malformed reference row: " + line);
        auto number = [&line](const std::string& text) {
            char* end = nullptr;
            const double value = std::strtod(text.c_str(), &end);
            if (end == text.c_str() || *end != '\0')
                throw std::runtime_error("malformed number in reference row: " + line);
            return value;
        };
        rows.push_back({fields[0], fields[1], fields[2], number(fields[3]), number(fields[4]),
                        number(fields[5]), number(fields[6]), number(fields[7]),
                        number(fields[8])});
    }
    return rows;
}

}  // namespace quorvel::testing
