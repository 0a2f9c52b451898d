// Fixture maps for the province map tests, the map loader's fuzz seeds and the benchmarks: a small
// country with everything a map file can hold, geometry builders, and a writer of every version of
// both map file formats. The writer is written apart from the library's own, so that reading each
// old form is tested against bytes the library did not make.
#pragma once

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "mbkormap/kor_map.h"
#include "platform/core/archive.h"
#include "platform/core/encoding.h"

namespace kormap_fixture {

using MbKorMap::KorMapData;
using MbKorMap::tagMapLine;
using MbKorMap::tagMapPolygon;

// ---- Building blocks ----------------------------------------------------------------------------

// A 24-bit picture of one colour with a lighter diagonal, so that rows and columns are told apart.
inline void SolidBitmap(MbBmp::CControlBmp& b, int w, int h, int r, int g, int bl, int bits = 24) {
    b.CreateBitmap(w, h, bits);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const int lift = x == y ? 40 : 0;
            b.SetPixelColor(
                x, y, MbBmp::RGB(std::min(r + lift, 255), std::min(g + lift, 255), std::min(bl + lift, 255)));
        }
}

// A 24-bit picture of exactly one colour.
inline void UniformBitmap(MbBmp::CControlBmp& b, int w, int h, int r, int g, int bl) {
    b.CreateBitmap(w, h, 24);
    b.FillRect(0, 0, w, h, MbBmp::RGB(r, g, bl));
}

// Adds a line from node a to node b through the given inner points (map coordinates).
inline int AddLine(KorMapData& d, int a, int b, const std::vector<std::array<int, 2>>& inner,
                   std::uint16_t color = tagMapLine::kBlack) {
    tagMapLine l;
    l.start = static_cast<std::int16_t>(a);
    l.end = static_cast<std::int16_t>(b);
    l.firstPoint = static_cast<std::int32_t>(d.linePoints.size());
    l.color = color;
    for (const auto& p : inner)
        d.linePoints.push_back({p[0], p[1]});
    d.linePoints.push_back({-1, -1});
    d.lines.push_back(l);
    return static_cast<int>(d.lines.size()) - 1;
}

inline int AddNode(KorMapData& d, int x, int y) {
    d.nodes.push_back({x, y});
    return static_cast<int>(d.nodes.size()) - 1;
}

// Adds a polygon outlined by the given run of lines.
inline int AddPolygon(KorMapData& d, const std::vector<int>& lines, std::uint8_t kind, std::uint8_t value,
                      int kuni) {
    tagMapPolygon p;
    p.firstList = static_cast<std::int16_t>(d.polygonLineList.size());
    p.kind = kind;
    p.value = value;
    p.kuni = static_cast<std::int16_t>(kuni);
    for (int l : lines)
        d.polygonLineList.push_back(l);
    d.polygonLineList.push_back(-1);
    d.polygons.push_back(p);
    return static_cast<int>(d.polygons.size()) - 1;
}

// A rectangle polygon in map coordinates (corners (l, t) and (r, b)) made of one line from the
// top-left corner clockwise through the other three corners back to the top-left, with the
// given line colour.
inline int AddRect(KorMapData& d, int l, int t, int r, int b, std::uint8_t kind, std::uint8_t value, int kuni,
                   std::uint16_t lineColor = tagMapLine::kHidden) {
    const int n = AddNode(d, l, t);
    const int line = AddLine(d, n, n, {{r, t}, {r, b}, {l, b}}, lineColor);
    return AddPolygon(d, {line}, kind, value, kuni);
}

inline std::string Sjis(const char* utf8) {
    return rymd::FromUtf8(utf8, rymd::TextEncoding::ShiftJis);
}

inline MbKorMap::KuniRecord Kuni(const std::string& id, const std::string& name, int chiiki) {
    MbKorMap::KuniRecord k;
    k.id = id;
    k.name = name;
    k.chiiki = static_cast<std::int16_t>(chiiki);
    return k;
}

inline MbKorMap::ChiikiRecord Chiiki(const std::string& id, const std::string& name) {
    MbKorMap::ChiikiRecord c;
    c.id = id;
    c.name = name;
    return c;
}

// ---- The country --------------------------------------------------------------------------------

