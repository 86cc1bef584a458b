#pragma once

#include <functional>
#include <istream>
#include <ostream>
#include <string>
#include <vector>

#include "model/computation.h"
#include "model/effects/effects.h"

namespace quorvel::cli {

// Exit status of a batch: 0 when every row is ok, 1 when any row failed (a calculation error
// was shown), 2 when any row is invalid or the header is unusable.
enum BatchStatus { kBatchOk = 0, kBatchFailedRow = 1, kBatchInvalid = 2 };

// Reads CSV with a header naming any of distribution, quantity, value, df1 (or df), df2,
// noncentrality, cump, confidence and, for the effect quantities, n, n1, n2, alpha, power,
// sides, design, effect, and writes for every input row the row as read followed by result,
// lower, upper, status (ok, failed or invalid), messages and achieved_power (a sample size's). A
// header may also name those output columns, as a file the program wrote does (a batch's output,
// the window's exported record): they are left out of the row as written and computed afresh,
// so that such a file run again gives a file of the same columns. Any other column makes the
// header unusable. Rows stream through one at a time; a bad row never stops the run.
// Diagnostics about the header go to `errors`. The format itself is batch_format.h's.
int runBatch(std::istream& input, std::ostream& output, std::ostream& errors);

// Computes one row, appending every calculation-error message shown to `messages`; the
// outcome says whether the row failed.
using RowComputation = std::function<ComputeOutcome(const ComputeRequest& request,
                                                    std::vector<std::string>& messages)>;

// Computes one effect-size, power or sample-size row, likewise.
using EffectRowComputation =
    std::function<EffectOutcome(const EffectRequest& request, std::vector<std::string>& messages)>;

// runBatch with the computation of a row supplied by the caller (the reading and writing of the
// CSV alone, as the fuzz test exercises it).
int runBatch(std::istream& input, std::ostream& output, std::ostream& errors,
             const RowComputation& compute, const EffectRowComputation& computeEffectRow);

}  // namespace quorvel::cli
