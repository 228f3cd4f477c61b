#include "stand-ins/drawings/core/PreviewPicture.h"

#include <algorithm>
#include <cstdlib>

namespace standin {

namespace {

struct Rgb {
    uint8_t r, g, b;
};

// The 16 colours of the 4-bit previews; the picture is drawn with them.
constexpr Rgb kBase16[16] = {{0, 0, 0},       {128, 0, 0},   {0, 128, 0},   {128, 128, 0},
                             {0, 0, 128},     {128, 0, 128}, {0, 128, 128}, {192, 192, 192},
                             {128, 128, 128}, {255, 0, 0},   {0, 255, 0},   {255, 255, 0},
                             {0, 0, 255},     {255, 0, 255}, {0, 255, 255}, {255, 255, 255}};

void Put16(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
}
void Put32(std::vector<uint8_t>& out, uint32_t v) {
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

// The picture as colours, row 0 at the top.
class Canvas {
  public:
    Canvas(int w, int h, unsigned seed) : w_(w), h_(h), pixels_(static_cast<size_t>(w) * h) {
        // A light background that changes down the picture, so that 24-bit
        // previews are not flat.
        for (int y = 0; y < h_; ++y)
            for (int x = 0; x < w_; ++x) {
                const int shade = 255 - (40 * y) / std::max(1, h_ - 1);
                At(x, y) = {static_cast<uint8_t>(shade), static_cast<uint8_t>(shade),
                            static_cast<uint8_t>(std::min(255, shade + 10))};
            }
        const Rgb frame = kBase16[4], ink = kBase16[0];
        const Rgb accents[] = {kBase16[9], kBase16[2], kBase16[12], kBase16[5], kBase16[3]};
        const Rgb accent = accents[seed % 5];
        Rect(1, 1, w_ - 2, h_ - 2, frame);
        Rect(3, 3, w_ - 4, h_ - 4, frame);
        // Title block in the lower right corner.
        const int tx = w_ - 4 - w_ / 3, ty = h_ - 4 - h_ / 6;
        Rect(tx, ty, w_ - 4, h_ - 4, ink);
        Line(tx, (ty + h_ - 4) / 2, w_ - 4, (ty + h_ - 4) / 2, ink);
        // A part: a plate with a bore, placed by the seed.
        const int cx = w_ / 3 + static_cast<int>(seed * 7 % std::max(1, w_ / 4));
        const int cy = h_ / 2 - static_cast<int>(seed * 3 % std::max(1, h_ / 6));
        const int r = std::max(2, std::min(w_, h_) / 5);
        Rect(cx - r - r / 2, cy - r - r / 3, cx + r + r / 2, cy + r + r / 3, ink);
        Circle(cx, cy, r / 2 + 1, accent);
        Line(cx - r - r / 2 - 3, cy, cx + r + r / 2 + 3, cy, kBase16[1]);
        Line(cx, cy - r - r / 3 - 3, cx, cy + r + r / 3 + 3, kBase16[1]);
        Line(6, h_ - 7, tx - 3, cy + r, accent);
    }

    Rgb& At(int x, int y) { return pixels_[static_cast<size_t>(y) * w_ + x]; }

  private:
    void Plot(int x, int y, Rgb c) {
        if (x >= 0 && y >= 0 && x < w_ && y < h_) At(x, y) = c;
    }
    void Line(int x0, int y0, int x1, int y1, Rgb c) {
        const int dx = std::abs(x1 - x0), dy = -std::abs(y1 - y0);
        const int sx = x0 < x1 ? 1 : -1, sy = y0 < y1 ? 1 : -1;
        int err = dx + dy;
        for (;;) {
            Plot(x0, y0, c);
            if (x0 == x1 && y0 == y1) break;
            const int e2 = 2 * err;
            if (e2 >= dy) err += dy, x0 += sx;
            if (e2 <= dx) err += dx, y0 += sy;
        }
    }
    void Rect(int x0, int y0, int x1, int y1, Rgb c) {
        Line(x0, y0, x1, y0, c);
        Line(x1, y0, x1, y1, c);
        Line(x1, y1, x0, y1, c);
        Line(x0, y1, x0, y0, c);
    }
    void Circle(int cx, int cy, int r, Rgb c) {
        int x = r, y = 0, err = 1 - r;
        while (x >= y) {
            const int pts[8][2] = {{x, y},   {y, x},   {-y, x}, {-x, y},
                                   {-x, -y}, {-y, -x}, {y, -x}, {x, -y}};
            for (auto& p : pts) Plot(cx + p[0], cy + p[1], c);
            ++y;
            if (err < 0) {
                err += 2 * y + 1;
            } else {
                --x;
                err += 2 * (y - x) + 1;
            }
        }
    }

    int w_, h_;
    std::vector<Rgb> pixels_;
};

std::vector<Rgb> PaletteFor(int bits) {
    std::vector<Rgb> palette;
    switch (bits) {
        case 1:
            palette = {{0, 0, 0}, {255, 255, 255}};
            break;
        case 4:
            for (const Rgb& c : kBase16) palette.push_back(c);
            break;
        case 8:
            // The 16 colours first, then a grey ramp for the background.
            for (const Rgb& c : kBase16) palette.push_back(c);
            for (int i = 0; i < 240; ++i) {
                const uint8_t v = static_cast<uint8_t>(i * 255 / 239);
                palette.push_back({v, v, v});
            }
            break;
        default:
            break;
    }
    return palette;
}

uint8_t Nearest(const std::vector<Rgb>& palette, Rgb c) {
    int best = 0;
    long bestDistance = -1;
    for (size_t i = 0; i < palette.size(); ++i) {
        const long dr = c.r - palette[i].r, dg = c.g - palette[i].g, db = c.b - palette[i].b;
        const long d = dr * dr + dg * dg + db * db;
        if (bestDistance < 0 || d < bestDistance) bestDistance = d, best = static_cast<int>(i);
    }
    return static_cast<uint8_t>(best);
}

int BitsOf(Preview kind) {
    switch (kind) {
        case Preview::Bmp1:
        case Preview::Core1:
            return 1;
        case Preview::Bmp4:
        case Preview::Rle4:
        case Preview::Core4:
            return 4;
        case Preview::Bmp8:
        case Preview::Rle8:
        case Preview::Core8:
            return 8;
        case Preview::Bmp24:
        case Preview::Core24:
            return 24;
        case Preview::Bmp32:
            return 32;
        default:
            return 0;
    }
}

bool IsCore(Preview kind) {
    return kind == Preview::Core1 || kind == Preview::Core4 || kind == Preview::Core8 ||
           kind == Preview::Core24;
}

// Run-length codes of rows of palette indices (8 or 4 bits each): runs of one
// colour, pixels as they are where colours change, a move over longer runs of
// colour 0 (a reader leaves skipped pixels 0), end of line, end of bitmap.
class RleWriter {
  public:
    explicit RleWriter(bool rle4) : rle4_(rle4) {}

    void Row(const std::vector<uint8_t>& p, bool last) {
        const size_t w = p.size();
        size_t i = 0;
        while (i < w) {
            size_t run = 1;
            while (i + run < w && run < 255 && p[i + run] == p[i]) ++run;
            if (p[i] == 0 && run >= 6) {
                out_.insert(out_.end(), {0, 2, static_cast<uint8_t>(run), 0});
                i += run;
            } else if (run >= 3) {
                out_.push_back(static_cast<uint8_t>(run));
                out_.push_back(rle4_ ? static_cast<uint8_t>(p[i] << 4 | p[i]) : p[i]);
                i += run;
            } else {
                // Pixels as they are, up to where a run of three begins.
                size_t n = 0;
                while (i + n < w && n < 255 &&
                       !(i + n + 2 < w && p[i + n] == p[i + n + 1] && p[i + n] == p[i + n + 2]))
                    ++n;
                if (n < 3) {
                    for (size_t k = 0; k < n; ++k) {
                        out_.push_back(1);
                        out_.push_back(rle4_ ? static_cast<uint8_t>(p[i + k] << 4) : p[i + k]);
                    }
                } else {
                    out_.push_back(0);
                    out_.push_back(static_cast<uint8_t>(n));
                    const size_t start = out_.size();
                    for (size_t k = 0; k < n; ++k) {
                        if (!rle4_)
                            out_.push_back(p[i + k]);
                        else if (k % 2 == 0)
                            out_.push_back(static_cast<uint8_t>(p[i + k] << 4));
                        else
                            out_.back() |= p[i + k];
                    }
                    if ((out_.size() - start) % 2) out_.push_back(0);
                }
                i += n;
            }
        }
        out_.insert(out_.end(), {0, static_cast<uint8_t>(last ? 1 : 0)});
    }
    const std::vector<uint8_t>& Codes() const { return out_; }

  private:
    bool rle4_;
    std::vector<uint8_t> out_;
};

}  // namespace

std::vector<uint8_t> MakeBitmapRecord(Preview kind, int width, int height, unsigned seed,
                                      bool topDown) {
    const int bits = BitsOf(kind);
    if (bits == 0) return {};
    width = std::clamp(width, 1, 1024);
    height = std::clamp(height, 1, 1024);
    Canvas canvas(width, height, seed);
    const std::vector<Rgb> palette = PaletteFor(bits);
    const uint32_t stride = ((static_cast<uint32_t>(width) * bits + 31) / 32) * 4;
    const bool rle = kind == Preview::Rle8 || kind == Preview::Rle4;

    // Stored rows, bottom row first unless top-down.
    std::vector<uint8_t> pixels;
    RleWriter codes(kind == Preview::Rle4);
    for (int i = 0; i < height; ++i) {
        const int row = topDown ? i : height - 1 - i;
        std::vector<uint8_t> line(stride, 0), indices;
        for (int x = 0; x < width; ++x) {
            const Rgb c = canvas.At(x, row);
            switch (bits) {
                case 1:
                    // Light pixels white, the drawing's lines black.
                    if (c.r + c.g + c.b > 3 * 160)
                        line[x / 8] |= static_cast<uint8_t>(0x80 >> (x % 8));
                    break;
                case 4:
                    indices.push_back(Nearest(palette, c));
                    line[x / 2] |= static_cast<uint8_t>(indices.back() << (x % 2 ? 0 : 4));
                    break;
                case 8:
                    indices.push_back(Nearest(palette, c));
                    line[x] = indices.back();
                    break;
                default: {
                    const size_t at = static_cast<size_t>(x) * (bits / 8);
                    line[at] = c.b;
                    line[at + 1] = c.g;
                    line[at + 2] = c.r;
                    if (bits == 32) line[at + 3] = 0;
                }
            }
        }
        if (rle)
            codes.Row(indices, i == height - 1);
        else
            pixels.insert(pixels.end(), line.begin(), line.end());
    }
    if (rle) pixels = codes.Codes();

    std::vector<uint8_t> out;
    if (IsCore(kind)) {
        Put32(out, 12);
        Put16(out, static_cast<uint32_t>(width));
        Put16(out, static_cast<uint32_t>(height));  // unsigned: always bottom-up
        Put16(out, 1);
        Put16(out, static_cast<uint32_t>(bits));
    } else {
        Put32(out, 40);
        Put32(out, static_cast<uint32_t>(width));
        Put32(out, static_cast<uint32_t>(topDown ? -height : height));
        Put16(out, 1);
        Put16(out, static_cast<uint32_t>(bits));
        Put32(out, kind == Preview::Rle8 ? 1 : kind == Preview::Rle4 ? 2 : 0);
        Put32(out, static_cast<uint32_t>(pixels.size()));
        Put32(out, 2835);  // 72 dpi
        Put32(out, 2835);
        Put32(out, static_cast<uint32_t>(palette.size()));
        Put32(out, 0);
    }
    for (const Rgb& c : palette) {
        out.push_back(c.b);
        out.push_back(c.g);
        out.push_back(c.r);
        if (!IsCore(kind)) out.push_back(0);
    }
    out.insert(out.end(), pixels.begin(), pixels.end());
    return out;
}

std::vector<uint8_t> MakeMetafileRecord() {
    // METAHEADER (18 bytes) and the end-of-file record (3 words).
    std::vector<uint8_t> out;
    Put16(out, 1);      // in memory
    Put16(out, 9);      // header size in words
    Put16(out, 0x300);  // version
    Put32(out, 12);     // file size in words
    Put16(out, 0);      // objects
    Put32(out, 3);      // largest record in words
    Put16(out, 0);
    Put32(out, 3);  // end record: size 3 words, function 0
    Put16(out, 0);
    return out;
}

std::vector<uint8_t> MakePlaceableMetafile() {
    std::vector<uint8_t> out;
    Put32(out, 0x9AC6CDD7);
    Put16(out, 0);                                                         // handle
    for (int v : {0, 0, 1000, 750}) Put16(out, static_cast<uint32_t>(v));  // bounds
    Put16(out, 1440);                                                      // units per inch
    Put32(out, 0);
    uint16_t checksum = 0;
    for (size_t i = 0; i < out.size(); i += 2)
        checksum ^= static_cast<uint16_t>(out[i] | out[i + 1] << 8);
    Put16(out, checksum);
    const std::vector<uint8_t> record = MakeMetafileRecord();
    out.insert(out.end(), record.begin(), record.end());
    return out;
}

std::vector<uint8_t> MakeBitmapFile(const std::vector<uint8_t>& record) {
    // The pixels follow the header and the colour table.
    uint32_t bitsOffset = 14;
    if (record.size() >= 16) {
        const uint32_t header = record[0] | record[1] << 8;
        const uint32_t bits = record[header == 12 ? 10 : 14] | record[header == 12 ? 11 : 15] << 8;
        uint32_t colours = bits <= 8 ? 1u << bits : 0;
        if (header == 40 && record.size() >= 36) {
            const uint32_t used = record[32] | record[33] << 8;
            if (used) colours = used;
        }
        bitsOffset += header + colours * (header == 12 ? 3 : 4);
    }
    std::vector<uint8_t> out;
    Put16(out, 0x4D42);
    Put32(out, static_cast<uint32_t>(14 + record.size()));
    Put32(out, 0);
    Put32(out, bitsOffset);
    out.insert(out.end(), record.begin(), record.end());
    return out;
}

}  // namespace standin
