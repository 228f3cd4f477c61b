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

std::vector<Rgb> PaletteFor(Preview kind) {
    std::vector<Rgb> palette;
    switch (kind) {
        case Preview::Bmp1:
            palette = {{0, 0, 0}, {255, 255, 255}};
            break;
        case Preview::Bmp4:
            for (const Rgb& c : kBase16) palette.push_back(c);
            break;
        case Preview::Bmp8:
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
            return 1;
        case Preview::Bmp4:
            return 4;
        case Preview::Bmp8:
            return 8;
        case Preview::Bmp24:
            return 24;
        case Preview::Bmp32:
            return 32;
        default:
            return 0;
    }
}

}  // namespace

std::vector<uint8_t> MakeBitmapRecord(Preview kind, int width, int height, unsigned seed) {
    const int bits = BitsOf(kind);
    if (bits == 0) return {};
    width = std::clamp(width, 1, 1024);
    height = std::clamp(height, 1, 1024);
    Canvas canvas(width, height, seed);
    const std::vector<Rgb> palette = PaletteFor(kind);
    const uint32_t stride = ((static_cast<uint32_t>(width) * bits + 31) / 32) * 4;

    std::vector<uint8_t> out;
    Put32(out, 40);
    Put32(out, static_cast<uint32_t>(width));
    Put32(out, static_cast<uint32_t>(height));  // positive: bottom row first
    Put16(out, 1);
    Put16(out, static_cast<uint32_t>(bits));
    Put32(out, 0);  // BI_RGB
    Put32(out, stride * static_cast<uint32_t>(height));
    Put32(out, 2835);  // 72 dpi
    Put32(out, 2835);
    Put32(out, static_cast<uint32_t>(palette.size()));
    Put32(out, 0);
    for (const Rgb& c : palette) {
        out.push_back(c.b);
        out.push_back(c.g);
        out.push_back(c.r);
        out.push_back(0);
    }
    for (int row = height - 1; row >= 0; --row) {
        std::vector<uint8_t> line(stride, 0);
        for (int x = 0; x < width; ++x) {
            const Rgb c = canvas.At(x, row);
            switch (bits) {
                case 1:
                    // Light pixels white, the drawing's lines black.
                    if (c.r + c.g + c.b > 3 * 160)
                        line[x / 8] |= static_cast<uint8_t>(0x80 >> (x % 8));
                    break;
                case 4:
                    line[x / 2] |= static_cast<uint8_t>(Nearest(palette, c) << (x % 2 ? 0 : 4));
                    break;
                case 8:
                    line[x] = Nearest(palette, c);
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
        out.insert(out.end(), line.begin(), line.end());
    }
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

}  // namespace standin
