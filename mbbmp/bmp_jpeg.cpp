// JPEG decoding and encoding through libjpeg.
//
// libjpeg reports errors by calling an exit routine; ours jumps back to the routine that started
// the work (setjmp/longjmp). Those routines keep nothing with a destructor in their own frame:
// everything they fill lives in a job object that the caller owns. A warning (corrupt or
// truncated data, which libjpeg would paper over) counts as a failure too.
// jpeglib.h needs size_t and FILE declared before it.
#include <csetjmp>
#include <cstddef>
#include <cstdio>
#include <cstring>

#include <jpeglib.h>

#include "mbbmp/bmp_internal.h"
#include "mbbmp/control_bmp.h"

namespace MbBmp {

namespace {

struct JpegErrors {
    jpeg_error_mgr mgr;
    std::jmp_buf jump;
    int warnings;
};

[[noreturn]] void OnJpegError(j_common_ptr cinfo) {
    std::longjmp(reinterpret_cast<JpegErrors*>(cinfo->err)->jump, 1);
}

void OnJpegMessage(j_common_ptr cinfo, int level) {
    if (level < 0) ++reinterpret_cast<JpegErrors*>(cinfo->err)->warnings;
}

void OnJpegOutput(j_common_ptr) {}

void InstallErrors(JpegErrors& errors) {
    jpeg_std_error(&errors.mgr);
    errors.mgr.error_exit = OnJpegError;
    errors.mgr.emit_message = OnJpegMessage;
    errors.mgr.output_message = OnJpegOutput;
    errors.warnings = 0;
}

// ---- Decoding ---------------------------------------------------------------------------------

struct DecodeJob {
    std::unique_ptr<BitmapData> result;
    std::vector<BYTE> line;

