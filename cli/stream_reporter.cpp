#include "cli/stream_reporter.h"

namespace quorvel::cli {

void StreamReporter::show(std::string_view message) {
    stream_ << message << '\n' << std::flush;
}

}  // namespace quorvel::cli
