#include "sim/reading_encoder.h"

namespace {

class BitPacker {
public:
    void Put(unsigned value, int width) {
        for (int bit = width - 1; bit >= 0; --bit) {
            if ((value >> bit) & 1U) {
                bytes_[position_ / 8] |= static_cast<std::uint8_t>(0x80U >> (position_ % 8));
            }
            ++position_;
        }
    }
    const ReadingRecord& Bytes() const { return bytes_; }

private:
    ReadingRecord bytes_{};
    int position_ = 0;
};

unsigned Field(int value, int width) {
    return static_cast<unsigned>(value) & ((1U << width) - 1U);
}

} // namespace

ReadingRecord EncodeReading(const ReadingCodes& c) {
    BitPacker packer;
    packer.Put(0, 1);
    packer.Put(Field(c.year - 2006, 5), 5);
    packer.Put(Field(c.month, 4), 4);
    packer.Put(Field(c.day, 5), 5);
    packer.Put(Field(c.hour, 5), 5);
    packer.Put(Field(c.minute, 6), 6);
    packer.Put(Field(c.resistanceRange, 2), 2);
    packer.Put(Field(c.resistance, 12), 12);
    packer.Put(Field(c.voltageRange, 1), 1);
    packer.Put(Field(c.voltage, 14), 14);
    packer.Put(Field(c.temperature, 10), 10);
    packer.Put(Field(c.result, 2), 2);
    packer.Put(Field(c.limit1, 12), 12);
    packer.Put(Field(c.limit2, 12), 12);
    packer.Put(Field(c.voltageLimit, 13), 13);
    return packer.Bytes();
}
