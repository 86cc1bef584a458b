#pragma once

#include <string>
#include <vector>

namespace quorvel::testing {

struct CliRun {
    int exitStatus = -1;
    std::string out;
    std::string err;
};

// Runs the quorvel-cli binary with the arguments (and optional standard input) as a user
// would, and collects what it prints.
CliRun runCli(const std::vector<std::string>& arguments, const std::string& input = "");

}  // namespace quorvel::testing
