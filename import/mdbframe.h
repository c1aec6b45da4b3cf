#pragma once

#include <cstdint>

// The stream that vidarro-mdbread writes and CMdbReader parses. Plain C++: the helper links no Qt.
//
// The stream starts with kMagic. Then items, each one tag byte, a 32-bit little-endian payload
// length and the payload:
//   'S'  one UTF-8 string: a table name, or one value of the current row;
//   'R'  (empty) a new row starts; exactly as many 'S' follow as columns were asked for;
//   'E'  end of stream; payload: the number of 'S' items as decimal digits.
// Nothing follows 'E'. A stream without it was cut short and is never trusted.
namespace import::mdbframe {

inline constexpr char kMagic[] = "VMDB1\n";
inline constexpr int kMagicSize = 6;

inline constexpr char kTagString = 'S';
inline constexpr char kTagRow = 'R';
inline constexpr char kTagEnd = 'E';
inline constexpr int kItemHeaderSize = 5;

// Exit codes of the helper; anything else (or a signal) counts as a failure of the helper itself.
enum ExitCode : int {
    kExitOk = 0,
    kExitUsage = 2,
    kExitNotDatabase = 3, // not a Jet file, or no readable catalogue
    kExitNoTable = 4,
    kExitNoColumn = 5, // stderr's last line names the column
    kExitDamaged = 6,
    kExitTooMuch = 7, // output outgrew what the file can hold: damaged
    kExitBinaryColumn = 8, // stderr's last line names the column
};

// Generous upper bound for an honest stream: a value's UTF-8 text takes at most three bytes per
// stored byte, and a stored row at least two bytes, while each row and value costs one item header.
// A stream past it comes from a damaged file (a loop, or one long value referenced over and over).
inline std::uint64_t OutputLimit(std::uint64_t fileSize, std::uint64_t columns)
{
    return fileSize * (6 * columns + 8) + (std::uint64_t(16) << 20);
}

} // namespace import::mdbframe