constexpr int kCountryW = 40;
constexpr int kCountryH = 30;

// A small "KorMap" country with something in every table: relief with an island, three texture
// sets (one of four seasons), two named pictures, regions and provinces with Japanese names,
// land of two levels, a palette area, a lake, a hidden hit area, shadows, lines of every colour
// kind, labels, palette and water colour. Provinces: 0 尾張 (left), 1 美濃 (right), 2 伊勢
// (bottom), 3 志摩 (no polygon).
inline KorMapData MakeCountry() {
    KorMapData d;
    d.formatFlag = 0;
    d.unit = MbKorMap::kKorMapUnit;
    d.elvMap.CreateNewMap(kCountryW, kCountryH);
    std::uint16_t* e = d.elvMap.GetElevationData();
    for (int y = 0; y < kCountryH; ++y)
        for (int x = 0; x < kCountryW; ++x) {
            const double dx = (x - 20) / 17.0, dy = (y - 15) / 12.0;
            const double r = dx * dx + dy * dy;
            e[y * (kCountryW + 1) + x] = r < 1.0 ? static_cast<std::uint16_t>(1 + (1.0 - r) * 1800) : 0;
        }
    d.elvMap.FillGapOfElevationData();
    d.elvMap.SetSaveType(1);
    d.width = kCountryW;
    d.height = kCountryH;

    d.textureSets.resize(3);
    SolidBitmap(d.textureSets[0].first[0], 8, 8, 110, 150, 70);
    SolidBitmap(d.textureSets[0].second[0], 8, 8, 150, 130, 90);
    SolidBitmap(d.textureSets[0].third[0], 8, 8, 40, 80, 150);
    d.textureSets[0].firstValue[0] = 1500;
    d.textureSets[0].secondValue[0] = 2500;
    d.textureSets[0].thirdValue[0] = 1700;
    d.textureSets[0].name = "T_PLAIN";
    d.textureSets[1].flags = Mb3dMap::tagTEXTURE_SET::kFourSeasons;
    for (int s = 0; s < 4; ++s) {
        SolidBitmap(d.textureSets[1].first[s], 6, 5, 60 + 30 * s, 110, 50);
        SolidBitmap(d.textureSets[1].second[s], 6, 5, 90, 90 + 20 * s, 60);
        SolidBitmap(d.textureSets[1].third[s], 6, 5, 30, 60, 120 + 20 * s);
        d.textureSets[1].firstValue[s] = 1000 + s;
        d.textureSets[1].secondValue[s] = 2000 + s;
        d.textureSets[1].thirdValue[s] = 3000 + s;
    }
    d.textureSets[1].name = Sjis("森林");
    SolidBitmap(d.textureSets[2].first[0], 4, 4, 200, 190, 140);
    SolidBitmap(d.textureSets[2].second[0], 4, 4, 220, 210, 160);
    SolidBitmap(d.textureSets[2].third[0], 4, 4, 20, 40, 90);
    d.textureSets[2].firstValue[0] = 800;
    d.textureSets[2].secondValue[0] = 900;
    d.textureSets[2].thirdValue[0] = 950;
    d.reservedTextureWord = 77;

    MbBmp::RGBQUAD pal[4] = {{0, 0, 0, 0}, {0, 0, 255, 0}, {0, 255, 0, 0}, {255, 255, 255, 0}};
    for (int i = 0; i < 2; ++i) {
        d.pictures.emplace_back();
        d.pictures.back().CreateBitmap(6, 4, 8, 4, pal);
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 6; ++x)
                d.pictures.back().SetPixelColor(x, y, static_cast<MbBmp::COLORREF>((x + y + i) % 4));
    }
    d.pictureNames = {"P_CASTLE", Sjis("城A")};

    d.chiiki = {Chiiki("R_TOKAI", Sjis("東海")), Chiiki("R_KINAI", Sjis("畿内"))};
    d.kuni = {Kuni("K_OWARI", Sjis("尾張"), 0), Kuni("K_MINO", Sjis("美濃"), 0),
              Kuni("K_ISE", Sjis("伊勢"), 1), Kuni("K_SHIMA", Sjis("志摩"), 1)};
    // Bytes after a field's terminator are kept through a load and a store.
    d.kuni[3].fieldBytes[20] = 0x5A;
    d.chiiki[1].fieldBytes[40] = 0x33;

    for (int i = 0; i < MbKorMap::kPaletteSize; ++i)
        d.palette[static_cast<std::size_t>(i)] = MbBmp::RGB(i * 8, 255 - i * 8, (i * 37) & 0xFF);
    d.waterColor = MbBmp::RGB(10, 90, 200);

    const int u = MbKorMap::kKorMapUnit;
    // Owari: land level 0 set 0 with a shadow; Mino: land level 1 set 1; Ise: land level 0 set 2.
    AddRect(d, 4 * u, 4 * u, 20 * u, 16 * u, tagMapPolygon::kLand | tagMapPolygon::kShadow, 0, 0, 0);
    AddRect(d, 20 * u, 4 * u, 36 * u, 16 * u, tagMapPolygon::kLand, 1, 1, 1);
    AddRect(d, 6 * u, 16 * u, 34 * u, 26 * u, tagMapPolygon::kLand | tagMapPolygon::kNoRelief, 2, 2, 20 + 5);
    // A palette area over Ise, a lake in Owari, a hidden hit area of Mino.
    AddRect(d, 10 * u, 19 * u, 16 * u, 23 * u, tagMapPolygon::kPalette | tagMapPolygon::kFillAll, 3, 2, 1);
    AddRect(d, 8 * u, 7 * u, 12 * u, 10 * u, tagMapPolygon::kWater, 0, 0, tagMapLine::kWhite);
    AddRect(d, 36 * u, 4 * u, 38 * u, 8 * u, tagMapPolygon::kHidden, 0, 1);
    // A border line with the flag bit and a node-to-node line without inner points.
    const int a = AddNode(d, 20 * u, 4 * u), b = AddNode(d, 20 * u, 16 * u);
    AddLine(d, a, b, {}, 0x8000 | 21);
    AddLine(d, a, b, {{20 * u + 5, 10 * u}}, tagMapLine::kBlack);

    d.labels.push_back({100, 200, Sjis("尾張"), 7});
    d.labels.push_back({-5, 40000, "Label", 0xFFFF});
    return d;
}

