#include "raster/MemoryBitmap.h"
#include "raster/RasterImageLoad.h"
#include "raster/RasterView.h"

#include "platform/FileOpen.h"
#include "platform/Resources.h"

#include <csetjmp>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <new>

#include <jpeglib.h>

namespace {

// libjpeg's error manager followed by the jump back into the loader. Zeroed before use, so no
// message table exists and nothing is ever printed.
struct JpegErrorTrap {
    jpeg_error_mgr manager;
    std::jmp_buf jump;
};

void JumpBack(j_common_ptr cinfo) {
    std::longjmp(reinterpret_cast<JpegErrorTrap*>(cinfo->err)->jump, 1);
}
void IgnoreMessage(j_common_ptr, int) {}
void IgnoreOutput(j_common_ptr) {}
void NoText(j_common_ptr, char* buffer) {
    buffer[0] = '\0';
}
void ResetErrors(j_common_ptr cinfo) {
    cinfo->err->num_warnings = 0;
    cinfo->err->msg_code = 0;
}

// Hostile progressive files can hold thousands of tiny scans, each a full pass over the
// coefficients; real images have a few dozen.
constexpr int kMaxScans = 500;
// Whole-image coefficient buffers (progressive files) beyond this fail instead of exhausting
// memory.
constexpr long kMaxWorkingMemory = 256L * 1024 * 1024;

void LimitScans(j_common_ptr cinfo) {
    if (cinfo->is_decompressor &&
        reinterpret_cast<j_decompress_ptr>(cinfo)->input_scan_number > kMaxScans) {
        JumpBack(cinfo);
    }
}

// The memory source: at the end of the data it supplies an end-of-image marker, so truncated
// data ends the image instead of failing.
const JOCTET kEndOfImage[2] = {0xFF, JPEG_EOI};

void NoOp(j_decompress_ptr) {}

boolean SupplyEndOfImage(j_decompress_ptr cinfo) {
    cinfo->src->next_input_byte = kEndOfImage;
    cinfo->src->bytes_in_buffer = sizeof kEndOfImage;
    return TRUE;
}

void SkipInput(j_decompress_ptr cinfo, long count) {
    if (count <= 0) {
        return;
    }
    jpeg_source_mgr* src = cinfo->src;
    const size_t skip = size_t(count) < src->bytes_in_buffer ? size_t(count) : src->bytes_in_buffer;
    src->next_input_byte += skip;
    src->bytes_in_buffer -= skip;
}

struct MemoryInput {
    const unsigned char* data;
    size_t size;
};

void AttachMemory(j_decompress_ptr cinfo, const void* input) {
    const auto* in = static_cast<const MemoryInput*>(input);
    auto* src = static_cast<jpeg_source_mgr*>((*cinfo->mem->alloc_small)(
        reinterpret_cast<j_common_ptr>(cinfo), JPOOL_PERMANENT, sizeof(jpeg_source_mgr)));
    src->next_input_byte = in->data;
    src->bytes_in_buffer = in->size;
    src->init_source = NoOp;
    src->fill_input_buffer = SupplyEndOfImage;
    src->skip_input_data = SkipInput;
    src->resync_to_restart = jpeg_resync_to_restart;
    src->term_source = NoOp;
    cinfo->src = src;
}

void AttachFile(j_decompress_ptr cinfo, const void* file) {
    jpeg_stdio_src(cinfo, static_cast<std::FILE*>(const_cast<void*>(file)));
}

void ConvertRow(const JSAMPLE* in, int components, RasterPixel* out, int width) {
    if (components == 3) {
        for (int x = 0; x < width; ++x, in += 3) {
            out[x] = 0xFF000000u | (uint32_t(in[0]) << 16) | (uint32_t(in[1]) << 8) | in[2];
        }
    } else if (components == 1) {
        for (int x = 0; x < width; ++x) {
            out[x] = 0xFF000000u | uint32_t(in[x]) * 0x010101u;
        }
    } else {
        std::memset(out, 0, sizeof(RasterPixel) * size_t(width));
    }
}

RasterBitmap* Decode(void (*attach)(j_decompress_ptr, const void*), const void* input,
                     RasterBitmap* target) {
    jpeg_decompress_struct cinfo;
    std::memset(&cinfo, 0, sizeof cinfo);
    JpegErrorTrap trap;
    std::memset(&trap, 0, sizeof trap);
    trap.manager.error_exit = JumpBack;
    trap.manager.emit_message = IgnoreMessage;
    trap.manager.output_message = IgnoreOutput;
    trap.manager.format_message = NoText;
    trap.manager.reset_error_mgr = ResetErrors;
    jpeg_progress_mgr progress;
    std::memset(&progress, 0, sizeof progress);
    progress.progress_monitor = LimitScans;
    cinfo.err = &trap.manager;

    RasterBitmap* volatile created = nullptr;
    if (setjmp(trap.jump)) {
        jpeg_destroy_decompress(&cinfo);
        delete created;
        return nullptr;
    }
    jpeg_CreateDecompress(&cinfo, JPEG_LIB_VERSION, sizeof cinfo);
    cinfo.progress = &progress;
    cinfo.mem->max_memory_to_use = kMaxWorkingMemory;
    attach(&cinfo, input);
    jpeg_read_header(&cinfo, TRUE);
    if (uint64_t(cinfo.image_width) * cinfo.image_height * 4 > INT32_MAX) {
        JumpBack(reinterpret_cast<j_common_ptr>(&cinfo));
    }
    // The output size is known before decompression starts, so a target that cannot take it
    // is turned away before a progressive image is read into memory.
    jpeg_calc_output_dimensions(&cinfo);
    const int width = int(cinfo.output_width);
    const int height = int(cinfo.output_height);
    RasterBitmap* bitmap = target;
    if (bitmap) {
        bitmap->Resize(width, height);
    } else {
        bitmap = created = new (std::nothrow) MemoryBitmap(width, height);
    }
    const RasterView view(bitmap);
    if (!view.Valid() || view.width != width || view.height != height) {
        JumpBack(reinterpret_cast<j_common_ptr>(&cinfo));
    }
    jpeg_start_decompress(&cinfo);
    if (int(cinfo.output_width) != width || int(cinfo.output_height) != height) {
        JumpBack(reinterpret_cast<j_common_ptr>(&cinfo));
    }
    const int components = cinfo.output_components;
    JSAMPARRAY line =
        (*cinfo.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&cinfo), JPOOL_IMAGE,
                                   JDIMENSION(width) * JDIMENSION(components), 1);
    while (cinfo.output_scanline < cinfo.output_height) {
        const int y = int(cinfo.output_scanline);
        if (jpeg_read_scanlines(&cinfo, line, 1) != 1) {
            JumpBack(reinterpret_cast<j_common_ptr>(&cinfo));
        }
        ConvertRow(line[0], components, view.Row(y), width);
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    return bitmap;
}

} // namespace

RasterBitmap* RasterLoadJpegMemory(const unsigned char* data, size_t size, RasterBitmap* target) {
    if (!data || size < 8) {
        return nullptr;
    }
    const MemoryInput input{data, size};
    return Decode(AttachMemory, &input, target);
}

RasterBitmap* RasterLoadJpegResource(void* module, int id, RasterBitmap* target) {
    const unsigned char* data = nullptr;
    size_t size = 0;
    if (!FindModuleResource(module, "JPG", id, &data, &size)) {
        return nullptr;
    }
    return RasterLoadJpegMemory(data, size, target);
}

RasterBitmap* RasterLoadJpegFile(const char* path, RasterBitmap* target) {
    if (!path) {
        return nullptr;
    }
    std::FILE* file = OpenFileForReading(path);
    if (!file) {
        return nullptr;
    }
    RasterBitmap* result = Decode(AttachFile, file, target);
    std::fclose(file);
    return result;
}
