// The relief map object: life cycle, raster members and the elevation stream.
#include "mb3dmap/elv_map.h"

#include <algorithm>

#include "mb3dmap/elv_coding.h"
#include "platform/core/archive.h"

namespace Mb3dMap {

namespace {

constexpr std::uint16_t kCodingRaw = 0;
constexpr std::uint16_t kCodingSeaRuns = 1;
constexpr std::uint16_t kCodingDelta = 2;
constexpr std::uint16_t kCodingJpeg = 3;

// Width and height from the frame header of a JPEG file image; false when none comes before the
// image data.
bool JpegFrameSize(const std::uint8_t* data, std::size_t size, int& width, int& height) {
    if (size < 4 || data[0] != 0xFF || data[1] != 0xD8) return false;
    std::size_t pos = 2;
    while (pos + 4 <= size) {
        if (data[pos] != 0xFF) return false;
        while (pos < size && data[pos] == 0xFF)
            ++pos;  // fill bytes
        if (pos + 3 > size) return false;
        const std::uint8_t marker = data[pos++];
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) continue;  // no length
        if (marker == 0xD9 || marker == 0xDA) return false;                  // end or scan: no frame
        const std::size_t len = static_cast<std::size_t>(data[pos] << 8 | data[pos + 1]);
        if (len < 2 || len > size - pos) return false;
        const bool frame =
            marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
        if (frame) {
            if (len < 7) return false;
            height = data[pos + 3] << 8 | data[pos + 4];
            width = data[pos + 5] << 8 | data[pos + 6];
            return true;
        }
        pos += len;
    }
    return false;
}

}  // namespace

const char* ElvLoadErrorMessage(ElvLoadError error) {
    return error == ElvLoadError::kNone || error == ElvLoadError::kCannotOpen ? "" : kMsgBadElevationData;
}

CCtrlElvMap::CCtrlElvMap() : m_Textures(static_cast<std::size_t>(kMaxTextureSets) * 4) {
    LoadDefaultTexture();
}

CCtrlElvMap::~CCtrlElvMap() = default;

bool CCtrlElvMap::CreateNewMap(int w, int h) {
    ++m_nContentGeneration;
    DeleteCompressedData();
    DropStretchedCopy();
    w = std::max(w, 0);
    h = std::max(h, 0);
    bool ok = true;
    if (w > 0x7FFF || h > 0x7FFF || static_cast<std::int64_t>(w) * h > kMaxElevationSamples) {
        w = h = 0;
        ok = false;
    }
    m_nMapWidth = w;
    m_nMapHeight = h;
    m_nRasterWidth = w + 1;
    m_nRasterHeight = h + 1;
    m_nRasterRowLength = 2 * m_nRasterWidth;
    m_Elevation.clear();
    if (w > 0 && h > 0) m_Elevation.assign(static_cast<std::size_t>(w + 1) * (h + 1), 0);
    m_Elevation.shrink_to_fit();
    return ok;
}

void CCtrlElvMap::ClearElevationData() {
    std::fill(m_Elevation.begin(), m_Elevation.end(), 0);
    ElevationDataModified();
}

void CCtrlElvMap::EraseLandTopography() {
    for (auto& v : m_Elevation)
        v = v != 0 ? 1 : 0;
    DeleteCompressedData();
    ElevationDataModified();
}

void CCtrlElvMap::ElevationDataModified() {
    ++m_nContentGeneration;
    m_CachedView.fill(-1);
    m_PreviousView.fill(-1);
}

void CCtrlElvMap::FillGapOfElevationData() {
    const int w = m_nMapWidth;
    const int h = m_nMapHeight;
    if (m_Elevation.empty() || w <= 0 || h <= 0) return;
    ++m_nContentGeneration;
    const std::size_t rw = static_cast<std::size_t>(m_nRasterWidth);
    for (int y = 0; y < h; ++y)
        m_Elevation[y * rw + w] = m_Elevation[y * rw + w - 1];
    std::copy_n(m_Elevation.begin() + (h - 1) * rw, rw, m_Elevation.begin() + h * rw);
}

int CCtrlElvMap::GetElevation(int x, int y) const {
    if (m_Elevation.empty() || x < 0 || y < 0 || x >= m_nRasterWidth || y >= m_nRasterHeight) return 0;
    return m_Elevation[static_cast<std::size_t>(y) * m_nRasterWidth + x];
}

void CCtrlElvMap::DeleteCompressedData() {
    m_Compressed.clear();
    m_Compressed.shrink_to_fit();
}

void CCtrlElvMap::DropStretchedCopy() {
    m_StretchedOverlay.Clear();
    m_Stretched.clear();
    m_Stretched.shrink_to_fit();
    m_CachedView.fill(0);
    m_PreviousStretched.clear();
    m_PreviousStretched.shrink_to_fit();
    m_PreviousView.fill(0);
    m_nStretchedWidth = 0;
    m_nStretchedHeight = 0;
    m_nStretchedRowLength = 0;
}

// ---- Stream form ------------------------------------------------------------------------------------

