// Random-access bytes and a bounds-checked little-endian reader over them.
// Every read goes through one check; the first read that does not fit sets a
// failure flag that stays set, and from then on every read gives zeros. A
// parser reads a whole record and looks at Ok() once. No windows.h here.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// Bytes that can be read at any offset: a file or memory.
class ByteSource {
  public:
    virtual ~ByteSource() = default;
    virtual uint64_t Size() const = 0;
    // Reads up to count bytes at offset into buffer and returns how many were
    // read: fewer only at the end of the bytes or when reading fails.
    virtual size_t ReadAt(uint64_t offset, void* buffer, size_t count) = 0;
};

// Bytes in memory, not owned.
class MemorySource : public ByteSource {
  public:
    MemorySource(const uint8_t* data, size_t size) : data_(data), size_(data ? size : 0) {}
    explicit MemorySource(const std::vector<uint8_t>& bytes)
        : MemorySource(bytes.data(), bytes.size()) {}
    uint64_t Size() const override { return size_; }
    size_t ReadAt(uint64_t offset, void* buffer, size_t count) override;

  private:
    const uint8_t* data_;
    size_t size_;
};

class ByteReader {
  public:
    explicit ByteReader(ByteSource& source, uint64_t position = 0);

    bool Ok() const { return ok_; }
    uint64_t Position() const { return position_; }
    uint64_t Size() const { return size_; }
    // Bytes from the position to the end; 0 after a failure.
    uint64_t Remaining() const { return ok_ ? size_ - position_ : 0; }

    // A position beyond the end is a failure (the read after it would be).
    void Seek(uint64_t position);
    void Skip(uint64_t count);

    uint8_t U8();
    int8_t I8() { return static_cast<int8_t>(U8()); }
    uint16_t U16();
    uint32_t U32();
    int32_t I32() { return static_cast<int32_t>(U32()); }
    // Exactly count bytes into out, or a failure (out then holds zeros).
    bool Bytes(void* out, size_t count);

  private:
    bool Read(void* out, size_t count);

    ByteSource& source_;
    uint64_t size_;
    uint64_t position_;
    bool ok_ = true;
};
