// PNG decoding and encoding through libpng's simplified interface (which reports every error by
// its result, so no jump buffers are needed here).
#include <png.h>

#include <algorithm>
#include <cstring>

#include "mbbmp/bmp_internal.h"
#include "mbbmp/control_bmp.h"

namespace MbBmp {

namespace {

// Copies packed top-down rows of bytesPerPixel into the bottom-up buffer of d.
void StoreTopDown(const std::vector<BYTE>& packed, int bytesPerPixel, BitmapData& d) {
    const std::size_t rowLen = static_cast<std::size_t>(d.width) * bytesPerPixel;
    for (int y = 0; y < d.height; ++y) {
        BYTE* out = d.pixels.data() + static_cast<std::size_t>(d.widthBytes) * (d.height - 1 - y);
        std::memcpy(out, packed.data() + rowLen * y, rowLen);
    }
}

std::vector<BYTE> LoadTopDown(const BitmapData& d) {
    const std::size_t rowLen = static_cast<std::size_t>(d.width) * (d.bitCount / 8);
    std::vector<BYTE> packed(rowLen * d.height);
    for (int y = 0; y < d.height; ++y) {
        const BYTE* in = d.pixels.data() + static_cast<std::size_t>(d.widthBytes) * (d.height - 1 - y);
        std::memcpy(packed.data() + rowLen * y, in, rowLen);
    }
    return packed;
}

// The form a PNG is read into: the libpng format and our bit count.
void ChooseForm(png_uint_32 fileFormat, bool toDisplayDepth, png_uint_32& format, int& bits) {
    const bool colormap = (fileFormat & PNG_FORMAT_FLAG_COLORMAP) != 0;
    const bool alpha = (fileFormat & PNG_FORMAT_FLAG_ALPHA) != 0;
    const bool colour = (fileFormat & PNG_FORMAT_FLAG_COLOR) != 0;
    if (toDisplayDepth) {
        format = PNG_FORMAT_BGR;
        bits = 24;
    } else if (alpha) {
        format = PNG_FORMAT_BGRA;
        bits = 32;
    } else if (colormap) {
        format = PNG_FORMAT_BGR_COLORMAP;
        bits = 8;
    } else if (!colour) {
        format = PNG_FORMAT_GRAY;
        bits = 8;
    } else {
        format = PNG_FORMAT_BGR;
        bits = 24;
    }
}

std::unique_ptr<BitmapData> DecodePng(const BYTE* data, std::size_t size, bool toDisplayDepth) {
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, data, size)) return nullptr;
    png_uint_32 format;
    int bits;
    ChooseForm(image.format, toDisplayDepth, format, bits);
    image.format = format;
    if (image.width > static_cast<png_uint_32>(kMaxBitmapSide) ||
        image.height > static_cast<png_uint_32>(kMaxBitmapSide)) {
        png_image_free(&image);
        return nullptr;
    }
    auto d = detail::NewData(static_cast<int>(image.width), static_cast<int>(image.height), bits);
    if (!d) {
        png_image_free(&image);
        return nullptr;
    }
    std::vector<BYTE> packed(PNG_IMAGE_SIZE(image));
    std::vector<BYTE> colormap(256 * 3);
    png_color black{0, 0, 0};
    const bool colormapped = (format & PNG_FORMAT_FLAG_COLORMAP) != 0;
    if (!png_image_finish_read(&image, &black, packed.data(), 0, colormapped ? colormap.data() : nullptr)) {
        return nullptr;  // libpng has freed the image
    }
    if (colormapped) {
        d->pallet.fill(RGBQUAD{});
        const int entries = static_cast<int>(std::min<png_uint_32>(image.colormap_entries, 256));
        for (int i = 0; i < entries; ++i) {
            d->pallet[i] = RGBQUAD{colormap[3 * i], colormap[3 * i + 1], colormap[3 * i + 2], 0};
        }
        d->palletNum = std::max(entries, 1);
    }
    StoreTopDown(packed, bits / 8, *d);
    return d;
}

}  // namespace

bool CControlBmp::LoadPngData(const BYTE* data, int size, bool toDisplayDepth) {
    if (data == nullptr || size <= 0) return false;
    auto d = DecodePng(data, static_cast<std::size_t>(size), toDisplayDepth);
    if (!d) return false;
    Adopt(std::move(d));
    return true;
}

bool CControlBmp::SavePngData(std::vector<BYTE>& out) const {
    out.clear();
    if (!data_) return false;
    const BitmapData& d = *data_;
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(d.width);
    image.height = static_cast<png_uint_32>(d.height);
    std::vector<BYTE> colormap;
    if (d.bitCount == 8) {
        image.format = PNG_FORMAT_BGR_COLORMAP;
        // Every index in use needs an entry, also one past the palette count.
        const BYTE maxIndex = *std::max_element(d.pixels.begin(), d.pixels.end());
        const int entries = std::max(d.palletNum, maxIndex + 1);
        image.colormap_entries = static_cast<png_uint_32>(entries);
        for (int i = 0; i < entries; ++i) {
            colormap.push_back(d.pallet[i].rgbBlue);
            colormap.push_back(d.pallet[i].rgbGreen);
            colormap.push_back(d.pallet[i].rgbRed);
        }
    } else {
        image.format = d.bitCount == 24 ? PNG_FORMAT_BGR : PNG_FORMAT_BGRA;
    }
    const std::vector<BYTE> packed = LoadTopDown(d);
    const void* cmap = colormap.empty() ? nullptr : colormap.data();
    png_alloc_size_t bytes = 0;
    if (!png_image_write_to_memory(&image, nullptr, &bytes, 0, packed.data(), 0, cmap)) return false;
    out.resize(bytes);
    if (!png_image_write_to_memory(&image, out.data(), &bytes, 0, packed.data(), 0, cmap)) {
        out.clear();
        return false;
    }
    out.resize(bytes);
    return true;
}

}  // namespace MbBmp
