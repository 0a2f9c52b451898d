// The province map file: reading both formats (with the conversions of older versions), writing
// the newest form of each, and the checks every map passes before it is taken.
#include <algorithm>
#include <cstring>
#include <string_view>

#include "mbkormap/kor_map.h"
#include "platform/core/archive.h"
#include "platform/core/file.h"

namespace MbKorMap {

namespace {

constexpr char kKorMapSignature[] = "\x06KorMap";           // the counted string "KorMap"
constexpr char kRyuumondenSignature[] = "RYUUMONDEN MAP ";  // 15 characters
constexpr char kRyuumondenVersionText[] = "0.03";
constexpr int kSignatureBytes = 7;
constexpr int kRyuumondenHeaderBytes = 32;

constexpr std::size_t kNodeBytes = 8;
constexpr std::size_t kLinePointBytes = 8;
constexpr std::size_t kLineBytes = 10;
constexpr std::size_t kPolygonBytes = 6;
constexpr std::size_t kChiikiBytes = 62;
constexpr std::size_t kKuniBytes = 64;
constexpr std::size_t kBitmapInfoHeaderBytes = 40;

// A relief of w x h samples can be made.
bool ExtentFits(std::int64_t w, std::int64_t h) {
    const std::int64_t max = Mb3dMap::kMaxElevationSamples;
    return w > 0 && h > 0 && w <= max && h <= max && w * h <= max;
}

// Values the seasons a texture set does not store get.
constexpr std::int32_t kMissingSeasonValue = 1500;

std::int16_t I16At(const std::uint8_t* p) {
    return static_cast<std::int16_t>(p[0] | p[1] << 8);
}
std::uint16_t U16At(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] | p[1] << 8);
}
std::int32_t I32At(const std::uint8_t* p) {
    return static_cast<std::int32_t>(
        static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
        static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24);
}

class Refusal {
public:
    explicit Refusal(MapLoadError* out) : out_(out) {}
    bool operator()(rymd::ArchiveReader& ar, MapLoadError e) const {
        if (out_) *out_ = e;
        ar.Fail();
        return false;
    }

private:
    MapLoadError* out_;
};

// Reads an int32 count in 0..max whose records of recordBytes each must fit in the bytes left.
// -1 when the count is refused (error set).
std::int64_t ReadCount(rymd::ArchiveReader& ar, std::int64_t max, std::size_t recordBytes,
                       MapLoadError& error) {
    const std::int32_t n = ar.ReadI32();
    if (!ar.Ok()) {
        error = MapLoadError::kTruncated;
        return -1;
    }
    if (n < 0 || n > max) {
        error = MapLoadError::kTooMany;
        return -1;
    }
    if (static_cast<std::uint64_t>(n) * recordBytes > ar.Remaining()) {
        error = MapLoadError::kTruncated;
        return -1;
    }
    return n;
}

// A zero-terminated field of a record (at most kIdFieldSize bytes).
std::string FieldText(const std::uint8_t* p) {
    std::size_t n = 0;
    while (n < static_cast<std::size_t>(kIdFieldSize) && p[n] != 0)
        ++n;
    return std::string(reinterpret_cast<const char*>(p), n);
}

// ---- Geometry and records --------------------------------------------------------------------

bool ReadBlock(rymd::ArchiveReader& ar, std::vector<std::uint8_t>& buf, std::size_t bytes) {
    buf.resize(bytes);
    return bytes == 0 || ar.ReadBytes(buf.data(), bytes);
}