// ---- A large synthetic country -------------------------------------------------------------------

// Repeatable value in [-1, 1] from two integers.
inline double Jitter(int a, int b, unsigned salt) {
    unsigned h =
        static_cast<unsigned>(a) * 73856093u ^ static_cast<unsigned>(b) * 19349663u ^ salt * 83492791u;
    h ^= h >> 13;
    h *= 0x5bd1e995u;
    h ^= h >> 15;
    return static_cast<double>(h & 0xFFFF) / 32767.5 - 1.0;
}

// An island country on a cellsX x cellsY grid of provinces, each cell `cell` relief samples wide,
// with a sea margin of one cell: jagged shared borders (each border one line with `inner` inner
// points), hilly relief, the library's own textures in three sets, lakes, shadows on the
// outermost provinces, borders in black and coasts in a palette colour. Provinces are the cells
// whose centre lies on the island.
inline KorMapData MakeSyntheticCountry(int cellsX, int cellsY, int cell, int inner = 6) {
    KorMapData d;
    const int u = MbKorMap::kKorMapUnit;
    const int w = (cellsX + 2) * cell, h = (cellsY + 2) * cell;
    auto island = [&](double x, double y) {  // > 0 on land
        const double dx = (x - w / 2.0) / (cellsX * cell / 2.0), dy = (y - h / 2.0) / (cellsY * cell / 2.0);
        return 1.0 - (dx * dx + dy * dy) + 0.12 * std::sin(x * 0.021) * std::cos(y * 0.017);
    };
    d.elvMap.CreateNewMap(w, h);
    std::uint16_t* e = d.elvMap.GetElevationData();
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const double v = island(x, y);
            const double hill = 900 * v + 500 * std::sin(x * 0.05) * std::cos(y * 0.043) +
                                300 * std::sin(x * 0.13 + y * 0.11);
            e[y * (w + 1) + x] = v > 0 ? static_cast<std::uint16_t>(std::clamp(hill, 1.0, 4000.0)) : 0;
        }
    d.elvMap.FillGapOfElevationData();
    d.elvMap.SetSaveType(1);
    d.width = w;
    d.height = h;

    const int land[3] = {3000, 3002, 3005};
    d.textureSets.resize(3);
    for (int i = 0; i < 3; ++i) {
        auto& set = d.textureSets[static_cast<std::size_t>(i)];
        MbKorMap::LoadKorMapTextureBitmap(land[i], set.first[0]);
        MbKorMap::LoadKorMapTextureBitmap(3003, set.second[0]);
        MbKorMap::LoadKorMapTextureBitmap(3001, set.third[0]);
        set.firstValue[0] = 2200;
        set.secondValue[0] = 1600;
        set.thirdValue[0] = 2600;
        set.name = "T" + std::to_string(i);
    }
    for (int i = 0; i < MbKorMap::kPaletteSize; ++i)
        d.palette[static_cast<std::size_t>(i)] = MbBmp::RGB(40 + i * 6, 60 + i * 5, 200 - i * 5);
    d.palette[0] = MbBmp::RGB(30, 50, 110);

    // Grid corners, jittered.
    auto corner = [&](int i, int j) { return j * (cellsX + 1) + i; };
    for (int j = 0; j <= cellsY; ++j)
        for (int i = 0; i <= cellsX; ++i) {
            const bool edge = i == 0 || j == 0 || i == cellsX || j == cellsY;
            const double jx = edge ? 0 : Jitter(i, j, 1) * 0.25, jy = edge ? 0 : Jitter(i, j, 2) * 0.25;
            AddNode(d, static_cast<int>(((i + 1) + jx) * cell * u),
                    static_cast<int>(((j + 1) + jy) * cell * u));
        }
    auto onIsland = [&](int i, int j) {
        return i >= 0 && j >= 0 && i < cellsX && j < cellsY && island((i + 1.5) * cell, (j + 1.5) * cell) > 0;
    };
    // Borders: a line between two corners with inner points pushed sideways.
    auto border = [&](int a, int b, int key, bool coast) {
        const auto& na = d.nodes[static_cast<std::size_t>(a)];
        const auto& nb = d.nodes[static_cast<std::size_t>(b)];
        std::vector<std::array<int, 2>> pts;
        const double dx = nb.x - na.x, dy = nb.y - na.y;
        for (int k = 1; k <= inner; ++k) {
            const double t = static_cast<double>(k) / (inner + 1);
            const double off = Jitter(key, k, 3) * 0.08;
            pts.push_back(
                {static_cast<int>(na.x + dx * t - dy * off), static_cast<int>(na.y + dy * t + dx * off)});
        }
        return AddLine(d, a, b, pts,
                       coast ? static_cast<std::uint16_t>(tagMapLine::kPaletteBase) : tagMapLine::kBlack);
    };
    std::vector<int> horizontal(static_cast<std::size_t>((cellsX) * (cellsY + 1)), -1);
    std::vector<int> vertical(static_cast<std::size_t>((cellsX + 1) * cellsY), -1);
    for (int j = 0; j <= cellsY; ++j)
        for (int i = 0; i < cellsX; ++i) {
            const bool above = onIsland(i, j - 1), below = onIsland(i, j);
            if (above || below)
                horizontal[static_cast<std::size_t>(j * cellsX + i)] =
                    border(corner(i, j), corner(i + 1, j), j * 1000 + i, above != below);
        }
    for (int j = 0; j < cellsY; ++j)
        for (int i = 0; i <= cellsX; ++i) {
            const bool left = onIsland(i - 1, j), right = onIsland(i, j);
            if (left || right)
                vertical[static_cast<std::size_t>(j * (cellsX + 1) + i)] =
                    border(corner(i, j), corner(i, j + 1), 500000 + j * 1000 + i, left != right);
        }
    int kuni = 0;
    for (int j = 0; j < cellsY; ++j)
        for (int i = 0; i < cellsX; ++i) {
            if (!onIsland(i, j)) continue;
            const int top = horizontal[static_cast<std::size_t>(j * cellsX + i)];
            const int bottom = horizontal[static_cast<std::size_t>((j + 1) * cellsX + i)];
            const int left = vertical[static_cast<std::size_t>(j * (cellsX + 1) + i)];
            const int right = vertical[static_cast<std::size_t>(j * (cellsX + 1) + i + 1)];
            const bool outer =
                !onIsland(i - 1, j) || !onIsland(i + 1, j) || !onIsland(i, j - 1) || !onIsland(i, j + 1);
            const int set = static_cast<int>((Jitter(i, j, 4) + 1.0) * 1.5) % 3;
            AddPolygon(d, {top, right, bottom, left},
                       static_cast<std::uint8_t>(tagMapPolygon::kLand | (outer ? tagMapPolygon::kShadow : 0)),
                       static_cast<std::uint8_t>(set), kuni);
            // Now and then a lake in the middle of the province.
            if (Jitter(i, j, 5) > 0.6) {
                const auto& a = d.nodes[static_cast<std::size_t>(corner(i, j))];
                const int cx = a.x + cell * u / 2, cy = a.y + cell * u / 2, r = cell * u / 8;
                const int n0 = AddNode(d, cx - r, cy);
                const int l = AddLine(d, n0, n0,
                                      {{cx - r / 2, cy - r},
                                       {cx + r, cy - r / 2},
                                       {cx + r / 2, cy + r},
                                       {cx - r / 2, cy + r / 2}},
                                      static_cast<std::uint16_t>(tagMapLine::kPaletteBase));
                AddPolygon(d, {l}, tagMapPolygon::kWater, 0, kuni);
            }
            const std::string id = "K" + std::to_string(kuni);
            d.kuni.push_back(Kuni(id, Sjis("国") + std::to_string(kuni), i * 4 / std::max(cellsX, 1)));
            ++kuni;
        }
    for (int r = 0; r < 4; ++r)
        d.chiiki.push_back(Chiiki("R" + std::to_string(r), Sjis("地方") + std::to_string(r)));
    return d;
}

