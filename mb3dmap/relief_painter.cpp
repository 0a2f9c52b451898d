#include "mb3dmap/relief_painter.h"

#include <algorithm>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#if (defined(__GNUC__) || defined(__clang__)) && (defined(__x86_64__) || defined(__i386__))
#include <immintrin.h>
#define RYMD_RELIEF_AVX2 1
#endif
#endif

namespace Mb3dMap {

namespace {

using i64 = std::int64_t;

}  // namespace

void ReliefPaint::Row(int row, int x1, int x2, std::uint8_t* out) const {
    const i64 t = (acc + inc * row) >> 12;
    int tx = (originX + x1) % tex.width;
    if (vectorWidth != 0) {
        const int done = VectorPixels(row, x1, x2, tx, t, out);
        x1 += done;
        tx = (tx + done) % tex.width;
        out += static_cast<std::size_t>(done) * pixelBytes;
    }
    if (x1 <= x2) Pixels(row, x1, x2, tx, t, out);
}

// The plain per-pixel form of the rules.
void ReliefPaint::Pixels(int row, int x1, int x2, int tx, i64 t, std::uint8_t* out) const {
    const std::int16_t* er = stretched + static_cast<std::size_t>(row) * stretchedWidth;
    const std::int16_t* en = stretched + static_cast<std::size_t>(row + d) * stretchedWidth + d;
    const int ty = (originY + row) % tex.height;
    const std::uint8_t* lb = tex.Plane(ty, TexturePlanes::kLowB);
    const std::uint8_t* lg = tex.Plane(ty, TexturePlanes::kLowG);
    const std::uint8_t* lr = tex.Plane(ty, TexturePlanes::kLowR);
    const std::uint8_t* hb = tex.Plane(ty, TexturePlanes::kHighB);
    const std::uint8_t* hg = tex.Plane(ty, TexturePlanes::kHighG);
    const std::uint8_t* hr = tex.Plane(ty, TexturePlanes::kHighR);
    const std::uint8_t* sb = tex.Plane(ty, TexturePlanes::kSeaB);
    const std::uint8_t* sg = tex.Plane(ty, TexturePlanes::kSeaG);
    const std::uint8_t* sr = tex.Plane(ty, TexturePlanes::kSeaR);
    for (int x = x1; x <= x2; ++x, out += pixelBytes) {
        const int e = er[x];
        if (e == 0 && !fillAll) {
            out[0] = sb[tx];
            out[1] = sg[tx];
            out[2] = sr[tx];
        } else {
            const int w = std::clamp((2 * e * q) >> 16, 0, 255);
            int b = (lb[tx] * (255 - w) + hb[tx] * w) >> 8;
            int g = (lg[tx] * (255 - w) + hg[tx] * w) >> 8;
            int r = (lr[tx] * (255 - w) + hr[tx] * w) >> 8;
            if (e >= t) {
                const int v = static_cast<int>(std::min<i64>((e - t) >> 1, 255));
                b = (b * (255 - v) + 160 * v) >> 8;
                g = (g * (255 - v) + 160 * v) >> 8;
                r = (r * (255 - v) + 160 * v) >> 8;
            }
            const int m = std::clamp(((en[x] - e) * k) >> 11, -128, 127) + 128;
            out[0] = static_cast<std::uint8_t>(ApplyBrightness(brightType, std::min((b * m) >> 7, 255)));
            out[1] = static_cast<std::uint8_t>(ApplyBrightness(brightType, std::min((g * m) >> 7, 255)));
            out[2] = static_cast<std::uint8_t>(ApplyBrightness(brightType, std::min((r * m) >> 7, 255)));
        }
        if (++tx == tex.width) tx = 0;
    }
}

#if defined(__SSE2__)

namespace {

// Eight 16-bit lanes from eight bytes.
inline __m128i Load8(const std::uint8_t* p) {
    return _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(p)), _mm_setzero_si128());
}

inline __m128i Clamp16(__m128i v, __m128i lo, __m128i hi) {
    return _mm_min_epi16(_mm_max_epi16(v, lo), hi);
}

