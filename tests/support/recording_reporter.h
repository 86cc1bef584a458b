#pragma once

#include "numerics/foundations/failure/recording_reporter.h"

namespace quorvel::testing {

// Tests record the messages a routine shows, in order, instead of showing a box.
using quorvel::RecordingReporter;

}  // namespace quorvel::testing
