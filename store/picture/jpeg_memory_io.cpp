#include "store/picture/jpeg_memory_io.h"

#include <algorithm>
#include <new>

#include <jerror.h>

namespace velmora {
namespace {

struct MemorySource {
    jpeg_source_mgr manager;  // first member: libjpeg sees only this part
    const Bytes* data;
    std::size_t offset;
    bool prefixOnly;  // the data are the front of a longer stream: running out is fatal
    bool ranOut;
};

const JOCTET kEndOfImageMarker[2] = {0xFF, JPEG_EOI};

void initSource(j_decompress_ptr) {}

boolean fillInputBuffer(j_decompress_ptr cinfo) {
    auto* source = reinterpret_cast<MemorySource*>(cinfo->src);
    const Bytes& data = *source->data;
    if (source->offset < data.size()) {
        const std::size_t block = std::min(kJpegBlockSize, data.size() - source->offset);
        source->manager.next_input_byte = data.data() + source->offset;
        source->manager.bytes_in_buffer = block;
        source->offset += block;
        return TRUE;
    }
    if (data.empty()) {
        ERREXIT(cinfo, JERR_INPUT_EMPTY);
    }
    source->ranOut = true;
    if (source->prefixOnly) {
        ERREXIT(cinfo, JERR_INPUT_EOF);
    }
    WARNMS(cinfo, JWRN_JPEG_EOF);
    source->manager.next_input_byte = kEndOfImageMarker;
    source->manager.bytes_in_buffer = sizeof kEndOfImageMarker;
    return TRUE;
}

void skipInputData(j_decompress_ptr cinfo, long count) {
    if (count <= 0) {
        return;
    }
    jpeg_source_mgr* source = cinfo->src;
    auto remaining = static_cast<std::size_t>(count);
    while (remaining > source->bytes_in_buffer) {
        remaining -= source->bytes_in_buffer;
        fillInputBuffer(cinfo);
    }
    source->next_input_byte += remaining;
    source->bytes_in_buffer -= remaining;
}

void termSource(j_decompress_ptr) {}

struct MemoryDestination {
    jpeg_destination_mgr manager;  // first member: libjpeg sees only this part
    Bytes* out;
};

// Makes room for one more block at the end of the output; false when memory ran out.
bool growByBlock(MemoryDestination* destination) {
    Bytes& out = *destination->out;
    const std::size_t used = out.size();
    try {
        out.resize(used + kJpegBlockSize);
    } catch (const std::bad_alloc&) {
        return false;
    }
    destination->manager.next_output_byte = out.data() + used;
    destination->manager.free_in_buffer = kJpegBlockSize;
    return true;
}

void initDestination(j_compress_ptr cinfo) {
    auto* destination = reinterpret_cast<MemoryDestination*>(cinfo->dest);
    destination->out->clear();
    if (!growByBlock(destination)) {
        ERREXIT1(cinfo, JERR_OUT_OF_MEMORY, 10);
    }
}

boolean emptyOutputBuffer(j_compress_ptr cinfo) {
    // libjpeg calls this only when the whole block is full.
    if (!growByBlock(reinterpret_cast<MemoryDestination*>(cinfo->dest))) {
        ERREXIT1(cinfo, JERR_OUT_OF_MEMORY, 10);
    }
    return TRUE;
}

void termDestination(j_compress_ptr cinfo) {
    auto* destination = reinterpret_cast<MemoryDestination*>(cinfo->dest);
    destination->out->resize(destination->out->size() - destination->manager.free_in_buffer);
}

}  // namespace

void setMemorySource(j_decompress_ptr cinfo, const Bytes& data, bool prefixOnly) {
    auto* source = static_cast<MemorySource*>((*cinfo->mem->alloc_small)(
        reinterpret_cast<j_common_ptr>(cinfo), JPOOL_PERMANENT, sizeof(MemorySource)));
    source->manager.init_source = initSource;
    source->manager.fill_input_buffer = fillInputBuffer;
    source->manager.skip_input_data = skipInputData;
    source->manager.resync_to_restart = jpeg_resync_to_restart;
    source->manager.term_source = termSource;
    source->manager.next_input_byte = nullptr;
    source->manager.bytes_in_buffer = 0;
    source->data = &data;
    source->offset = 0;
    source->prefixOnly = prefixOnly;
    source->ranOut = false;
    cinfo->src = &source->manager;
}

bool memorySourceRanOut(j_decompress_ptr cinfo) {
    return reinterpret_cast<MemorySource*>(cinfo->src)->ranOut;
}

void setMemoryDestination(j_compress_ptr cinfo, Bytes& out) {
    auto* destination = static_cast<MemoryDestination*>((*cinfo->mem->alloc_small)(
        reinterpret_cast<j_common_ptr>(cinfo), JPOOL_PERMANENT, sizeof(MemoryDestination)));
    destination->manager.init_destination = initDestination;
    destination->manager.empty_output_buffer = emptyOutputBuffer;
    destination->manager.term_destination = termDestination;
    destination->out = &out;
    cinfo->dest = &destination->manager;
}

}  // namespace velmora