inline __m128i Select(__m128i mask, __m128i a, __m128i b) {
    return _mm_or_si128(_mm_and_si128(mask, a), _mm_andnot_si128(mask, b));
}

template <int Type>
inline __m128i BrightV(__m128i c) {
    const __m128i v255 = _mm_set1_epi16(255);
    if constexpr (Type == 1) return _mm_sub_epi16(c, _mm_srli_epi16(c, 1));
    if constexpr (Type == 2) return _mm_sub_epi16(c, _mm_srli_epi16(c, 2));
    if constexpr (Type == 3) return _mm_min_epi16(_mm_add_epi16(c, _mm_srli_epi16(c, 1)), v255);
    if constexpr (Type == 4)
        return _mm_min_epi16(_mm_add_epi16(_mm_sub_epi16(c, _mm_srli_epi16(c, 2)), _mm_srli_epi16(c, 1)),
                             v255);
    return c;
}

inline std::uint64_t TwoPixels24(std::uint64_t v) {  // b g r x b g r x -> b g r b g r
    return (v & 0xFFFFFFull) | ((v >> 8) & 0xFFFFFF000000ull);
}

// What the groups of one span share.
struct GroupJob {
    const ReliefPaint* p;
    const std::uint8_t* planes[TexturePlanes::kCount];  // the span's texture row
    int width;                                          // texture width
    bool snow;                                          // some elevation can reach the snow line
    short t;                                            // the snow line of the row
    int limit;                                          // slope differences are limited to +-limit
};

