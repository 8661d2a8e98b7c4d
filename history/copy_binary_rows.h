// The rows of a PostgreSQL COPY in binary form, read message by message: an 11-byte signature,
// flags and a header extension before the first row; each row its field count, then per field a
// length (-1 for NULL) and that many bytes, integers big-endian; a count of -1 ends the data.
// Every message holds whole rows (the first one the header before them). Anything else (a
// truncated field, a row of another width, a wrong signature) fails the reader for good.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace history {

class CopyBinaryRows {
public:
    // The next message; the texts read from it stay valid while it does.
    void Take(std::string_view message);
    // Starts the next row of the message, which must have `columns` fields; false at its end (or
    // at the end of the data, or on a failure).
    bool NextRow(int columns);
    // The row's next field: an integer of 2, 4 or 8 bytes (Integer: never NULL), or bytes.
    void Integer(std::int64_t& value);
    void Number(std::optional<std::int64_t>& value);
    void Text(std::string_view& text);
    bool Failed() const { return failed_; }

private:
    // A signed big-endian integer of `size` bytes.
    bool Fixed(std::size_t size, std::int64_t& value);

    std::string_view rest_;
    bool headerRead_ = false;
    bool failed_ = false;
};

} // namespace history
