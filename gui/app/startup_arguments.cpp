#include "gui/app/startup_arguments.h"

namespace quorvel {

namespace {

constexpr const char* kVersionLine = "quorvel " QUORVEL_VERSION "\n";

constexpr const char* kHelpText =
    R"(Usage: quorvel [--help | --version] [Qt options]

Opens the window "Noncentral Distributions with Interval Estimation": the cumulative
probability, the percentage point, the noncentrality and a confidence interval for the
noncentrality of the noncentral F, t and chi-square distributions. F1 in the window opens
its help.

  --help, -h   print this text and exit
  --version    print the version (quorvel )" QUORVEL_VERSION R"() and exit
Qt's own options, such as -platform NAME or -style NAME, are accepted as well.

quorvel-cli computes the same quantities from a terminal (quorvel-cli --help).
)";

}  // namespace

std::optional<std::string> answerWithoutWindow(const std::vector<std::string>& arguments) {
    for (const std::string& argument : arguments) {
        if (argument == "--help" || argument == "-h") {
            return kHelpText;
        }
        if (argument == "--version") {
            return kVersionLine;
        }
    }
    return std::nullopt;
}

}  // namespace quorvel