template <int Type>
void Sse2Groups(const GroupJob& job, const std::int16_t* er, const std::int16_t* en, int tx, int count,
                std::uint8_t* out) {
    const ReliefPaint& p = *job.p;
    const __m128i zero = _mm_setzero_si128();
    const __m128i v255 = _mm_set1_epi16(255);
    const __m128i v256 = _mm_set1_epi16(256);
    const __m128i v160 = _mm_set1_epi16(160);
    const __m128i vq = _mm_set1_epi16(static_cast<short>(p.q));
    const __m128i vk = _mm_set1_epi16(static_cast<short>(p.k));
    const __m128i vLimit = _mm_set1_epi16(static_cast<short>(job.limit));
    const __m128i vNegLimit = _mm_set1_epi16(static_cast<short>(-job.limit));
    const __m128i vm128 = _mm_set1_epi16(-128);
    const __m128i v127 = _mm_set1_epi16(127);
    const __m128i v128 = _mm_set1_epi16(128);
    const __m128i vt = _mm_set1_epi16(job.t);
    const __m128i keepHigh = _mm_set1_epi32(static_cast<int>(0xFF000000u));
    const std::uint8_t* const* planes = job.planes;

    for (int gi = 0; gi < count; ++gi, er += 8, en += 8) {
        const __m128i e = _mm_loadu_si128(reinterpret_cast<const __m128i*>(er));
        // Blend weight: (2e q) >> 16 is the high half of the unsigned product.
        const __m128i w = _mm_min_epi16(_mm_mulhi_epu16(_mm_slli_epi16(_mm_max_epi16(e, zero), 1), vq), v255);
        const __m128i iw = _mm_sub_epi16(v255, w);
        __m128i c[3];
        for (int ch = 0; ch < 3; ++ch) {
            const __m128i lo = Load8(planes[TexturePlanes::kLowB + ch] + tx);
            const __m128i hi = Load8(planes[TexturePlanes::kHighB + ch] + tx);
            c[ch] = _mm_srli_epi16(_mm_add_epi16(_mm_mullo_epi16(lo, iw), _mm_mullo_epi16(hi, w)), 8);
        }
        if (job.snow) {
            // Above the snow line: c (255 - v) + 160 v; below it c 256 + 0, which leaves c as it is.
            const __m128i above = _mm_andnot_si128(_mm_cmpgt_epi16(vt, e), _mm_set1_epi16(-1));
            const __m128i v = Clamp16(_mm_srai_epi16(_mm_subs_epi16(e, vt), 1), zero, v255);
            const __m128i a = Select(above, _mm_sub_epi16(v255, v), v256);
            const __m128i b = _mm_and_si128(above, _mm_mullo_epi16(v, v160));
            for (auto& x : c)
                x = _mm_srli_epi16(_mm_add_epi16(_mm_mullo_epi16(x, a), b), 8);
        }
        if (p.k != 0) {
            // Differences beyond the limit give the same clamped slope as the limit itself.
            const __m128i n = _mm_loadu_si128(reinterpret_cast<const __m128i*>(en));
            const __m128i diff = Clamp16(_mm_subs_epi16(n, e), vNegLimit, vLimit);
            const __m128i plo = _mm_mullo_epi16(diff, vk);
            const __m128i phi = _mm_mulhi_epi16(diff, vk);
            const __m128i s0 = _mm_srai_epi32(_mm_unpacklo_epi16(plo, phi), 11);
            const __m128i s1 = _mm_srai_epi32(_mm_unpackhi_epi16(plo, phi), 11);
            const __m128i m = _mm_add_epi16(Clamp16(_mm_packs_epi32(s0, s1), vm128, v127), v128);
            for (auto& x : c)
                x = _mm_min_epi16(_mm_srli_epi16(_mm_mullo_epi16(x, m), 7), v255);
        }
        for (auto& x : c)
            x = BrightV<Type>(x);
        if (!p.fillAll) {
            const __m128i sea = _mm_cmpeq_epi16(e, zero);
            if (_mm_movemask_epi8(sea) != 0)
                for (int ch = 0; ch < 3; ++ch)
                    c[ch] = Select(sea, Load8(planes[TexturePlanes::kSeaB + ch] + tx), c[ch]);
        }
        // Planes to pixels: b g r x for pixels 0-3 and 4-7.
        const __m128i bg = _mm_packus_epi16(c[0], c[1]);
        const __m128i bgi = _mm_unpacklo_epi8(bg, _mm_srli_si128(bg, 8));
        const __m128i r0 = _mm_unpacklo_epi8(_mm_packus_epi16(c[2], zero), zero);
        const __m128i px03 = _mm_unpacklo_epi16(bgi, r0);
        const __m128i px47 = _mm_unpackhi_epi16(bgi, r0);
        if (p.pixelBytes == 4) {
            __m128i* o = reinterpret_cast<__m128i*>(out);
            _mm_storeu_si128(o, _mm_or_si128(px03, _mm_and_si128(_mm_loadu_si128(o), keepHigh)));
            _mm_storeu_si128(o + 1, _mm_or_si128(px47, _mm_and_si128(_mm_loadu_si128(o + 1), keepHigh)));
            out += 32;
        } else {
            const std::uint64_t a = TwoPixels24(static_cast<std::uint64_t>(_mm_cvtsi128_si64(px03)));
            const std::uint64_t b =
                TwoPixels24(static_cast<std::uint64_t>(_mm_cvtsi128_si64(_mm_srli_si128(px03, 8))));
            const std::uint64_t cc = TwoPixels24(static_cast<std::uint64_t>(_mm_cvtsi128_si64(px47)));
            const std::uint64_t dd =
                TwoPixels24(static_cast<std::uint64_t>(_mm_cvtsi128_si64(_mm_srli_si128(px47, 8))));
            const std::uint64_t words[3] = {a | (b << 48), (b >> 16) | (cc << 32), (cc >> 32) | (dd << 16)};
            std::memcpy(out, words, 24);
            out += 24;
        }
        tx += 8;
        if (tx >= job.width) tx %= job.width;
    }
}

#if defined(RYMD_RELIEF_AVX2)

// The same with sixteen pixels a group.
template <int Type>
__attribute__((target("avx2"))) __m256i BrightV16(__m256i c) {
    const __m256i v255 = _mm256_set1_epi16(255);
    if constexpr (Type == 1) return _mm256_sub_epi16(c, _mm256_srli_epi16(c, 1));
    if constexpr (Type == 2) return _mm256_sub_epi16(c, _mm256_srli_epi16(c, 2));
    if constexpr (Type == 3) return _mm256_min_epi16(_mm256_add_epi16(c, _mm256_srli_epi16(c, 1)), v255);
    if constexpr (Type == 4)
        return _mm256_min_epi16(
            _mm256_add_epi16(_mm256_sub_epi16(c, _mm256_srli_epi16(c, 2)), _mm256_srli_epi16(c, 1)), v255);
    return c;
}

