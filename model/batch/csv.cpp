#include "model/batch/csv.h"

namespace quorvel::batch {

bool CsvReader::next(CsvRecord& record) {
    record.fields.clear();
    record.problem.clear();
    std::string field;
    std::size_t length = 0;
    bool quoted = false;     // inside a quoted field
    bool wasQuoted = false;  // the current field began with a quote
    bool anything = false;
    int c = 0;
    while ((c = stream_.get()) != std::char_traits<char>::eof()) {
        anything = true;
        if (++length > kMaxRecordLength && record.problem.empty()) {
            record.problem =
                "record longer than " + std::to_string(kMaxRecordLength) + " characters";
        }
        const char ch = static_cast<char>(c);
        if (quoted) {
            if (ch == '"') {
                if (stream_.peek() == '"') {
                    stream_.get();
                    field += '"';
                } else {
                    quoted = false;
                }
            } else {
                field += ch;
            }
        } else if (ch == '"' && field.empty() && !wasQuoted) {
            quoted = true;
            wasQuoted = true;
        } else if (ch == ',') {
            if (record.problem.empty()) {
                record.fields.push_back(std::move(field));
            }
            field.clear();
            wasQuoted = false;
        } else if (ch == '\n') {
            break;
        } else if (ch == '\r' && stream_.peek() == '\n') {
            continue;
        } else {
            if (wasQuoted && record.problem.empty()) {
                record.problem = "text after a closing quote";
            }
            field += ch;
        }
        if (!record.problem.empty()) {
            // Keep memory bounded: the record is reported, not used.
            field.clear();
            record.fields.clear();
        }
    }
    if (!anything) {
        return false;
    }
    if (quoted && record.problem.empty()) {
        record.problem = "a quoted field is not closed";
    }
    if (record.problem.empty()) {
        record.fields.push_back(std::move(field));
    } else {
        record.fields.clear();
    }
    return true;
}

std::string csvField(std::string_view text) {
    if (text.find_first_of(",\"\r\n") == std::string_view::npos) {
        return std::string(text);
    }
    std::string quoted = "\"";
    for (char ch : text) {
        if (ch == '"') {
            quoted += '"';
        }
        quoted += ch;
    }
    quoted += '"';
    return quoted;
}

}  // namespace quorvel::batch
