#include "history/copy_binary_rows.h"

namespace history {

void CopyBinaryRows::Take(std::string_view message) {
    rest_ = message;
    if (headerRead_) {
        return;
    }
    headerRead_ = true;
    constexpr std::string_view kSignature("PGCOPY\n\377\r\n\0", 11);
    std::int64_t flags = 0, extension = 0;
    failed_ = failed_ || !rest_.starts_with(kSignature);
    rest_.remove_prefix(failed_ ? 0 : kSignature.size());
    failed_ = failed_ || !Fixed(4, flags) || !Fixed(4, extension) || extension < 0 ||
              static_cast<std::size_t>(extension) > rest_.size();
    rest_.remove_prefix(failed_ ? 0 : static_cast<std::size_t>(extension));
}

bool CopyBinaryRows::NextRow(int columns) {
    std::int64_t fields = 0;
    if (failed_ || rest_.empty() || !Fixed(2, fields) || fields == -1) {
        return false;
    }
    failed_ = fields != columns;
    return !failed_;
}

void CopyBinaryRows::Integer(std::int64_t& value) {
    std::optional<std::int64_t> number;
    Number(number);
    failed_ = failed_ || !number;
    value = number.value_or(0);
}

void CopyBinaryRows::Number(std::optional<std::int64_t>& value) {
    std::int64_t length = 0, number = 0;
    value.reset();
    if (Fixed(4, length) && length != -1) {
        failed_ = failed_ || (length != 2 && length != 4 && length != 8) ||
                  !Fixed(static_cast<std::size_t>(length), number);
        value = number;
    }
}

void CopyBinaryRows::Text(std::string_view& text) {
    std::int64_t length = 0;
    text = {};
    if (!Fixed(4, length) || length < 0 || static_cast<std::size_t>(length) > rest_.size()) {
        failed_ = true;
        return;
    }
    text = rest_.substr(0, static_cast<std::size_t>(length));
    rest_.remove_prefix(text.size());
}

bool CopyBinaryRows::Fixed(std::size_t size, std::int64_t& value) {
    if (failed_ || rest_.size() < size) {
        failed_ = true;
        return false;
    }
    std::uint64_t bits = 0;
    for (std::size_t i = 0; i < size; ++i) {
        bits = bits << 8 | static_cast<unsigned char>(rest_[i]);
    }
    // Sign-extended from its top bit.
    const unsigned shift = static_cast<unsigned>(64 - 8 * size);
    value = static_cast<std::int64_t>(bits << shift) >> shift;
    rest_.remove_prefix(size);
    return true;
}

} // namespace history
