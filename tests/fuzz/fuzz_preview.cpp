// The preview reader on any bytes. Whatever the file holds: reading stays in
// bounds, and the result is either no image or a well-formed 8-bit block
// whose size is exactly what its header says; the same bytes loaded again
// with the same object give the same block.
//
// Input: the bytes of the file (a drawing, a bitmap file or anything else).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "drawings/core/PreviewCore.h"

namespace {

// Large pictures cost time, not paths: a smaller cap lets the fuzzer try more.
constexpr size_t kMaxBytes = 1u << 20;

void Check(bool ok) {
    if (!ok) std::abort();
}

uint32_t U32(const std::vector<uint8_t>& b, size_t at) {
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<uint32_t>(b[at + 3]) << 24;
}

void CheckWellFormed(const std::vector<uint8_t>& block) {
    Check(block.size() >= 40 && block.size() <= kMaxBytes);
    Check(U32(block, 0) == 40);
    const int32_t width = static_cast<int32_t>(U32(block, 4));
    const int32_t height = static_cast<int32_t>(U32(block, 8));
    Check(width > 0 && height != 0 && height != INT32_MIN);
    Check((U32(block, 12) >> 16) == 8);  // bit count
    Check(U32(block, 16) == 0);          // compression
    const uint64_t colours = U32(block, 32) ? U32(block, 32) : 256;
    Check(colours <= 256);
    const uint64_t rows = height < 0 ? -static_cast<int64_t>(height) : height;
    const uint64_t pixels = ((static_cast<uint64_t>(width) + 3) / 4 * 4) * rows;
    Check(U32(block, 20) == pixels);
    Check(block.size() == 40 + 4 * colours + pixels);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static PreviewCore core(kMaxBytes);
    MemorySource file(data, size);
    const std::vector<uint8_t> block = core.Load(file);
    if (!block.empty()) CheckWellFormed(block);
    Check(core.Load(file) == block);
    return 0;
}