void DecodeNodes(const std::vector<std::uint8_t>& b, std::vector<tagMapNode>& out) {
    out.resize(b.size() / kNodeBytes);
    for (std::size_t i = 0; i < out.size(); ++i)
        out[i] = {I32At(&b[i * 8]), I32At(&b[i * 8 + 4])};
}
void DecodeLinePoints(const std::vector<std::uint8_t>& b, std::vector<tagMapLinePoint>& out) {
    out.resize(b.size() / kLinePointBytes);
    for (std::size_t i = 0; i < out.size(); ++i)
        out[i] = {I32At(&b[i * 8]), I32At(&b[i * 8 + 4])};
}
void DecodeLines(const std::vector<std::uint8_t>& b, std::vector<tagMapLine>& out) {
    out.resize(b.size() / kLineBytes);
    for (std::size_t i = 0; i < out.size(); ++i) {
        const std::uint8_t* p = &b[i * kLineBytes];
        out[i] = {I16At(p), I16At(p + 2), I32At(p + 4), U16At(p + 8)};
    }
}
void DecodeList(const std::vector<std::uint8_t>& b, std::vector<std::int32_t>& out) {
    out.resize(b.size() / 4);
    for (std::size_t i = 0; i < out.size(); ++i)
        out[i] = I32At(&b[i * 4]);
}
void DecodePolygons(const std::vector<std::uint8_t>& b, std::vector<tagMapPolygon>& out) {
    out.resize(b.size() / kPolygonBytes);
    for (std::size_t i = 0; i < out.size(); ++i) {
        const std::uint8_t* p = &b[i * kPolygonBytes];
        out[i] = {I16At(p), p[2], p[3], I16At(p + 4)};
    }
}
void DecodeChiiki(const std::vector<std::uint8_t>& b, std::vector<ChiikiRecord>& out) {
    out.resize(b.size() / kChiikiBytes);
    for (std::size_t i = 0; i < out.size(); ++i) {
        const std::uint8_t* p = &b[i * kChiikiBytes];
        ChiikiRecord& r = out[i];
        r.id = FieldText(p);
        r.name = FieldText(p + kIdFieldSize);
        std::memcpy(r.fieldBytes.data(), p, r.fieldBytes.size());
    }
}
void DecodeKuni(const std::vector<std::uint8_t>& b, std::vector<KuniRecord>& out) {
    out.resize(b.size() / kKuniBytes);
    for (std::size_t i = 0; i < out.size(); ++i) {
        const std::uint8_t* p = &b[i * kKuniBytes];
        KuniRecord& r = out[i];
        r.id = FieldText(p);
        r.name = FieldText(p + kIdFieldSize);
        std::memcpy(r.fieldBytes.data(), p, r.fieldBytes.size());
        r.chiiki = I16At(p + 2 * kIdFieldSize);
    }
}

// Reads count records of recordBytes each (the count was checked against the bytes left).
template <class T, class Decode>
bool ReadRecords(rymd::ArchiveReader& ar, std::int64_t count, std::size_t recordBytes, std::vector<T>& out,
                 Decode decode) {
    std::vector<std::uint8_t> buf;
    if (!ReadBlock(ar, buf, static_cast<std::size_t>(count) * recordBytes)) return false;
    decode(buf, out);
    return true;
}

// ---- Texture sets --------------------------------------------------------------------------------

void EmptySeason(Mb3dMap::tagTEXTURE_SET& set, int s) {
    set.first[s].FreeBitmap();
    set.second[s].FreeBitmap();
    set.third[s].FreeBitmap();
    set.firstValue[s] = set.secondValue[s] = set.thirdValue[s] = kMissingSeasonValue;
}

// A raw bitmap of the oldest texture form: a 40-byte info header and the pixel rows, bottom row
// first, without a colour table.
bool ReadRawBitmap(rymd::ArchiveReader& ar, MbBmp::CControlBmp& out) {
    std::uint8_t h[kBitmapInfoHeaderBytes];
    if (!ar.ReadBytes(h, sizeof h)) return false;
    const std::int32_t w = I32At(h + 4);
    const std::int32_t height = I32At(h + 8);
    const int bits = U16At(h + 14);
    if (w < 1 || height < 1 || w > MbBmp::kMaxBitmapSide || height > MbBmp::kMaxBitmapSide) return false;
    if (bits != 8 && bits != 24 && bits != 32) return false;
    const std::int64_t rowBytes = (static_cast<std::int64_t>(w) * bits + 31) / 32 * 4;
    const std::int64_t total = rowBytes * height;
    if (total > MbBmp::kMaxBitmapBytes || static_cast<std::uint64_t>(total) > ar.Remaining()) return false;
    MbBmp::CControlBmp bmp;
    if (!bmp.CreateBitmap(w, height, bits) || bmp.GetWidthBytes() != rowBytes) return false;
    if (!ar.ReadBytes(bmp.GetBufferPtr(), static_cast<std::size_t>(total))) return false;
    out = std::move(bmp);
    return true;
}

bool ReadTextureSetOld(rymd::ArchiveReader& ar, Mb3dMap::tagTEXTURE_SET& set) {
    if (!ReadRawBitmap(ar, set.first[0]) || !ReadRawBitmap(ar, set.second[0]) ||
        !ReadRawBitmap(ar, set.third[0]))
        return false;
    set.firstValue[0] = ar.ReadI32();
    set.secondValue[0] = ar.ReadI32();
    set.thirdValue[0] = ar.ReadI32();
    set.name = ar.ReadCString();
    set.flags = 0;
    for (int s = 1; s < 4; ++s)
        EmptySeason(set, s);
    return ar.Ok();
}