// ---- Writer of every version -----------------------------------------------------------------------

struct WriteOptions {
    // Write the polygon bytes as they are instead of in the old numbering (to test the
    // conversion of given old bytes).
    bool rawPolygons = false;
    // Bytes written in place of the relief stream (when not empty).
    std::vector<std::uint8_t> relief;
};

inline void PutI16(std::vector<std::uint8_t>& b, int v) {
    b.push_back(static_cast<std::uint8_t>(v));
    b.push_back(static_cast<std::uint8_t>(static_cast<unsigned>(v) >> 8));
}
inline void PutI32(std::vector<std::uint8_t>& b, std::int64_t v) {
    for (int i = 0; i < 4; ++i)
        b.push_back(static_cast<std::uint8_t>(static_cast<std::uint64_t>(v) >> (8 * i)));
}

inline std::vector<std::uint8_t> Fields(const std::string& id, const std::string& name,
                                        const std::array<std::uint8_t, 62>& tail) {
    std::vector<std::uint8_t> f(tail.begin(), tail.end());
    std::memcpy(f.data(), id.data(), id.size());
    if (id.size() < 31) f[id.size()] = 0;
    std::memcpy(f.data() + 31, name.data(), name.size());
    if (name.size() < 31) f[31 + name.size()] = 0;
    return f;
}