void CCtrlElvMap::Serialize(rymd::ArchiveWriter& ar) const {
    const int w = m_nMapWidth;
    const int h = m_nMapHeight;
    if (w == 0 || h == 0 || m_Elevation.empty()) {
        ar.WriteU16(kCodingDelta);
        ar.WriteI16(static_cast<std::int16_t>(w));
        ar.WriteI16(static_cast<std::int16_t>(h));
        return;
    }
    if (m_nSaveType == 1 && !m_Compressed.empty()) {
        ar.WriteU16(kCodingJpeg);
        ar.WriteI16(static_cast<std::int16_t>(w));
        ar.WriteI16(static_cast<std::int16_t>(h));
        ar.WriteU16(m_nCompressedMax);
        ar.WriteU32(static_cast<std::uint32_t>(m_Compressed.size()));
        ar.WriteBytes(m_Compressed.data(), m_Compressed.size());
        return;
    }
    ar.WriteU16(kCodingDelta);
    ar.WriteI16(static_cast<std::int16_t>(w));
    ar.WriteI16(static_cast<std::int16_t>(h));
    const std::vector<std::uint8_t> code = EncodeElevationCode(m_Elevation.data(), m_nRasterWidth, w, h);
    ar.WriteU32(static_cast<std::uint32_t>(code.size()));
    ar.WriteBytes(code.data(), code.size());
}

bool CCtrlElvMap::Serialize(rymd::ArchiveReader& ar, ElvLoadError* error) {
    ++m_nContentGeneration;
    auto refuse = [&](ElvLoadError e) {
        if (error) *error = e;
        ar.Fail();
        return false;
    };
    const std::uint16_t coding = ar.ReadU16();
    const int w = ar.ReadI16();
    const int h = ar.ReadI16();
    if (!ar.Ok()) return refuse(ElvLoadError::kTruncated);
    if (coding > kCodingJpeg) return refuse(ElvLoadError::kBadCoding);
    if (w < 0 || h < 0) return refuse(ElvLoadError::kBadSize);

    // Everything is read into these first; the object changes only when the whole stream is good.
    std::vector<std::uint16_t> raster;
    std::vector<std::uint8_t> jpeg;
    std::uint16_t maxElevation = 0;
    const std::size_t rw = static_cast<std::size_t>(w) + 1;
    if (w > 0 && h > 0) {
        const std::int64_t samples = static_cast<std::int64_t>(w) * h;
        if (samples > kMaxElevationSamples) return refuse(ElvLoadError::kTooLarge);
        if (coding == kCodingRaw) {
            if (ar.Remaining() < static_cast<std::size_t>(samples) * 2)
                return refuse(ElvLoadError::kTruncated);
            raster.assign(rw * (h + 1), 0);
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x)
                    raster[y * rw + x] = ar.ReadU16();
        } else if (coding == kCodingSeaRuns || coding == kCodingDelta) {
            const std::uint32_t n = ar.ReadU32();
            if (!ar.Ok() || n > ar.Remaining()) return refuse(ElvLoadError::kTruncated);
            std::vector<std::uint8_t> code(n);
            ar.ReadBytes(code.data(), n);
            // Check the code before allocating the raster it describes.
            if (CountElevationCode(code.data(), code.size(), samples) != samples)
                return refuse(ElvLoadError::kBadCode);
            raster.assign(rw * (h + 1), 0);
            if (!DecodeElevationCode(code.data(), code.size(), coding, raster.data(), static_cast<int>(rw), w,
                                     h))
                return refuse(ElvLoadError::kBadCode);
        } else {
            maxElevation = ar.ReadU16();
            const std::uint32_t n = ar.ReadU32();
            if (!ar.Ok() || n > ar.Remaining()) return refuse(ElvLoadError::kTruncated);
            jpeg.resize(n);
            ar.ReadBytes(jpeg.data(), n);
            int jw = 0, jh = 0;
            if (!JpegFrameSize(jpeg.data(), jpeg.size(), jw, jh) || jw != w || jh != h)
                return refuse(ElvLoadError::kBadJpeg);
            MbBmp::CControlBmp image;
            if (!image.LoadJpegData(jpeg.data(), static_cast<int>(jpeg.size()), false) ||
                image.GetWidth() != w || image.GetHeight() != h)
                return refuse(ElvLoadError::kBadJpeg);
            if (image.GetBitCount() != 8) {
                // A colour picture: its grey levels.
                MbBmp::CControlBmp grey;
                if (!grey.CreateDuplicate(image.GetHbmp(), 8)) return refuse(ElvLoadError::kBadJpeg);
                image = std::move(grey);
            }
            const MbBmp::RGBQUAD* pal = image.GetPalletPtr();
            raster.assign(rw * (h + 1), 0);
            for (int y = 0; y < h; ++y) {
                const std::uint8_t* row = image.GetLinePtr(y);  // image rows from the top
                for (int x = 0; x < w; ++x) {
                    const int level = pal[row[x]].rgbGreen;
                    raster[y * rw + x] = static_cast<std::uint16_t>(level * maxElevation / 255);
                }
            }
        }
    }

    DeleteCompressedData();
    m_nMapWidth = w;
    m_nMapHeight = h;
    m_nRasterWidth = w + 1;
    m_nRasterHeight = h + 1;
    m_nRasterRowLength = 2 * (w + 1);
    m_Elevation = std::move(raster);
    if (coding == kCodingJpeg && !m_Elevation.empty()) {
        m_Compressed = std::move(jpeg);
        m_nCompressedMax = maxElevation;
    }
    FillGapOfElevationData();
    DropStretchedCopy();
    if (error) *error = ElvLoadError::kNone;
    return true;
}

}  // namespace Mb3dMap
