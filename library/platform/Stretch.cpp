#include "Stretch.h"

#include "PixelRows.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace Stretch {

namespace {

struct Span {
    int begin; // first destination index inside the image, relative to the rectangle
    int end;
};

// Part of [0, length) of a rectangle side starting at origin that lands inside [0, limit).
Span Clip(int origin, int length, int limit)
{
    const long long b = std::max<long long>(0, -static_cast<long long>(origin));
    const long long e = std::min<long long>(length, static_cast<long long>(limit) - origin);
    return {static_cast<int>(b), static_cast<int>(std::max(b, e))};
}

// Weighted source indices behind one destination index; weights add up to 65536.
struct Taps {
    std::vector<int> first;   // per destination index: offset into index/weight
    std::vector<int> count;
    std::vector<int> index;
    std::vector<std::uint32_t> weight;
};

constexpr std::uint32_t kOne = 65536;

void AddTaps(Taps& taps, std::vector<std::pair<int, double>>& raw)
{
    // Merge clamped duplicates, then turn fractions into integers that sum exactly to kOne.
    std::sort(raw.begin(), raw.end());
    std::vector<std::pair<int, double>> merged;
    for (auto& t : raw) {
        if (!merged.empty() && merged.back().first == t.first)
            merged.back().second += t.second;
        else if (t.second > 0)
            merged.push_back(t);
    }
    double total = 0;
    for (auto& t : merged)
        total += t.second;
    taps.first.push_back(static_cast<int>(taps.index.size()));
    taps.count.push_back(static_cast<int>(merged.size()));
    std::uint32_t given = 0;
    std::size_t largest = taps.index.size();
    for (auto& t : merged) {
        const auto w = static_cast<std::uint32_t>(std::floor(t.second / total * kOne));
        if (taps.index.size() == largest || w > taps.weight[largest])
            largest = taps.index.size();
        taps.index.push_back(t.first);
        taps.weight.push_back(w);
        given += w;
    }
    taps.weight[largest] += kOne - given;
}

Taps MakeTaps(int srcStart, int srcLength, int dstLength, Span span, int srcLimit)
{
    Taps taps;
    const double scale = static_cast<double>(srcLength) / dstLength;
    std::vector<std::pair<int, double>> raw;
    for (int d = span.begin; d < span.end; ++d) {
        raw.clear();
        if (srcLength >= dstLength) {
            // Area average of the source interval behind this pixel.
            const double a = srcStart + d * scale;
            const double b = srcStart + (d + 1) * scale;
            for (int i = static_cast<int>(std::floor(a)); i < b; ++i) {
                const double cover = std::min<double>(i + 1, b) - std::max<double>(i, a);
                raw.emplace_back(std::clamp(i, 0, srcLimit - 1), cover);
            }
        } else {
            // Linear interpolation between the two nearest source centres.
            double s = srcStart + (d + 0.5) * scale - 0.5;
            s = std::clamp(s, static_cast<double>(srcStart), static_cast<double>(srcStart + srcLength - 1));
            const int i0 = static_cast<int>(std::floor(s));
            const double f = s - i0;
            raw.emplace_back(std::clamp(i0, 0, srcLimit - 1), 1.0 - f);
            raw.emplace_back(std::clamp(i0 + 1, 0, srcLimit - 1), f);
        }
        if (raw.empty())
            raw.emplace_back(std::clamp(static_cast<int>(srcStart + d * scale), 0, srcLimit - 1), 1.0);
        AddTaps(taps, raw);
    }
    return taps;
}

} // namespace