inline std::vector<std::uint8_t> RegionBytes(const KorMapData& d) {
    std::vector<std::uint8_t> b;
    for (const auto& c : d.chiiki) {
        auto f = Fields(c.id, c.name, c.fieldBytes);
        b.insert(b.end(), f.begin(), f.end());
    }
    return b;
}
inline std::vector<std::uint8_t> ProvinceBytes(const KorMapData& d) {
    std::vector<std::uint8_t> b;
    for (const auto& k : d.kuni) {
        auto f = Fields(k.id, k.name, k.fieldBytes);
        b.insert(b.end(), f.begin(), f.end());
        PutI16(b, k.chiiki);
    }
    return b;
}

// The polygon bytes in the numbering of a "KorMap" file of the given version: before version 3
// every kind was one higher.
inline std::vector<std::uint8_t> PolygonBytes(const KorMapData& d, bool oldKorMap, bool oldRyuumonden,
                                              const WriteOptions& o) {
    std::vector<std::uint8_t> b;
    for (const tagMapPolygon& p : d.polygons) {
        std::uint8_t kind = p.kind, value = p.value;
        if (!o.rawPolygons && oldKorMap) {
            kind = static_cast<std::uint8_t>(p.kind + 1);
        } else if (!o.rawPolygons && oldRyuumonden) {
            // One kind number: levels 0..5 of land, 6 water, 7 hidden, 20 + palette entry.
            switch (p.Kind()) {
                case tagMapPolygon::kLand: kind = p.value; break;
                case tagMapPolygon::kPalette: kind = static_cast<std::uint8_t>(20 + p.value); break;
                case tagMapPolygon::kWater: kind = 6; break;
                default: kind = 7; break;
            }
            value = (p.kind & tagMapPolygon::kShadow) ? 200 : 17;
        }
        PutI16(b, p.firstList);
        b.push_back(kind);
        b.push_back(value);
        PutI16(b, p.kuni);
    }
    return b;
}