bool ReadTextureSet(rymd::ArchiveReader& ar, Mb3dMap::tagTEXTURE_SET& set) {
    set.flags = ar.ReadI32();
    set.name = ar.ReadCString();
    if (!ar.Ok()) return false;
    const int seasons = (set.flags & Mb3dMap::tagTEXTURE_SET::kFourSeasons) ? 4 : 1;
    for (int s = 0; s < 4; ++s) {
        if (s >= seasons) {
            EmptySeason(set, s);
            continue;
        }
        if (!set.first[s].Serialize(ar) || !set.second[s].Serialize(ar) || !set.third[s].Serialize(ar))
            return false;
        set.firstValue[s] = ar.ReadI32();
        set.secondValue[s] = ar.ReadI32();
        set.thirdValue[s] = ar.ReadI32();
    }
    return ar.Ok();
}

// ---- Conversions of older versions ---------------------------------------------------------------

// "KorMap" before version 3 numbered the kinds from 1; a kind 0 had no value.
void ConvertOldKorMapPolygons(std::vector<tagMapPolygon>& polygons) {
    for (tagMapPolygon& p : polygons) {
        if ((p.kind & tagMapPolygon::kKindMask) != 0)
            --p.kind;
        else
            p.value = 0;
    }
}

// "RYUUMONDEN MAP " before version 3 kept one kind number (0..5 land of that level, 6 water,
// 7 hidden, 20 and above palette entry k - 20) and a value whose top bit meant a shadow; every
// polygon fills every pixel.
void ConvertOldRyuumondenPolygons(std::vector<tagMapPolygon>& polygons) {
    for (tagMapPolygon& p : polygons) {
        const int k = p.kind;
        const int v = p.value;
        std::uint8_t kind = tagMapPolygon::kLand;
        std::uint8_t value = 0;
        if (k <= 5) {
            value = static_cast<std::uint8_t>(k);
        } else if (k == 6) {
            kind = tagMapPolygon::kWater;
        } else if (k == 7) {
            kind = tagMapPolygon::kHidden;
        } else if (k >= 20) {
            kind = tagMapPolygon::kPalette;
            value = static_cast<std::uint8_t>(k - 20);
        }
        if (v >= 128) kind |= tagMapPolygon::kShadow;
        kind |= tagMapPolygon::kFillAll;
        p.kind = kind;
        p.value = value;
    }
}

// ---- The two formats -------------------------------------------------------------------------------

