#pragma once

#include <cstdint>
#include <span>

// Whether an image file ends before its image data does, where the decoder would not say so: a
// JPEG without the end marker after its last scan, a BMP shorter than its rows. Decoders fill
// what is missing with grey and report success; a trace of that would follow the fill.
bool IsImageDataCut(std::span<const std::uint8_t> bytes);