inline std::vector<std::uint8_t> GeometryBytes(const KorMapData& d, int table) {
    std::vector<std::uint8_t> b;
    switch (table) {
        case 0:
            for (const auto& n : d.nodes) {
                PutI32(b, n.x);
                PutI32(b, n.y);
            }
            break;
        case 1:
            for (const auto& p : d.linePoints) {
                PutI32(b, p.x);
                PutI32(b, p.y);
            }
            break;
        case 2:
            for (const auto& l : d.lines) {
                PutI16(b, l.start);
                PutI16(b, l.end);
                PutI32(b, l.firstPoint);
                PutI16(b, l.color);
            }
            break;
        default:
            for (std::int32_t v : d.polygonLineList)
                PutI32(b, v);
            break;
    }
    return b;
}

// A bitmap of the oldest texture form: 40-byte info header, then the rows, bottom row first.
inline void PutRawBitmap(rymd::ArchiveWriter& ar, const MbBmp::CControlBmp& b) {
    std::vector<std::uint8_t> h;
    PutI32(h, 40);
    PutI32(h, b.GetWidth());
    PutI32(h, b.GetHeight());
    PutI16(h, 1);
    PutI16(h, b.GetBitCount());
    PutI32(h, 0);
    PutI32(h, static_cast<std::int64_t>(b.GetWidthBytes()) * b.GetHeight());
    for (int i = 0; i < 4; ++i)
        PutI32(h, 0);
    ar.WriteBytes(h.data(), h.size());
    ar.WriteBytes(b.GetBufferPtr(), static_cast<std::size_t>(b.GetWidthBytes()) * b.GetHeight());
}

// A "KorMap" file of the given version (0..4; other numbers are written like 4).
inline std::vector<std::uint8_t> WriteKorMapVersion(const KorMapData& d, int version,
                                                    const WriteOptions& o = {}) {
    rymd::ArchiveWriter ar;
    ar.WriteCString("KorMap");
    ar.WriteI16(static_cast<std::int16_t>(version));
    if (version >= 1) {
        ar.WriteI32(static_cast<std::int32_t>(d.pictures.size()));
        for (std::size_t i = 0; i < d.pictures.size(); ++i) {
            ar.WriteCString(d.pictureNames[i]);
            d.pictures[i].Serialize(ar);
        }
    }
    if (o.relief.empty())
        d.elvMap.Serialize(ar);
    else
        ar.WriteBytes(o.relief.data(), o.relief.size());
    ar.WriteI32(static_cast<std::int32_t>(d.textureSets.size()));
    ar.WriteI32(d.reservedTextureWord);
    for (const auto& set : d.textureSets) {
        if (version <= 1) {
            PutRawBitmap(ar, set.first[0]);
            PutRawBitmap(ar, set.second[0]);
            PutRawBitmap(ar, set.third[0]);
            ar.WriteI32(set.firstValue[0]);
            ar.WriteI32(set.secondValue[0]);
            ar.WriteI32(set.thirdValue[0]);
            ar.WriteCString(set.name);
            continue;
        }
        ar.WriteI32(set.flags);
        ar.WriteCString(set.name);
        for (int s = 0; s < ((set.flags & 1) ? 4 : 1); ++s) {
            set.first[s].Serialize(ar);
            set.second[s].Serialize(ar);
            set.third[s].Serialize(ar);
            ar.WriteI32(set.firstValue[s]);
            ar.WriteI32(set.secondValue[s]);
            ar.WriteI32(set.thirdValue[s]);
        }
    }
    const std::size_t counts[4] = {d.nodes.size(), d.linePoints.size(), d.lines.size(),
                                   d.polygonLineList.size()};
    for (int t = 0; t < 4; ++t) {
        ar.WriteI32(static_cast<std::int32_t>(counts[t]));
        const auto b = GeometryBytes(d, t);
        ar.WriteBytes(b.data(), b.size());
    }
    ar.WriteI32(static_cast<std::int32_t>(d.polygons.size()));
    const auto poly = PolygonBytes(d, version < 3, false, o);
    ar.WriteBytes(poly.data(), poly.size());
    ar.WriteI32(static_cast<std::int32_t>(d.labels.size()));
    for (const auto& l : d.labels) {
        ar.WriteI32(l.a);
        ar.WriteI32(l.b);
        ar.WriteCString(l.text);
        ar.WriteU16(l.value);
    }
    for (auto c : d.palette)
        ar.WriteU32(c);
    if (version >= 4) ar.WriteU32(d.waterColor);
    ar.WriteI32(static_cast<std::int32_t>(d.chiiki.size()));
    const auto regions = RegionBytes(d);
    ar.WriteBytes(regions.data(), regions.size());
    ar.WriteI32(static_cast<std::int32_t>(d.kuni.size()));
    const auto provinces = ProvinceBytes(d);
    ar.WriteBytes(provinces.data(), provinces.size());
    return ar.Take();
}