bool ReadKorMapBody(rymd::ArchiveReader& ar, KorMapData& d, MapLoadError* error) {
    const Refusal refuse(error);
    const std::int16_t version = ar.ReadI16();
    if (!ar.Ok()) return refuse(ar, MapLoadError::kTruncated);
    if (version < 0 || version > kKorMapVersion) return refuse(ar, MapLoadError::kBadVersion);
    d.formatFlag = 0;
    d.unit = kKorMapUnit;
    d.fileVersion = version;
    MapLoadError e = MapLoadError::kNone;

    if (version >= 1) {
        const std::int64_t n = ReadCount(ar, kMaxPictures, 1, e);
        if (n < 0) return refuse(ar, e);
        d.pictureNames.reserve(static_cast<std::size_t>(n));
        d.pictures.reserve(static_cast<std::size_t>(n));
        for (std::int64_t i = 0; i < n; ++i) {
            d.pictureNames.push_back(ar.ReadCString());
            d.pictures.emplace_back();
            if (!ar.Ok() || !d.pictures.back().Serialize(ar)) return refuse(ar, MapLoadError::kBadPicture);
        }
    }

    Mb3dMap::ElvLoadError elvError = Mb3dMap::ElvLoadError::kNone;
    if (!d.elvMap.Serialize(ar, &elvError))
        return refuse(ar, elvError == Mb3dMap::ElvLoadError::kTruncated ? MapLoadError::kTruncated
                                                                        : MapLoadError::kBadRelief);
    if (d.elvMap.GetMapWidth() <= 0 || d.elvMap.GetMapHeight() <= 0)
        return refuse(ar, MapLoadError::kBadRelief);
    d.elvMap.SetSaveType(1);

    const std::int64_t sets = ReadCount(ar, kMaxTextureSets, 1, e);
    if (sets < 0) return refuse(ar, e);
    d.reservedTextureWord = ar.ReadI32();
    d.textureSets.resize(static_cast<std::size_t>(sets));
    for (Mb3dMap::tagTEXTURE_SET& set : d.textureSets) {
        const bool ok = version >= 2 ? ReadTextureSet(ar, set) : ReadTextureSetOld(ar, set);
        if (!ok) return refuse(ar, ar.Ok() ? MapLoadError::kBadTexture : MapLoadError::kTruncated);
    }

    // An int32 count and its records.
    auto table = [&](std::size_t recordBytes, auto& out, auto decode) {
        const std::int64_t count = ReadCount(ar, INT32_MAX, recordBytes, e);
        if (count < 0) return false;
        if (!ReadRecords(ar, count, recordBytes, out, decode)) {
            e = MapLoadError::kTruncated;
            return false;
        }
        return true;
    };
    if (!table(kNodeBytes, d.nodes, DecodeNodes) || !table(kLinePointBytes, d.linePoints, DecodeLinePoints) ||
        !table(kLineBytes, d.lines, DecodeLines) || !table(4, d.polygonLineList, DecodeList) ||
        !table(kPolygonBytes, d.polygons, DecodePolygons))
        return refuse(ar, e);
    if (version < 3) ConvertOldKorMapPolygons(d.polygons);

    const std::int64_t labels = ReadCount(ar, kMaxLabels, 11, e);  // two int32, a length byte, a uint16
    if (labels < 0) return refuse(ar, e);
    d.labels.resize(static_cast<std::size_t>(labels));
    for (tagMapLabel& l : d.labels) {
        l.a = ar.ReadI32();
        l.b = ar.ReadI32();
        l.text = ar.ReadCString();
        l.value = ar.ReadU16();
    }
    for (COLORREF& c : d.palette)
        c = ar.ReadU32();
    d.waterColor = version >= 4 ? ar.ReadU32() : kDefaultWaterColor;
    if (!ar.Ok()) return refuse(ar, MapLoadError::kTruncated);

    if (!table(kChiikiBytes, d.chiiki, DecodeChiiki) || !table(kKuniBytes, d.kuni, DecodeKuni))
        return refuse(ar, e);
    if (!ar.Ok()) return refuse(ar, MapLoadError::kTruncated);
    d.width = d.elvMap.GetMapWidth();
    d.height = d.elvMap.GetMapHeight();
    return true;
}

