#pragma once

#include <cstddef>
#include <istream>
#include <string>
#include <string_view>
#include <vector>

namespace quorvel::batch {

// One record of a CSV stream (RFC 4180: fields separated by commas, optionally in double
// quotes with "" for a quote; a quoted field may hold commas and line ends; CRLF or LF ends a
// record).
struct CsvRecord {
    std::vector<std::string> fields;
    // Set when the record broke a limit or the quoting; its fields are then not to be trusted.
    std::string problem;
};

// Reads records one at a time, so that memory does not grow with the length of the stream. A
// record longer than the limit is consumed to its end and returned with a problem.
class CsvReader {
  public:
    static constexpr std::size_t kMaxRecordLength = 1 << 20;

    explicit CsvReader(std::istream& stream) : stream_(stream) {}

    // The next record, or false at the end of the stream.
    bool next(CsvRecord& record);

  private:
    std::istream& stream_;
};

// A field as CSV writes it: quoted when it holds a comma, a quote or a line end.
std::string csvField(std::string_view text);

}  // namespace quorvel::batch
