#pragma once

// The weights of Jet's "General" sort order, as index keys of Text and Memo
// columns use them: Jet 3 by code-page byte (code page 1252), Jet 4 by
// UTF-16 code unit (the legacy order of Access 2000 to 2003). The data are
// generated (scripts/generate-sort-orders); general_sort_key.cpp applies them.

#include <cstdint>
#include <span>

namespace norv::jet {

// What a character contributes to a key.
enum class SortKind : std::uint8_t {
  ignore,    // nothing
  simple,    // primary weight only
  base,      // Jet 3: a letter that can carry an accent (A C E I N O S U Y, ligatures)
  accent,    // primary weight of the plain letter and an accent (Jet 3 nibble, Jet 4 secondary)
  unprint,   // Jet 4: no weight, an unprintable record instead
  modifier,  // Jet 4: added to the last secondary byte
  kana,      // Jet 4: primary, optional secondary, and a kana flag
};

struct Jet3SortEntry {
  SortKind kind;
  std::uint8_t primary_length;  // 1 or 2
  std::uint16_t primary;        // big-endian weight bytes
  std::uint8_t nibble;          // accent code (kind accent)
  std::uint8_t base_letters;    // how many base letters the byte counts as
};

// Code units from `first` up to the next run's first share everything but
// the primary weight, which rises by one per code unit.
struct Jet4SortRun {
  std::uint16_t first;
  SortKind kind;
  std::uint8_t primary_length;  // 0 to 4
  std::uint32_t primary;        // of `first`, big-endian weight bytes
  std::uint8_t secondary_length;  // 0 to 2
  std::uint16_t secondary;
  std::uint8_t unprint;         // kind unprint: the record's code
  std::uint8_t modifier;        // kind modifier
  std::uint8_t kana;            // kind kana: 2 or 3
};

std::span<const Jet3SortEntry, 256> jet3_general_sort_table();

// Sorted by `first`; the first run starts at 0.
std::span<const Jet4SortRun> jet4_general_sort_runs();

}  // namespace norv::jet