bool ReadRyuumondenBody(rymd::ArchiveReader& ar, const std::uint8_t* signature, KorMapData& d,
                        MapLoadError* error) {
    const Refusal refuse(error);
    std::uint8_t header[kRyuumondenHeaderBytes];
    std::memcpy(header, signature, kSignatureBytes);
    if (!ar.ReadBytes(header + kSignatureBytes, kRyuumondenHeaderBytes - kSignatureBytes))
        return refuse(ar, MapLoadError::kTruncated);
    // The version text "0.03" follows the signature: digits at 15, 17 and 18.
    auto digit = [&](int i) { return header[i] >= '0' && header[i] <= '9' ? header[i] - '0' : -1; };
    if (digit(15) < 0 || digit(17) < 0 || digit(18) < 0) return refuse(ar, MapLoadError::kBadVersion);
    const int version = digit(15) * 100 + digit(17) * 10 + digit(18);
    // Versions after the one written here are not known.
    if (version > kRyuumondenVersion) return refuse(ar, MapLoadError::kBadVersion);
    d.formatFlag = 1;
    d.unit = kRyuumondenUnit;
    d.fileVersion = version;

    if (version >= 2)
        for (COLORREF& c : d.palette)
            c = ar.ReadU32();
    const std::int32_t counts[2] = {ar.ReadI32(), ar.ReadI32()};
    d.extent.left = ar.ReadI32();
    d.extent.top = ar.ReadI32();
    d.extent.right = ar.ReadI32();
    d.extent.bottom = ar.ReadI32();
    std::int32_t geometry[5];
    for (std::int32_t& c : geometry)
        c = ar.ReadI32();
    if (!ar.Ok()) return refuse(ar, MapLoadError::kTruncated);

    // Every count first: the arrays follow one another.
    const std::int32_t all[7] = {counts[0],   counts[1],   geometry[0], geometry[1],
                                 geometry[2], geometry[3], geometry[4]};
    const std::size_t bytes[7] = {kChiikiBytes, kKuniBytes, kNodeBytes,   kLinePointBytes,
                                  kLineBytes,   4,          kPolygonBytes};
    std::uint64_t total = 0;
    for (int i = 0; i < 7; ++i) {
        if (all[i] < 0) return refuse(ar, MapLoadError::kTooMany);
        total += static_cast<std::uint64_t>(all[i]) * bytes[i];
    }
    if (total > ar.Remaining()) return refuse(ar, MapLoadError::kTruncated);

    const std::int64_t w = static_cast<std::int64_t>(d.extent.right) - d.extent.left;
    const std::int64_t h = static_cast<std::int64_t>(d.extent.bottom) - d.extent.top;
    if (!ExtentFits(w, h)) return refuse(ar, MapLoadError::kBadSize);

    ReadRecords(ar, all[0], kChiikiBytes, d.chiiki, DecodeChiiki);
    ReadRecords(ar, all[1], kKuniBytes, d.kuni, DecodeKuni);
    ReadRecords(ar, all[2], kNodeBytes, d.nodes, DecodeNodes);
    ReadRecords(ar, all[3], kLinePointBytes, d.linePoints, DecodeLinePoints);
    ReadRecords(ar, all[4], kLineBytes, d.lines, DecodeLines);
    ReadRecords(ar, all[5], 4, d.polygonLineList, DecodeList);
    ReadRecords(ar, all[6], kPolygonBytes, d.polygons, DecodePolygons);
    if (!ar.Ok()) return refuse(ar, MapLoadError::kTruncated);
    if (version < 3) ConvertOldRyuumondenPolygons(d.polygons);

    if (!d.elvMap.CreateNewMap(static_cast<int>(w), static_cast<int>(h)))
        return refuse(ar, MapLoadError::kBadSize);
    d.elvMap.SetSaveType(1);
    d.width = d.elvMap.GetMapWidth();
    d.height = d.elvMap.GetMapHeight();
    d.waterColor = kDefaultWaterColor;
    d.textureSets = MakeInitialTextureSets();
    d.reservedTextureWord = 0;
    d.labels.clear();
    d.picturesKept = true;
    return true;
}

// ---- Writing ---------------------------------------------------------------------------------------

void PutI16(std::vector<std::uint8_t>& b, std::int16_t v) {
    b.push_back(static_cast<std::uint8_t>(v));
    b.push_back(static_cast<std::uint8_t>(static_cast<std::uint16_t>(v) >> 8));
}
void PutI32(std::vector<std::uint8_t>& b, std::int32_t v) {
    const auto u = static_cast<std::uint32_t>(v);
    for (int i = 0; i < 4; ++i)
        b.push_back(static_cast<std::uint8_t>(u >> (8 * i)));
}

// The id and name fields: the bytes as read with the current id and name put over them.
template <class Record>
void PutFields(std::vector<std::uint8_t>& b, const Record& r) {
    std::array<std::uint8_t, 2 * kIdFieldSize> f = r.fieldBytes;
    auto put = [&](const std::string& text, std::size_t at) {
        const std::size_t n = std::min(text.size(), static_cast<std::size_t>(kIdFieldSize));
        std::memcpy(f.data() + at, text.data(), n);
        if (n < static_cast<std::size_t>(kIdFieldSize)) f[at + n] = 0;
    };
    put(r.id, 0);
    put(r.name, kIdFieldSize);
    b.insert(b.end(), f.begin(), f.end());
}

std::vector<std::uint8_t> Records(const KorMapData& d, int which) {
    std::vector<std::uint8_t> b;
    switch (which) {
        case 0:
            for (const ChiikiRecord& r : d.chiiki)
                PutFields(b, r);
            break;
        case 1:
            for (const KuniRecord& r : d.kuni) {
                PutFields(b, r);
                PutI16(b, r.chiiki);
            }
            break;
        case 2:
            for (const tagMapNode& n : d.nodes) {
                PutI32(b, n.x);
                PutI32(b, n.y);
            }
            break;
        case 3:
            for (const tagMapLinePoint& p : d.linePoints) {
                PutI32(b, p.x);
                PutI32(b, p.y);
            }
            break;
        case 4:
            for (const tagMapLine& l : d.lines) {
                PutI16(b, l.start);
                PutI16(b, l.end);
                PutI32(b, l.firstPoint);
                PutI16(b, static_cast<std::int16_t>(l.color));
            }
            break;
        case 5:
            for (std::int32_t v : d.polygonLineList)
                PutI32(b, v);
            break;
        default:
            for (const tagMapPolygon& p : d.polygons) {
                PutI16(b, p.firstList);
                b.push_back(p.kind);
                b.push_back(p.value);
                PutI16(b, p.kuni);
            }
            break;
    }
    return b;
}