__attribute__((target("avx2"))) inline __m256i Load16(const std::uint8_t* p) {
    return _mm256_cvtepu8_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p)));
}

__attribute__((target("avx2"))) inline __m256i Select16(__m256i mask, __m256i a, __m256i b) {
    return _mm256_blendv_epi8(b, a, mask);
}

// Eight pixels from the blue-green bytes (b0..b7 g0..g7) and the red bytes (r0..r7) of one lane.
__attribute__((target("avx2"))) inline void Store8(__m128i bg, __m128i r, int pixelBytes, std::uint8_t* out) {
    if (pixelBytes == 4) {
        const __m128i bgMask0 = _mm_setr_epi8(0, 8, -1, -1, 1, 9, -1, -1, 2, 10, -1, -1, 3, 11, -1, -1);
        const __m128i rMask0 = _mm_setr_epi8(-1, -1, 0, -1, -1, -1, 1, -1, -1, -1, 2, -1, -1, -1, 3, -1);
        const __m128i bgMask1 = _mm_setr_epi8(4, 12, -1, -1, 5, 13, -1, -1, 6, 14, -1, -1, 7, 15, -1, -1);
        const __m128i rMask1 = _mm_setr_epi8(-1, -1, 4, -1, -1, -1, 5, -1, -1, -1, 6, -1, -1, -1, 7, -1);
        const __m128i keepHigh = _mm_set1_epi32(static_cast<int>(0xFF000000u));
        __m128i* o = reinterpret_cast<__m128i*>(out);
        const __m128i p0 = _mm_or_si128(_mm_shuffle_epi8(bg, bgMask0), _mm_shuffle_epi8(r, rMask0));
        const __m128i p1 = _mm_or_si128(_mm_shuffle_epi8(bg, bgMask1), _mm_shuffle_epi8(r, rMask1));
        _mm_storeu_si128(o, _mm_or_si128(p0, _mm_and_si128(_mm_loadu_si128(o), keepHigh)));
        _mm_storeu_si128(o + 1, _mm_or_si128(p1, _mm_and_si128(_mm_loadu_si128(o + 1), keepHigh)));
    } else {
        // Bytes 0-15 hold pixels 0-4 and the blue of pixel 5; bytes 16-23 the rest.
        const __m128i bgMask0 = _mm_setr_epi8(0, 8, -1, 1, 9, -1, 2, 10, -1, 3, 11, -1, 4, 12, -1, 5);
        const __m128i rMask0 = _mm_setr_epi8(-1, -1, 0, -1, -1, 1, -1, -1, 2, -1, -1, 3, -1, -1, 4, -1);
        const __m128i bgMask1 = _mm_setr_epi8(13, -1, 6, 14, -1, 7, 15, -1, -1, -1, -1, -1, -1, -1, -1, -1);
        const __m128i rMask1 = _mm_setr_epi8(-1, 5, -1, -1, 6, -1, -1, 7, -1, -1, -1, -1, -1, -1, -1, -1);
        const __m128i p0 = _mm_or_si128(_mm_shuffle_epi8(bg, bgMask0), _mm_shuffle_epi8(r, rMask0));
        const __m128i p1 = _mm_or_si128(_mm_shuffle_epi8(bg, bgMask1), _mm_shuffle_epi8(r, rMask1));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out), p0);
        _mm_storel_epi64(reinterpret_cast<__m128i*>(out + 16), p1);
    }
}