// A "RYUUMONDEN MAP " file with the version text "0.0<version>" (or the given header text).
inline std::vector<std::uint8_t> WriteRyuumondenVersion(const KorMapData& d, int version,
                                                        const WriteOptions& o = {},
                                                        const char* headerText = nullptr) {
    rymd::ArchiveWriter ar;
    char header[32] = {};
    std::string text = headerText ? headerText : "RYUUMONDEN MAP 0.0" + std::to_string(version);
    std::memcpy(header, text.data(), std::min<std::size_t>(text.size(), 32));
    ar.WriteBytes(header, 32);
    if (version >= 2)
        for (auto c : d.palette)
            ar.WriteU32(c);
    ar.WriteI32(static_cast<std::int32_t>(d.chiiki.size()));
    ar.WriteI32(static_cast<std::int32_t>(d.kuni.size()));
    ar.WriteI32(d.extent.left);
    ar.WriteI32(d.extent.top);
    ar.WriteI32(d.extent.right);
    ar.WriteI32(d.extent.bottom);
    ar.WriteI32(static_cast<std::int32_t>(d.nodes.size()));
    ar.WriteI32(static_cast<std::int32_t>(d.linePoints.size()));
    ar.WriteI32(static_cast<std::int32_t>(d.lines.size()));
    ar.WriteI32(static_cast<std::int32_t>(d.polygonLineList.size()));
    ar.WriteI32(static_cast<std::int32_t>(d.polygons.size()));
    const auto regions = RegionBytes(d);
    ar.WriteBytes(regions.data(), regions.size());
    const auto provinces = ProvinceBytes(d);
    ar.WriteBytes(provinces.data(), provinces.size());
    for (int t = 0; t < 4; ++t) {
        const auto b = GeometryBytes(d, t);
        ar.WriteBytes(b.data(), b.size());
    }
    const auto poly = PolygonBytes(d, false, version < 3, o);
    ar.WriteBytes(poly.data(), poly.size());
    return ar.Take();
}

// The country as a "RYUUMONDEN MAP " map: the same tables, an extent instead of the relief, and
// only what that format holds. Polygons use the kinds an old file can express (land levels up to
// 5, every polygon filling every pixel, no relief flag).
inline KorMapData MakeRyuumondenCountry() {
    KorMapData d = MakeCountry();
    d.formatFlag = 1;
    d.unit = MbKorMap::kRyuumondenUnit;
    d.extent = {-10, 5, 40, 45};  // 50 x 40 samples
    for (auto& p : d.polygons)
        p.kind = static_cast<std::uint8_t>((p.kind & (tagMapPolygon::kKindMask | tagMapPolygon::kShadow)) |
                                           tagMapPolygon::kFillAll);
    return d;
}

}  // namespace kormap_fixture