enum { kChiikiTable, kKuniTable, kNodeTable, kLinePointTable, kLineTable, kListTable, kPolygonTable };

void WriteCounted(rymd::ArchiveWriter& ar, std::size_t count, const std::vector<std::uint8_t>& records) {
    ar.WriteI32(static_cast<std::int32_t>(count));
    ar.WriteBytes(records.data(), records.size());
}

void WriteKorMapBody(rymd::ArchiveWriter& ar, const KorMapData& d) {
    ar.WriteCString("KorMap");
    ar.WriteI16(kKorMapVersion);
    const std::size_t pictures =
        std::min({d.pictures.size(), d.pictureNames.size(), static_cast<std::size_t>(kMaxPictures)});
    ar.WriteI32(static_cast<std::int32_t>(pictures));
    for (std::size_t i = 0; i < pictures; ++i) {
        ar.WriteCString(d.pictureNames[i]);
        d.pictures[i].Serialize(ar);
    }
    d.elvMap.Serialize(ar);
    const std::size_t sets = std::min(d.textureSets.size(), static_cast<std::size_t>(kMaxTextureSets));
    ar.WriteI32(static_cast<std::int32_t>(sets));
    ar.WriteI32(d.reservedTextureWord);
    for (std::size_t i = 0; i < sets; ++i) {
        const Mb3dMap::tagTEXTURE_SET& set = d.textureSets[i];
        ar.WriteI32(set.flags);
        ar.WriteCString(set.name);
        const int seasons = (set.flags & Mb3dMap::tagTEXTURE_SET::kFourSeasons) ? 4 : 1;
        for (int s = 0; s < seasons; ++s) {
            set.first[s].Serialize(ar);
            set.second[s].Serialize(ar);
            set.third[s].Serialize(ar);
            ar.WriteI32(set.firstValue[s]);
            ar.WriteI32(set.secondValue[s]);
            ar.WriteI32(set.thirdValue[s]);
        }
    }
    WriteCounted(ar, d.nodes.size(), Records(d, kNodeTable));
    WriteCounted(ar, d.linePoints.size(), Records(d, kLinePointTable));
    WriteCounted(ar, d.lines.size(), Records(d, kLineTable));
    WriteCounted(ar, d.polygonLineList.size(), Records(d, kListTable));
    WriteCounted(ar, d.polygons.size(), Records(d, kPolygonTable));
    const std::size_t labels = std::min(d.labels.size(), static_cast<std::size_t>(kMaxLabels));
    ar.WriteI32(static_cast<std::int32_t>(labels));
    for (std::size_t i = 0; i < labels; ++i) {
        ar.WriteI32(d.labels[i].a);
        ar.WriteI32(d.labels[i].b);
        ar.WriteCString(d.labels[i].text);
        ar.WriteU16(d.labels[i].value);
    }
    for (COLORREF c : d.palette)
        ar.WriteU32(c);
    ar.WriteU32(d.waterColor);
    WriteCounted(ar, d.chiiki.size(), Records(d, kChiikiTable));
    WriteCounted(ar, d.kuni.size(), Records(d, kKuniTable));
}

void WriteRyuumondenBody(rymd::ArchiveWriter& ar, const KorMapData& d) {
    char header[kRyuumondenHeaderBytes] = {};
    std::memcpy(header, kRyuumondenSignature, 15);
    std::memcpy(header + 15, kRyuumondenVersionText, 4);
    ar.WriteBytes(header, sizeof header);
    for (COLORREF c : d.palette)
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
    for (int table :
         {kChiikiTable, kKuniTable, kNodeTable, kLinePointTable, kLineTable, kListTable, kPolygonTable}) {
        const std::vector<std::uint8_t> b = Records(d, table);
        ar.WriteBytes(b.data(), b.size());
    }
}

// Records why a check failed; false.
struct CheckResult {
    MapLoadError error = MapLoadError::kNone;
    std::string why;
};

