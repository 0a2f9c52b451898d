// The run/delta code of the elevation stream (codings 1 and 2).
//
// Samples run in row order from the top-left, width per row; the previous value p starts at 0 and
// carries over row ends. Each code byte b, read as a signed byte:
//   0x7F  a 16-bit literal v follows: emit v, p = v
//   0x81  a 16-bit count c follows: emit p c times (coding 1: emit sea c times, p = 0)
//   0x80  a 32-bit count c follows: the same with a longer count
//   other emit v = p + b (16-bit), p = v
// Coding 1 never turns land into sea: a literal 0 or a delta result 0 is emitted as 1 (and p
// becomes 1).
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace Mb3dMap {

// Coding 2 of width x height samples; sample (x, y) is samples[y x stride + x].
std::vector<std::uint8_t> EncodeElevationCode(const std::uint16_t* samples, int stride, int width,
                                              int height);

// Number of samples the code produces, or -1 when a byte's operand is cut off. Stops counting
// (and returns limit + 1) once more than limit samples are produced.
std::int64_t CountElevationCode(const std::uint8_t* code, std::size_t size, std::int64_t limit);

// Decodes coding 1 or 2 into rows of width samples (row stride `stride`). False when the code is
// malformed or does not give exactly width x height samples; nothing is written past the rows.
bool DecodeElevationCode(const std::uint8_t* code, std::size_t size, int coding, std::uint16_t* samples,
                         int stride, int width, int height);

}  // namespace Mb3dMap
