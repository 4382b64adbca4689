#pragma once
// Capacities of the extraction state and read limits of the passes. They are
// limits of the data model: every table is sized by them once, and every loop
// that could otherwise run forever on hostile input ends at one of them.

#include <cstddef>
#include <cstdint>

namespace corvel {

inline constexpr int kTimeSlots = 200000;  // slot 0 is the -999.0 floor
inline constexpr int kMaxElements = 100;
inline constexpr int kSampleColumns = 200000;

inline constexpr std::size_t kLineChars = 199;  // a read stores at most this many bytes
inline constexpr std::size_t kLineSize = kLineChars + 1;
inline constexpr int kWindowLines = 4;  // L0 (oldest) to L3 (newest)

inline constexpr std::size_t kTokenChars = 19;
inline constexpr std::size_t kTokenSize = kTokenChars + 1;
inline constexpr int kTokenSlots = 9;    // slots 1 to 9
inline constexpr int kRowSplit = 9;      // slot count of every row split
inline constexpr int kHeadingSplit = 8;  // slot count of the split two lines above a header

inline constexpr std::size_t kNameChars = 4095;     // longest listing name accepted
inline constexpr std::size_t kOutputNameSize = 32;  // "-2147483648_stressTH.dat" fits

inline constexpr std::int32_t kModelScanReads = 5000000;  // node table and element list scans
inline constexpr std::int32_t kCollectReads = 5000000;    // collection step of the sample pass
inline constexpr std::int32_t kTimeStepReads = 2000000;   // time step pass
inline constexpr std::int32_t kLocateReads = 2000000;     // locate step of the sample pass

inline constexpr double kTimeFloor = -999.0;

// 128 KiB: the kernel copies each block into a buffer that stays in the L2
// cache for the line tests; a larger buffer was slower.
inline constexpr std::size_t kReadBufferSize = std::size_t{1} << 17;
// Bytes readable past the end of any line's storage and past the data of the
// read buffer: a token is copied into its slot with one fixed-size copy, and
// a line scan loads whole 64-byte steps.
inline constexpr std::size_t kCopySlack = 64;
static_assert(kCopySlack >= kTokenSize);
inline constexpr std::size_t kWriteBufferSize = std::size_t{1} << 16;
inline constexpr std::size_t kNumberFieldWidth = 12;

}  // namespace corvel
