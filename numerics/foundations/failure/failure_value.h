#pragma once

namespace quorvel {

// The number every numerical routine returns after a reported failure, and that a numeric field
// shows as "-----Failed-----". Written here once; the application's Calculators holds it for
// the whole run.
inline constexpr double kFailureValue = -9999.0;

}  // namespace quorvel
