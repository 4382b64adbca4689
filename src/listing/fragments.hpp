#pragma once
// The fixed texts by which the scans and passes recognise a listing. Each is
// matched case-sensitively anywhere in a line's text.

#include <cstddef>
#include <string_view>

namespace corvel {

// Letters one space apart, words three: two spaces before "I N" is not it.
inline constexpr std::string_view kBarStressHeader =
    "S T R E S S E S   I N   B A R   E L E M E N T S";
inline constexpr std::string_view kAccelerationHeader = "A C C E L";
// The "B" of "B A R": a byte that few other lines of a listing hold.
inline constexpr std::size_t kBarStressHeaderRare = 24;
static_assert(kBarStressHeader[kBarStressHeaderRare] == 'B');
inline constexpr std::string_view kTimeStepMark = "TIME STEP =";
inline constexpr std::string_view kTableEnd = "MAXIMUM";
inline constexpr std::string_view kElementListEnd = "VON MISES STRESS";
inline constexpr std::string_view kExponentMinus = "E-";
inline constexpr std::string_view kExponentPlus = "E+";
// Capitals that disqualify a first line of a row pair in the sample pass.
inline constexpr char kRejectS = 'S';
inline constexpr char kRejectF = 'F';

}  // namespace corvel
