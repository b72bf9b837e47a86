#pragma once

// Windows-1252, the ANSI code page of the suite's machines: the code page
// of Jet 3 text written there and of ANSI settings files. Built in, so
// that it reads the same on every system.

#include <array>
#include <cstdint>
#include <optional>

namespace norv::platform {

// The character of every byte. The five bytes Windows leaves undefined
// (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to the C1 control of the same value,
// as MultiByteToWideChar maps them, so that every byte survives a round
// trip.
const std::array<char32_t, 256>& windows_1252_table();

// The byte that holds `c`, or nullopt when the code page has none.
std::optional<std::uint8_t> windows_1252_byte(char32_t c);

}  // namespace norv::platform