bool Fail(CheckResult& r, MapLoadError e, const std::string& text) {
    r.error = e;
    r.why = text;
    return false;
}

// Everything a reader checks after reading: capacities, sizes, indices and terminators.
bool CheckContent(const KorMapData& d, CheckResult& why) {
    auto fieldOk = [](const std::string& s) {
        return s.size() <= static_cast<std::size_t>(kIdFieldSize) && s.find('\0') == std::string::npos;
    };
    for (std::size_t i = 0; i < d.kuni.size(); ++i)
        if (!fieldOk(d.kuni[i].id) || !fieldOk(d.kuni[i].name))
            return Fail(why, MapLoadError::kBadGeometry,
                        "province " + std::to_string(i) + ": identifier or name longer than 31 bytes");
    for (std::size_t i = 0; i < d.chiiki.size(); ++i)
        if (!fieldOk(d.chiiki[i].id) || !fieldOk(d.chiiki[i].name))
            return Fail(why, MapLoadError::kBadGeometry,
                        "region " + std::to_string(i) + ": identifier or name longer than 31 bytes");
    if (d.pictures.size() != d.pictureNames.size())
        return Fail(why, MapLoadError::kBadPicture, "pictures and picture names differ in number");
    if (d.pictures.size() > static_cast<std::size_t>(kMaxPictures))
        return Fail(why, MapLoadError::kTooMany, "more than 5000 pictures");
    if (d.labels.size() > static_cast<std::size_t>(kMaxLabels))
        return Fail(why, MapLoadError::kTooMany, "more than 1000 labels");
    if (d.textureSets.size() > static_cast<std::size_t>(kMaxTextureSets))
        return Fail(why, MapLoadError::kTooMany, "more than 100 texture sets");
    for (std::size_t i = 0; i < d.textureSets.size(); ++i) {
        const Mb3dMap::tagTEXTURE_SET& set = d.textureSets[i];
        const int seasons = (set.flags & Mb3dMap::tagTEXTURE_SET::kFourSeasons) ? 4 : 1;
        for (int s = 0; s < seasons; ++s)
            if (set.first[s].IsEmpty())
                return Fail(why, MapLoadError::kBadTexture,
                            "texture set " + std::to_string(i) + ": season " + std::to_string(s) +
                                " has no low-land picture");
    }
    if (d.unit <= 0) return Fail(why, MapLoadError::kBadGeometry, "the unit must be positive");
    if (d.formatFlag) {
        const std::int64_t w = static_cast<std::int64_t>(d.extent.right) - d.extent.left;
        const std::int64_t h = static_cast<std::int64_t>(d.extent.bottom) - d.extent.top;
        if (!ExtentFits(w, h)) return Fail(why, MapLoadError::kBadSize, "the extent is empty or too large");
    } else {
        const int w = d.elvMap.GetMapWidth(), h = d.elvMap.GetMapHeight();
        if (w <= 0 || h <= 0 || w > INT16_MAX || h > INT16_MAX)
            return Fail(why, MapLoadError::kBadRelief, "the relief must have 1 to 32767 samples each way");
    }
    if (d.nodes.size() > INT32_MAX || d.linePoints.size() > INT32_MAX || d.lines.size() > INT32_MAX ||
        d.polygonLineList.size() > INT32_MAX || d.polygons.size() > INT32_MAX || d.kuni.size() > INT32_MAX ||
        d.chiiki.size() > INT32_MAX)
        return Fail(why, MapLoadError::kTooMany, "a table is too large");

    // Lines: valid nodes, and a run of inner points that ends with (-1, -1).
    const std::int64_t nodes = static_cast<std::int64_t>(d.nodes.size());
    const std::int64_t points = static_cast<std::int64_t>(d.linePoints.size());
    std::vector<bool> pointEnds(d.linePoints.size() + 1, false);  // a terminator at or after i
    for (std::int64_t i = points - 1; i >= 0; --i)
        pointEnds[static_cast<std::size_t>(i)] = d.linePoints[static_cast<std::size_t>(i)].IsTerminator() ||
                                                 pointEnds[static_cast<std::size_t>(i) + 1];
    for (std::size_t i = 0; i < d.lines.size(); ++i) {
        const tagMapLine& l = d.lines[i];
        if (l.start < 0 || l.start >= nodes || l.end < 0 || l.end >= nodes)
            return Fail(why, MapLoadError::kBadGeometry, "line " + std::to_string(i) + ": node out of range");
        if (l.firstPoint < 0 || l.firstPoint >= points || !pointEnds[static_cast<std::size_t>(l.firstPoint)])
            return Fail(why, MapLoadError::kBadGeometry,
                        "line " + std::to_string(i) + ": inner points out of range or without (-1, -1)");
    }
    // Polygons: a run of line indices that ends with -1, a province or none.
    const std::int64_t lines = static_cast<std::int64_t>(d.lines.size());
    const std::int64_t list = static_cast<std::int64_t>(d.polygonLineList.size());
    std::vector<bool> listEnds(d.polygonLineList.size() + 1, false);
    for (std::int64_t i = list - 1; i >= 0; --i) {
        const std::int32_t v = d.polygonLineList[static_cast<std::size_t>(i)];
        if (v < -1 || v >= lines)
            return Fail(why, MapLoadError::kBadGeometry,
                        "polygon line list entry " + std::to_string(i) + ": line out of range");
        listEnds[static_cast<std::size_t>(i)] = v == -1 || listEnds[static_cast<std::size_t>(i) + 1];
    }
    const std::int64_t kuni = static_cast<std::int64_t>(d.kuni.size());
    for (std::size_t i = 0; i < d.polygons.size(); ++i) {
        const tagMapPolygon& p = d.polygons[i];
        if (p.firstList < 0 || p.firstList >= list || !listEnds[static_cast<std::size_t>(p.firstList)])
            return Fail(why, MapLoadError::kBadGeometry,
                        "polygon " + std::to_string(i) + ": line run out of range or without -1");
        if (p.kuni >= kuni)
            return Fail(why, MapLoadError::kBadGeometry,
                        "polygon " + std::to_string(i) + ": province out of range");
    }
    return true;
}

}  // namespace

