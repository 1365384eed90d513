#include "tools/synthetic_picture.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <vector>

#include "store/picture/jpeg_picture.h"

namespace velmora::tools {
namespace {

// A small deterministic generator, so every run draws the same pictures.
class Random {
public:
    explicit Random(std::uint64_t start) : state_(start * 0x9E3779B97F4A7C15ull + 0x1234567ull) {}
    std::uint32_t next() {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 7;
        state_ ^= state_ << 17;
        return static_cast<std::uint32_t>(state_ >> 16);
    }
    // A value in [low, high].
    int range(int low, int high) { return low + static_cast<int>(next() % static_cast<std::uint32_t>(high - low + 1)); }
    double unit() { return (next() & 0xFFFFFF) / double(0x1000000); }

private:
    std::uint64_t state_;
};

struct Colour {
    int blue, green, red;
};

Colour mix(Colour a, Colour b, double t) {
    return {static_cast<int>(a.blue + (b.blue - a.blue) * t), static_cast<int>(a.green + (b.green - a.green) * t),
            static_cast<int>(a.red + (b.red - a.red) * t)};
}

Colour randomColour(Random& random, int low, int high) {
    return {random.range(low, high), random.range(low, high), random.range(low, high)};
}

constexpr int kTile = 256;  // texture tile side, a power of two
constexpr int kGrainAmplitude = 12;  // with the texture: about 2.6 bits per pixel at quality 90

// Value noise of a few octaves over a tile that repeats seamlessly, values within
// -60..60: the mid-frequency detail that makes JPEG sizes photo-like.
std::vector<std::int8_t> textureTile(Random& random) {
    std::vector<int> sum(kTile * kTile, 0);
    for (int cell = 2; cell <= 64; cell *= 2) {
        const int lattice = kTile / cell;
        std::vector<int> points(lattice * lattice);
        const int amplitude = 6 + 48 / (64 / cell);
        for (int& p : points) {
            p = random.range(-amplitude, amplitude);
        }
        for (int y = 0; y < kTile; ++y) {
            const int y0 = y / cell, y1 = (y0 + 1) % lattice, fy = y % cell;
            for (int x = 0; x < kTile; ++x) {
                const int x0 = x / cell, x1 = (x0 + 1) % lattice, fx = x % cell;
                const int top = points[y0 * lattice + x0] * (cell - fx) + points[y0 * lattice + x1] * fx;
                const int bottom = points[y1 * lattice + x0] * (cell - fx) + points[y1 * lattice + x1] * fx;
                sum[y * kTile + x] += (top * (cell - fy) + bottom * fy) / (cell * cell);
            }
        }
    }
    std::vector<std::int8_t> tile(kTile * kTile);
    for (std::size_t i = 0; i < tile.size(); ++i) {
        tile[i] = static_cast<std::int8_t>(std::clamp(sum[i], -60, 60));
    }
    return tile;
}

struct Ellipse {
    double centreX, centreY, radiusX, radiusY;
    Colour colour;
    int texture;  // texture strength, 0..16
};

std::uint8_t clampByte(int value) {
    return static_cast<std::uint8_t>(std::clamp(value, 0, 255));
}

}  // namespace

Bitmap syntheticBitmap(int width, int height, int variant) {
    Bitmap bitmap(width, height, Bitmap::Format::Bgr24);
    if (bitmap.empty()) {
        return bitmap;
    }
    Random random(static_cast<std::uint64_t>(variant) + 1);
    const std::vector<std::int8_t> tile = textureTile(random);

    // A sky-horizon-ground backdrop by rows, with gentle waves across the columns.
    const Colour sky = randomColour(random, 120, 240);
    const Colour horizon = randomColour(random, 80, 200);
    const Colour ground = randomColour(random, 20, 120);
    const double horizonAt = 0.3 + 0.3 * random.unit();
    std::vector<Colour> rows(static_cast<std::size_t>(height));
    std::vector<int> rowTexture(static_cast<std::size_t>(height));
    for (int y = 0; y < height; ++y) {
        const double t = (y + 0.5) / height;
        rows[y] = t < horizonAt ? mix(sky, horizon, t / horizonAt)
                                : mix(horizon, ground, (t - horizonAt) / (1.0 - horizonAt));
        // Smooth sky, busy ground, blended across the horizon.
        rowTexture[y] = 3 + static_cast<int>(9 * std::clamp((t - horizonAt + 0.1) / 0.2, 0.0, 1.0));
    }
    const double waveLength = width / (2.0 + 6.0 * random.unit());
    const double phase = 6.28 * random.unit();
    std::vector<int> columnLight(static_cast<std::size_t>(width));
    for (int x = 0; x < width; ++x) {
        const double cx = (x + 0.5) / width - 0.5;
        columnLight[x] = static_cast<int>(18 * std::sin(x / waveLength * 6.28 + phase) - 60 * cx * cx);
    }

    std::vector<Ellipse> shapes(static_cast<std::size_t>(random.range(6, 14)));
    for (Ellipse& shape : shapes) {
        shape.centreX = width * random.unit();
        shape.centreY = height * (0.25 + 0.75 * random.unit());
        shape.radiusX = std::max(2.0, width * (0.03 + 0.15 * random.unit()));
        shape.radiusY = std::max(2.0, height * (0.03 + 0.2 * random.unit()));
        shape.colour = randomColour(random, 10, 250);
        shape.texture = random.range(2, 16);
    }

    // Sensor-like grain: one row of noise (with its start repeated past the end, so a
    // run of kTile never wraps), read from a different offset on each row.
    constexpr int kGrain = 1024;
    std::array<std::int8_t, kGrain + kTile> grain{};
    for (int i = 0; i < kGrain; ++i) {
        grain[i] = static_cast<std::int8_t>(random.range(-kGrainAmplitude, kGrainAmplitude));
    }
    std::copy(grain.begin(), grain.begin() + kTile, grain.begin() + kGrain);

    std::vector<int> light(static_cast<std::size_t>(width));
    std::vector<int> value(static_cast<std::size_t>(width));
    std::vector<int> detail(static_cast<std::size_t>(width));
    for (int y = 0; y < height; ++y) {
        std::uint8_t* out = bitmap.scanLine(y);
        const std::int8_t* fine = tile.data() + (y & (kTile - 1)) * kTile;
        if (y % 5 == 0) {
            // The coarse texture is the tile stretched five times: it changes every fifth row.
            const std::int8_t* coarse = tile.data() + ((y / 5 + 97) & (kTile - 1)) * kTile;
            for (int x = 0; x < width; ++x) {
                light[x] = columnLight[x] + coarse[(x / 5) & (kTile - 1)] / 2;
            }
        }
        const Colour base = rows[y];
        const int strength = rowTexture[y];
        const int grainOffset = random.range(0, kGrain - 1);
        // Runs of one tile width keep the loops free of wrap-around, so they vectorize.
        for (int x0 = 0; x0 < width; x0 += kTile) {
            const int run = std::min(kTile, width - x0);
            const std::int8_t* noise = grain.data() + ((x0 + grainOffset) & (kGrain - 1));
            for (int i = 0; i < run; ++i) {
                detail[x0 + i] = (fine[i] * strength) >> 4;
                value[x0 + i] = light[x0 + i] + detail[x0 + i] + noise[i];
            }
        }
        for (int x = 0; x < width; ++x) {
            out[3 * x] = clampByte(base.blue + value[x]);
            out[3 * x + 1] = clampByte(base.green + value[x] + (detail[x] >> 2));
            out[3 * x + 2] = clampByte(base.red + value[x]);
        }
        // Objects with hard edges, drawn over the backdrop span by span.
        for (const Ellipse& shape : shapes) {
            const double dy = (y + 0.5 - shape.centreY) / shape.radiusY;
            if (dy <= -1.0 || dy >= 1.0) {
                continue;
            }
            const double half = shape.radiusX * std::sqrt(1.0 - dy * dy);
            const int from = std::max(0, static_cast<int>(shape.centreX - half));
            const int to = std::min(width, static_cast<int>(shape.centreX + half));
            const Colour shaded = {shape.colour.blue - static_cast<int>(40 * dy),
                                   shape.colour.green - static_cast<int>(40 * dy),
                                   shape.colour.red - static_cast<int>(40 * dy)};
            for (int x = from; x < to; ++x) {
                const int shade = ((fine[x & (kTile - 1)] * shape.texture) >> 4) + (light[x] >> 1) +
                                  grain[(x + grainOffset) & (kGrain - 1)];
                out[3 * x] = clampByte(shaded.blue + shade);
                out[3 * x + 1] = clampByte(shaded.green + shade);
                out[3 * x + 2] = clampByte(shaded.red + shade);
            }
        }
    }
    return bitmap;
}

Bytes syntheticJpeg(int width, int height, int variant) {
    JpegPicture picture;
    picture.assignBitmap(syntheticBitmap(width, height, variant));
    return *picture.jpegData();
}

}  // namespace velmora::tools