template <int Type>
__attribute__((target("avx2"))) void Avx2Groups(const GroupJob& job, const std::int16_t* er,
                                                const std::int16_t* en, int tx, int count,
                                                std::uint8_t* out) {
    const ReliefPaint& p = *job.p;
    const __m256i zero = _mm256_setzero_si256();
    const __m256i v255 = _mm256_set1_epi16(255);
    const __m256i v256 = _mm256_set1_epi16(256);
    const __m256i v160 = _mm256_set1_epi16(160);
    const __m256i vq = _mm256_set1_epi16(static_cast<short>(p.q));
    const __m256i vk = _mm256_set1_epi16(static_cast<short>(p.k));
    const __m256i vLimit = _mm256_set1_epi16(static_cast<short>(job.limit));
    const __m256i vNegLimit = _mm256_set1_epi16(static_cast<short>(-job.limit));
    const __m256i vm128 = _mm256_set1_epi16(-128);
    const __m256i v127 = _mm256_set1_epi16(127);
    const __m256i v128 = _mm256_set1_epi16(128);
    const __m256i vt = _mm256_set1_epi16(job.t);
    const std::uint8_t* const* planes = job.planes;
    const int step = p.pixelBytes * 8;

    for (int gi = 0; gi < count; ++gi, er += 16, en += 16) {
        const __m256i e = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(er));
        const __m256i w =
            _mm256_min_epi16(_mm256_mulhi_epu16(_mm256_slli_epi16(_mm256_max_epi16(e, zero), 1), vq), v255);
        const __m256i iw = _mm256_sub_epi16(v255, w);
        __m256i c[3];
        for (int ch = 0; ch < 3; ++ch) {
            const __m256i lo = Load16(planes[TexturePlanes::kLowB + ch] + tx);
            const __m256i hi = Load16(planes[TexturePlanes::kHighB + ch] + tx);
            c[ch] =
                _mm256_srli_epi16(_mm256_add_epi16(_mm256_mullo_epi16(lo, iw), _mm256_mullo_epi16(hi, w)), 8);
        }
        if (job.snow) {
            const __m256i above = _mm256_andnot_si256(_mm256_cmpgt_epi16(vt, e), _mm256_set1_epi16(-1));
            const __m256i v = _mm256_min_epi16(
                _mm256_max_epi16(_mm256_srai_epi16(_mm256_subs_epi16(e, vt), 1), zero), v255);
            const __m256i a = Select16(above, _mm256_sub_epi16(v255, v), v256);
            const __m256i b = _mm256_and_si256(above, _mm256_mullo_epi16(v, v160));
            for (auto& x : c)
                x = _mm256_srli_epi16(_mm256_add_epi16(_mm256_mullo_epi16(x, a), b), 8);
        }
        if (p.k != 0) {
            const __m256i n = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(en));
            const __m256i diff =
                _mm256_min_epi16(_mm256_max_epi16(_mm256_subs_epi16(n, e), vNegLimit), vLimit);
            const __m256i plo = _mm256_mullo_epi16(diff, vk);
            const __m256i phi = _mm256_mulhi_epi16(diff, vk);
            // Unpacking and packing both work within the two halves, so the lanes come back in order.
            const __m256i s0 = _mm256_srai_epi32(_mm256_unpacklo_epi16(plo, phi), 11);
            const __m256i s1 = _mm256_srai_epi32(_mm256_unpackhi_epi16(plo, phi), 11);
            const __m256i m = _mm256_add_epi16(
                _mm256_min_epi16(_mm256_max_epi16(_mm256_packs_epi32(s0, s1), vm128), v127), v128);
            for (auto& x : c)
                x = _mm256_min_epi16(_mm256_srli_epi16(_mm256_mullo_epi16(x, m), 7), v255);
        }
        for (auto& x : c)
            x = BrightV16<Type>(x);
        if (!p.fillAll) {
            const __m256i sea = _mm256_cmpeq_epi16(e, zero);
            if (_mm256_movemask_epi8(sea) != 0)
                for (int ch = 0; ch < 3; ++ch)
                    c[ch] = Select16(sea, Load16(planes[TexturePlanes::kSeaB + ch] + tx), c[ch]);
        }
        // Per half: b0..b7 g0..g7 and r0..r7.
        const __m256i bg = _mm256_packus_epi16(c[0], c[1]);
        const __m256i rr = _mm256_packus_epi16(c[2], c[2]);
        Store8(_mm256_castsi256_si128(bg), _mm256_castsi256_si128(rr), p.pixelBytes, out);
        Store8(_mm256_extracti128_si256(bg, 1), _mm256_extracti128_si256(rr, 1), p.pixelBytes, out + step);
        out += 2 * step;
        tx += 16;
        if (tx >= job.width) tx %= job.width;
    }
}

