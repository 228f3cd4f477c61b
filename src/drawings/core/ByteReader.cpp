#include "drawings/core/ByteReader.h"

#include <cstring>

size_t MemorySource::ReadAt(uint64_t offset, void* buffer, size_t count) {
    if (count == 0 || offset >= size_) return 0;
    const size_t n = count < size_ - offset ? count : static_cast<size_t>(size_ - offset);
    std::memcpy(buffer, data_ + offset, n);
    return n;
}

ByteReader::ByteReader(ByteSource& source, uint64_t position)
    : source_(source), size_(source.Size()), position_(0) {
    Seek(position);
}

void ByteReader::Seek(uint64_t position) {
    if (!ok_) return;
    if (position > size_) {
        ok_ = false;
        return;
    }
    position_ = position;
}

void ByteReader::Skip(uint64_t count) {
    if (ok_ && count > size_ - position_) {
        ok_ = false;
        return;
    }
    Seek(position_ + count);
}

// The one place where bytes are taken: all of them or a failure.
bool ByteReader::Read(void* out, size_t count) {
    if (ok_ && count <= size_ - position_ && source_.ReadAt(position_, out, count) == count) {
        position_ += count;
        return true;
    }
    ok_ = false;
    if (count) std::memset(out, 0, count);
    return false;
}

uint8_t ByteReader::U8() {
    uint8_t b = 0;
    Read(&b, 1);
    return b;
}

uint16_t ByteReader::U16() {
    uint8_t b[2];
    Read(b, 2);
    return static_cast<uint16_t>(b[0] | b[1] << 8);
}

uint32_t ByteReader::U32() {
    uint8_t b[4];
    Read(b, 4);
    return static_cast<uint32_t>(b[0]) | static_cast<uint32_t>(b[1]) << 8 |
           static_cast<uint32_t>(b[2]) << 16 | static_cast<uint32_t>(b[3]) << 24;
}

bool ByteReader::Bytes(void* out, size_t count) {
    return Read(out, count);
}