void Nearest(const Bitmap& source, const CRect& from, Bitmap& dest, const CRect& to)
{
    const int tw = to.Width(), th = to.Height(), fw = from.Width(), fh = from.Height();
    if (tw <= 0 || th <= 0 || fw <= 0 || fh <= 0)
        return;
    const Span cols = Clip(to.left, tw, dest.width());
    const Span rows = Clip(to.top, th, dest.height());
    if (cols.begin >= cols.end || rows.begin >= rows.end)
        return;
    // Each destination pixel takes the source pixel under its centre.
    std::vector<int> map(static_cast<std::size_t>(cols.end - cols.begin));
    for (int d = cols.begin; d < cols.end; ++d) {
        const long long s = from.left + ((2LL * d + 1) * fw) / (2LL * tw);
        map[d - cols.begin] = static_cast<int>(std::clamp<long long>(s, 0, source.width() - 1));
    }
    const int lo = *std::min_element(map.begin(), map.end());
    const int hi = *std::max_element(map.begin(), map.end());
    std::vector<std::uint32_t> in(static_cast<std::size_t>(hi - lo + 1));
    std::vector<std::uint32_t> out(map.size());
    int loaded = -1;
    for (int d = rows.begin; d < rows.end; ++d) {
        const long long s = from.top + ((2LL * d + 1) * fh) / (2LL * th);
        const int sy = static_cast<int>(std::clamp<long long>(s, 0, source.height() - 1));
        if (sy != loaded) {
            PixelRows::Read(source, lo, sy, hi - lo + 1, in.data());
            for (std::size_t i = 0; i < map.size(); ++i)
                out[i] = in[map[i] - lo];
            loaded = sy;
        }
        PixelRows::Write(dest, to.left + cols.begin, to.top + d, static_cast<int>(out.size()), out.data());
    }
}

void Halftone(const Bitmap& source, const CRect& from, Bitmap& dest, const CRect& to)
{
    const int tw = to.Width(), th = to.Height(), fw = from.Width(), fh = from.Height();
    if (tw <= 0 || th <= 0 || fw <= 0 || fh <= 0)
        return;
    const Span cols = Clip(to.left, tw, dest.width());
    const Span rows = Clip(to.top, th, dest.height());
    if (cols.begin >= cols.end || rows.begin >= rows.end)
        return;
    const Taps across = MakeTaps(from.left, fw, tw, cols, source.width());
    const Taps down = MakeTaps(from.top, fh, th, rows, source.height());
    const std::size_t width = across.count.size();

    // Rows resampled across, three channels scaled by 256, kept while in use.
    std::vector<std::vector<std::uint16_t>> cache(static_cast<std::size_t>(source.height()));
    std::vector<std::uint32_t> in(static_cast<std::size_t>(source.width()));
    auto resampled = [&](int sy) -> const std::vector<std::uint16_t>& {
        auto& r = cache[sy];
        if (r.empty()) {
            PixelRows::Read(source, 0, sy, source.width(), in.data());
            r.resize(width * 3);
            for (std::size_t d = 0; d < width; ++d) {
                std::uint32_t cr = 0, cg = 0, cb = 0;
                const int f = across.first[d];
                for (int t = 0; t < across.count[d]; ++t) {
                    const std::uint32_t p = in[across.index[f + t]];
                    const std::uint32_t w = across.weight[f + t];
                    cr += w * ((p >> 16) & 0xFF);
                    cg += w * ((p >> 8) & 0xFF);
                    cb += w * (p & 0xFF);
                }
                r[d * 3] = static_cast<std::uint16_t>((cr + 128) >> 8);
                r[d * 3 + 1] = static_cast<std::uint16_t>((cg + 128) >> 8);
                r[d * 3 + 2] = static_cast<std::uint16_t>((cb + 128) >> 8);
            }
        }
        return r;
    };

    std::vector<std::uint32_t> acc(width * 3);
    std::vector<std::uint32_t> out(width);
    int released = 0;
    for (std::size_t d = 0; d < down.count.size(); ++d) {
        std::fill(acc.begin(), acc.end(), 0u);
        const int f = down.first[d];
        for (int t = 0; t < down.count[d]; ++t) {
            const auto& r = resampled(down.index[f + t]);
            const std::uint32_t w = down.weight[f + t];
            for (std::size_t i = 0; i < width * 3; ++i)
                acc[i] += w * r[i];
        }
        for (std::size_t i = 0; i < width; ++i) {
            const std::uint32_t cr = (acc[i * 3] + (1u << 23)) >> 24;
            const std::uint32_t cg = (acc[i * 3 + 1] + (1u << 23)) >> 24;
            const std::uint32_t cb = (acc[i * 3 + 2] + (1u << 23)) >> 24;
            out[i] = (cr << 16) | (cg << 8) | cb;
        }
        PixelRows::Write(dest, to.left + cols.begin, to.top + rows.begin + static_cast<int>(d),
                         static_cast<int>(width), out.data());
        // Source rows above the next pixel's first tap are no longer needed.
        if (d + 1 < down.count.size()) {
            const int next = down.index[down.first[d + 1]];
            for (; released < next; ++released)
                std::vector<std::uint16_t>().swap(cache[released]);
        }
    }
}

} // namespace Stretch