#endif  // RYMD_RELIEF_AVX2

using GroupFn = void (*)(const GroupJob&, const std::int16_t*, const std::int16_t*, int, int, std::uint8_t*);

template <template <int> class Fns>
GroupFn PickType(int type) {
    switch (type) {
        case 1: return &Fns<1>::Run;
        case 2: return &Fns<2>::Run;
        case 3: return &Fns<3>::Run;
        case 4: return &Fns<4>::Run;
        default: return &Fns<0>::Run;
    }
}

template <int Type>
struct Sse2Fns {
    static void Run(const GroupJob& j, const std::int16_t* e, const std::int16_t* n, int tx, int c,
                    std::uint8_t* o) {
        Sse2Groups<Type>(j, e, n, tx, c, o);
    }
};

#if defined(RYMD_RELIEF_AVX2)
template <int Type>
struct Avx2Fns {
    static void Run(const GroupJob& j, const std::int16_t* e, const std::int16_t* n, int tx, int c,
                    std::uint8_t* o) {
        Avx2Groups<Type>(j, e, n, tx, c, o);
    }
};
#endif

}  // namespace

int ReliefPaint::VectorPixels(int row, int x1, int x2, int tx, i64 t, std::uint8_t* out) const {
    // The 16-bit lanes hold the snow line only inside their range, and the slope only for
    // factors whose saturating differences fit (k of 9 or more).
    if (t < -32768) return 0;
    if (k != 0 && k < 9) return 0;
    GroupFn run = nullptr;
    int lanes = 8;
#if defined(RYMD_RELIEF_AVX2)
    if (vectorWidth == 16) {
        run = PickType<Avx2Fns>(brightType);
        lanes = 16;
    }
#endif
    if (run == nullptr) run = PickType<Sse2Fns>(brightType);

    GroupJob job;
    job.p = this;
    const int ty = (originY + row) % tex.height;
    for (int i = 0; i < TexturePlanes::kCount; ++i)
        job.planes[i] = tex.Plane(ty, i);
    job.width = tex.width;
    job.snow = t <= 32767;
    job.t = static_cast<short>(std::clamp<i64>(t, -32768, 32767));
    job.limit = k != 0 ? static_cast<int>((262144 + k - 1) / k) : 0;

    const int total = x2 - x1 + 1;
    const int groups = total / lanes;
    const int rest = total % lanes;
    const std::int16_t* er = stretched + static_cast<std::size_t>(row) * stretchedWidth + x1;
    const std::int16_t* en = stretched + static_cast<std::size_t>(row + d) * stretchedWidth + d + x1;
    if (groups > 0) run(job, er, en, tx, groups, out);
    if (rest > 0) {
        // The last few pixels as one group over copies, written back as far as the span goes.
        const int done = groups * lanes;
        std::int16_t e[16] = {}, n[16] = {};
        std::copy_n(er + done, rest, e);
        std::copy_n(en + done, rest, n);
        std::uint8_t tmp[64] = {};
        std::uint8_t* o = out + static_cast<std::size_t>(done) * pixelBytes;
        std::memcpy(tmp, o, static_cast<std::size_t>(rest) * pixelBytes);
        run(job, e, n, (tx + done) % tex.width, 1, tmp);
        std::memcpy(o, tmp, static_cast<std::size_t>(rest) * pixelBytes);
    }
    return total;
}

#else

int ReliefPaint::VectorPixels(int, int, int, int, i64, std::uint8_t*) const {
    return 0;
}

#endif

int BestVectorWidth() {
#if defined(RYMD_RELIEF_AVX2)
    static const int width = __builtin_cpu_supports("avx2") ? 16 : 8;
    return width;
#elif defined(__SSE2__)
    return 8;
#else
    return 0;
#endif
}

}  // namespace Mb3dMap