    // Makes room for the picture; false when it is too large.
    bool Prepare(int width, int height, int components) {
        result = detail::NewData(width, height, components == 1 ? 8 : 24);
        if (!result) return false;
        line.assign(static_cast<std::size_t>(width) * components, 0);
        return true;
    }
    // Stores decoded line y (counted from the top) into the bottom-up buffer.
    void StoreLine(int y, int components) {
        BitmapData& d = *result;
        BYTE* out = d.pixels.data() + static_cast<std::size_t>(d.widthBytes) * (d.height - 1 - y);
        if (components == 1) {
            std::memcpy(out, line.data(), static_cast<std::size_t>(d.width));
            return;
        }
        for (int x = 0; x < d.width; ++x) {
            out[3 * x] = line[3 * x + 2];
            out[3 * x + 1] = line[3 * x + 1];
            out[3 * x + 2] = line[3 * x];
        }
    }
};

// Only trivially destructible objects in this frame (see the top of the file).
bool RunDecode(const BYTE* data, unsigned long size, DecodeJob& job) {
    jpeg_decompress_struct cinfo;
    JpegErrors errors;
    InstallErrors(errors);
    cinfo.err = &errors.mgr;
    if (setjmp(errors.jump) != 0) {
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, data, size);
    if (jpeg_read_header(&cinfo, TRUE) != JPEG_HEADER_OK) {
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    const bool grey = cinfo.jpeg_color_space == JCS_GRAYSCALE;
    if (!grey && cinfo.jpeg_color_space != JCS_YCbCr && cinfo.jpeg_color_space != JCS_RGB) {
        jpeg_destroy_decompress(&cinfo);  // CMYK and others are not taken
        return false;
    }
    cinfo.out_color_space = grey ? JCS_GRAYSCALE : JCS_RGB;
    if (cinfo.image_width > static_cast<unsigned>(kMaxBitmapSide) ||
        cinfo.image_height > static_cast<unsigned>(kMaxBitmapSide) ||
        !job.Prepare(static_cast<int>(cinfo.image_width), static_cast<int>(cinfo.image_height),
                     grey ? 1 : 3)) {
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    jpeg_start_decompress(&cinfo);
    const int components = cinfo.output_components;
    if (cinfo.output_width != cinfo.image_width || cinfo.output_height != cinfo.image_height ||
        components != (grey ? 1 : 3)) {
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    while (cinfo.output_scanline < cinfo.output_height) {
        const int y = static_cast<int>(cinfo.output_scanline);
        JSAMPROW row = job.line.data();
        if (jpeg_read_scanlines(&cinfo, &row, 1) != 1) {
            jpeg_destroy_decompress(&cinfo);
            return false;
        }
        job.StoreLine(y, components);
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    return errors.warnings == 0;
}

// ---- Encoding ---------------------------------------------------------------------------------

struct EncodeJob {
    jpeg_destination_mgr dest;  // first member: libjpeg hands it back to the callbacks
    BYTE* out;
    std::size_t capacity;
    std::size_t used;
    bool overflow;
    BYTE scratch[4096];  // where the output goes once out is full
    BYTE* line;          // one line of samples (the caller's buffer)
};

void DestInit(j_compress_ptr cinfo) {
    auto* job = reinterpret_cast<EncodeJob*>(cinfo->dest);
    job->dest.next_output_byte = job->out;
    job->dest.free_in_buffer = job->capacity;
    job->used = 0;
}

boolean DestEmpty(j_compress_ptr cinfo) {
    // Called only when the whole free part was filled: the output does not fit.
    auto* job = reinterpret_cast<EncodeJob*>(cinfo->dest);
    if (!job->overflow) job->used = job->capacity;
    job->overflow = true;
    job->dest.next_output_byte = job->scratch;
    job->dest.free_in_buffer = sizeof(job->scratch);
    return TRUE;
}

void DestTerm(j_compress_ptr cinfo) {
    auto* job = reinterpret_cast<EncodeJob*>(cinfo->dest);
    if (!job->overflow) job->used = job->capacity - job->dest.free_in_buffer;
}

// Fills job.line with line y (counted from the top) of d as RGB or grey samples.
void LoadLine(const BitmapData& d, int y, bool grey, EncodeJob& job) {
    const BYTE* row = d.pixels.data() + static_cast<std::size_t>(d.widthBytes) * (d.height - 1 - y);
    for (int x = 0; x < d.width; ++x) {
        if (grey) {
            job.line[x] = row[x];
            continue;
        }
        BYTE b, g, r;
        detail::ReadBgr(d, row, x, b, g, r);
        job.line[3 * x] = r;
        job.line[3 * x + 1] = g;
        job.line[3 * x + 2] = b;
    }
}

// Only trivially destructible objects in this frame (see the top of the file).
bool RunEncode(const BitmapData& d, bool grey, int quality, EncodeJob& job) {
    jpeg_compress_struct cinfo;
    JpegErrors errors;
    InstallErrors(errors);
    cinfo.err = &errors.mgr;
    if (setjmp(errors.jump) != 0) {
        jpeg_destroy_compress(&cinfo);
        return false;
    }
    jpeg_create_compress(&cinfo);
    job.dest.init_destination = DestInit;
    job.dest.empty_output_buffer = DestEmpty;
    job.dest.term_destination = DestTerm;
    cinfo.dest = &job.dest;
    cinfo.image_width = static_cast<JDIMENSION>(d.width);
    cinfo.image_height = static_cast<JDIMENSION>(d.height);
    cinfo.input_components = grey ? 1 : 3;
    cinfo.in_color_space = grey ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, quality, TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        LoadLine(d, static_cast<int>(cinfo.next_scanline), grey, job);
        JSAMPROW row = job.line;
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    return errors.warnings == 0;
}

}  // namespace

bool CControlBmp::LoadJpegData(const BYTE* data, int size, bool toDisplayDepth) {
    if (data == nullptr || size <= 0) return false;
    DecodeJob job;
    if (!RunDecode(data, static_cast<unsigned long>(size), job)) return false;
    auto d = detail::ToRequestedDepth(std::move(job.result), toDisplayDepth);
    if (!d) return false;
    Adopt(std::move(d));
    return true;
}

bool CControlBmp::CompressSaveJpeg(BYTE* out, int capacity, int* size, int quality) const {
    if (!data_ || out == nullptr || capacity <= 0) return false;
    const BitmapData& d = *data_;
    const bool grey = d.bitCount == 8 && detail::IsGreyRamp(d);
    std::vector<BYTE> line(static_cast<std::size_t>(d.width) * (grey ? 1 : 3));
    EncodeJob job{};
    job.out = out;
    job.capacity = static_cast<std::size_t>(capacity);
    job.line = line.data();
    const int q = quality < 1 ? 1 : quality > 100 ? 100 : quality;
    if (!RunEncode(d, grey, q, job) || job.overflow) return false;
    if (size != nullptr) *size = static_cast<int>(job.used);
    return true;
}

}  // namespace MbBmp
