#pragma once

#include <array>
#include <cstddef>
#include <map>
#include <optional>
#include <ostream>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "model/computation.h"
#include "model/effects/effect_request.h"
#include "model/effects/effects.h"
#include "model/request_model.h"

namespace quorvel::batch {

// The batch file format, for everything that reads or writes it: the command line's batch
// mode, and the window's record of computations, whose export is a batch file. Free of Qt.

// What one row asks for: a distribution quantity or an effect quantity.
using BatchRequest = std::variant<ComputeRequest, EffectRequest>;

// The input columns, in the order a file the program writes has them.
enum class InputColumn {
    Distribution,
    Quantity,
    Value,
    Df1,
    Df2,
    Noncentrality,
    CumP,
    PLower,
    PUpper,
    Confidence,
    N,
    N1,
    N2,
    Alpha,
    Power,
    Sides,
    Design,
    Effect,
    Rows,
    Cols,
    Alternative
};
inline constexpr std::size_t kInputColumnCount = 21;

// The columns the batch writes after a row's input columns, in this order.
enum class OutputColumn { Result, Lower, Upper, Status, Messages, AchievedPower };
inline constexpr std::size_t kOutputColumnCount = 6;

// The input columns of the study designs, after the output columns in the record's layout.
enum class DesignColumn {
    Groups,
    Cells,
    Covariates,
    Measurements,
    Correlation,
    Epsilon,
    Predictors,
    Tested,
    R2,
    R2Reduced,
    Margin,
    Rmsea0,
    Rmsea1,
    Ratio
};
inline constexpr std::size_t kDesignColumnCount = 14;

// The names in a header: "distribution", ..., "alternative"; "result", ..., "achieved_power";
// "groups", ..., "ratio".
std::string_view columnName(InputColumn column);
std::string_view columnName(OutputColumn column);
std::string_view columnName(DesignColumn column);

// A row's status: computed without a message, computed with a calculation error shown, or not
// read at all.
inline constexpr std::string_view kStatusOk = "ok";
inline constexpr std::string_view kStatusFailed = "failed";
inline constexpr std::string_view kStatusInvalid = "invalid";

// The messages of a row joined into its messages column.
inline constexpr std::string_view kMessageSeparator = " | ";
std::string joinedMessages(const std::vector<std::string>& messages);

using InputTexts = std::array<std::string, kInputColumnCount>;
using OutputTexts = std::array<std::string, kOutputColumnCount>;
using DesignTexts = std::array<std::string, kDesignColumnCount>;

// The texts of a request's input columns, which BatchHeader::request reads back as the same
// request: the names of the distribution and the quantity, and every input the quantity reads
// (numbers in their shortest exact form, Df and sizes whole); the columns it does not read are
// empty. An effect request no batch quantity computes gives empty texts.
InputTexts inputTexts(const BatchRequest& request);
// The texts of a study design's own input columns, as inputTexts; empty for the rest.
DesignTexts designTexts(const BatchRequest& request);

// The output columns of a computed row: result (a value, estimate, power or N), lower and
// upper (an interval's or estimate's limits), all with 17 significant digits; status; the
// messages of a failed row, or the note of an estimate; the power a sample size reaches.
OutputTexts outputTexts(const ComputeRequest& request, const ComputeOutcome& outcome);
OutputTexts outputTexts(const EffectRequest& request, const EffectOutcome& outcome);
// The output columns of a row that could not be read, with the reason.
OutputTexts invalidOutputs(std::string reason);

// How a row's numbers are read: as the command line reads them (finite decimals only), or as
// the program writes them into its record of computations, where a refused or failed
// computation may have left "inf", "-inf" or "nan" and the row must still read back.
enum class NumberReading { FiniteOnly, AsWritten };

// Where each column stands in a header row.
class BatchHeader {
  public:
    // Reads a header row: input column names in any order and case ("df" for "df1"), output
    // column names (what an earlier run wrote, so that a file the program wrote reads again;
    // they are no input), and the names the caller adds (`extraColumns`, lower case). Nothing
    // when a name is unknown or repeated, or "distribution" or "quantity" is missing; then
    // `problem` says why.
    static std::optional<BatchHeader> read(const std::vector<std::string>& names,
                                           std::string& problem,
                                           std::span<const std::string_view> extraColumns = {});

    std::size_t size() const { return size_; }
    // Whether the column at `position` is an output column.
    bool isOutput(std::size_t position) const;
    std::optional<std::size_t> position(OutputColumn column) const;
    std::optional<std::size_t> position(std::string_view extraColumn) const;

    // The request of a row with as many fields as the header, or nothing with the reason (an
    // unknown distribution or quantity, a missing input, a number that cannot be read, a rule
    // of the effect quantities). Columns the quantity does not read are not looked at.
    std::optional<BatchRequest> request(const std::vector<std::string>& fields, std::string& reason,
                                        NumberReading reading = NumberReading::FiniteOnly) const;

  private:
    std::size_t size_ = 0;
    std::optional<std::size_t> distribution_;
    std::optional<std::size_t> quantity_;
    std::map<RequestInput, std::size_t> inputs_;
    std::map<EffectInput, std::size_t> effectInputs_;
    std::array<std::optional<std::size_t>, kOutputColumnCount> outputs_{};
    std::map<std::string, std::size_t, std::less<>> extras_;
};

// Writes one CSV record: the fields, quoted where they need it, separated by commas, ending
// with a line end.
void writeCsvRecord(std::ostream& output, std::span<const std::string> fields);

}  // namespace quorvel::batch