const char* MapLoadErrorText(MapLoadError error) {
    switch (error) {
        case MapLoadError::kNone: return "no error";
        case MapLoadError::kCannotOpen: return "the file cannot be read";
        case MapLoadError::kBadSignature: return "not a province map file";
        case MapLoadError::kBadVersion: return "unknown version";
        case MapLoadError::kTruncated: return "the file ends early";
        case MapLoadError::kTooMany: return "a count is negative or above its capacity";
        case MapLoadError::kBadPicture: return "a named picture cannot be read";
        case MapLoadError::kBadRelief: return "the relief cannot be read or is empty";
        case MapLoadError::kBadTexture: return "a texture set cannot be read or has no picture";
        case MapLoadError::kBadSize: return "the extent is empty or too large";
        case MapLoadError::kBadGeometry: return "an index, terminator or province number is out of range";
    }
    return "unknown";
}

bool ReadKorMap(rymd::ArchiveReader& ar, KorMapData& out, MapLoadError* error) {
    if (error) *error = MapLoadError::kNone;
    const Refusal refuse(error);
    std::uint8_t signature[kSignatureBytes];
    if (!ar.ReadBytes(signature, sizeof signature)) return refuse(ar, MapLoadError::kBadSignature);
    bool ok;
    if (std::memcmp(signature, kRyuumondenSignature, kSignatureBytes) == 0)
        ok = ReadRyuumondenBody(ar, signature, out, error);
    else if (std::memcmp(signature, kKorMapSignature, kSignatureBytes) == 0)
        ok = ReadKorMapBody(ar, out, error);
    else
        return refuse(ar, MapLoadError::kBadSignature);
    if (!ok) return false;
    CheckResult check;
    if (!CheckContent(out, check)) return refuse(ar, check.error);
    return true;
}

void WriteKorMap(rymd::ArchiveWriter& ar, const KorMapData& data) {
    if (data.formatFlag)
        WriteRyuumondenBody(ar, data);
    else
        WriteKorMapBody(ar, data);
}

bool CheckKorMapData(const KorMapData& data, std::string* why) {
    CheckResult check;
    if (CheckContent(data, check)) return true;
    if (why) *why = check.why;
    return false;
}

bool SaveKorMapFile(const char* path, const KorMapData& data, std::string* why) {
    if (!CheckKorMapData(data, why)) return false;
    rymd::ArchiveWriter ar;
    WriteKorMap(ar, data);
    if (!path || !rymd::WriteFileAtomic(path, ar.Data())) {
        if (why) *why = "the file cannot be written";
        return false;
    }
    return true;
}

}  // namespace MbKorMap
