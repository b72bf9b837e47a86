#include "jet/index/general_sort_key.h"

#include <algorithm>
#include <optional>

#include "jet/format/format.h"
#include "jet/index/general_sort_tables.h"

namespace norv::jet {

namespace {

constexpr std::size_t max_key_characters = 255;
constexpr std::uint8_t space = 0x20;

template <typename Char>
std::span<const Char> key_characters(std::span<const Char> text) {
  text = text.first(std::min(text.size(), max_key_characters));
  while (!text.empty() && text.back() == space) text = text.first(text.size() - 1);
  return text;
}

void append_big_endian(std::vector<std::uint8_t>& out, std::uint32_t value, std::size_t bytes) {
  for (std::size_t i = bytes; i-- > 0;) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

// Jet 3 accents go into a string of nibbles after the primary weights. A
// nibble 2 stands for each base letter passed over since the last accent,
// so that the accent lands on the right letter.
class Jet3Accents {
 public:
  void letter(const Jet3SortEntry& entry) {
    if (entry.kind != SortKind::accent) {
      pending_ += entry.base_letters;
      return;
    }
    if (!nibbles_) nibbles_.emplace(1, std::uint8_t{0});
    nibbles_->insert(nibbles_->end(), pending_, std::uint8_t{2});
    nibbles_->push_back(entry.nibble);
    pending_ = 0;
  }

  void finish(std::vector<std::uint8_t>& key) {
    if (!nibbles_) {
      key.push_back(0x00);
      return;
    }
    nibbles_->push_back(0);
    if (nibbles_->size() % 2 != 0) nibbles_->push_back(0);
    for (std::size_t i = 0; i < nibbles_->size(); i += 2)
      key.push_back(static_cast<std::uint8_t>((*nibbles_)[i] << 4 | (*nibbles_)[i + 1]));
  }

 private:
  std::optional<std::vector<std::uint8_t>> nibbles_;
  std::size_t pending_ = 0;
};

const Jet4SortRun& jet4_run(char16_t unit) {
  auto runs = jet4_general_sort_runs();
  auto after = std::upper_bound(runs.begin(), runs.end(), unit,
                                [](char16_t u, const Jet4SortRun& run) { return u < run.first; });
  return *(after - 1);
}

// The parts of a Jet 4 key besides the primary weights: accents
// (secondary), kana flags and records of unprintable characters, each
// created when first needed, with positions counted in characters that
// have a primary weight.
class Jet4Extras {
 public:
  void character(const Jet4SortRun& run, std::size_t position) {
    if (run.kind == SortKind::simple || run.kind == SortKind::ignore) return;
    if (run.secondary_length > 0 || run.kind == SortKind::modifier) secondary(run, position);
    if (run.kind == SortKind::unprint) unprintable(run, position);
    if (run.kind == SortKind::kana) {
      if (!kana_) kana_.emplace();
      kana_->push_back(run.kana);
    }
  }

  void finish(std::vector<std::uint8_t>& key) {
    if (secondary_) {
      while (!secondary_->empty() && secondary_->back() <= 0x02) secondary_->pop_back();
      key.insert(key.end(), secondary_->begin(), secondary_->end());
    }
    if (!unprintable_ && !kana_) return;
    key.insert(key.end(), {0x01, 0x01});
    if (kana_) {
      while (!kana_->empty() && kana_->back() == 3) kana_->pop_back();
      for (std::size_t i = 0; i < kana_->size(); i += 3) {
        std::uint8_t packed = 0x80;
        for (std::size_t k = 0; k < 3 && i + k < kana_->size(); ++k)
          packed |= static_cast<std::uint8_t>((*kana_)[i + k] << (4 - 2 * k));
        key.push_back(packed);
      }
      key.insert(key.end(), {0xFF, 0x02, 0x80, 0xFF, 0x80});
      if (unprintable_) key.push_back(0xFF);
    }
    if (unprintable_) {
      key.push_back(0x01);
      key.insert(key.end(), unprintable_->begin(), unprintable_->end());
    }
  }

 private:
  void secondary(const Jet4SortRun& run, std::size_t position) {
    if (!secondary_) secondary_.emplace();
    if (represented_ < position) {
      secondary_->insert(secondary_->end(), position - represented_, std::uint8_t{0x02});
      represented_ = position;
    }
    if (run.secondary_length > 0) {
      append_big_endian(*secondary_, run.secondary, run.secondary_length);
      represented_ += 1;
    } else if (!secondary_->empty()) {
      secondary_->back() = static_cast<std::uint8_t>(secondary_->back() + run.modifier);
    } else {
      secondary_->push_back(run.modifier);
      leading_modifier_ = 1;
    }
  }

  void unprintable(const Jet4SortRun& run, std::size_t position) {
    if (!unprintable_) unprintable_.emplace();
    std::size_t place = secondary_ ? secondary_->size() + (position - represented_) - leading_modifier_
                                   : position;
    std::uint32_t weight = 0x8000 | (7 + 4 * place);
    unprintable_->insert(unprintable_->end(), {static_cast<std::uint8_t>(weight >> 8),
                                               static_cast<std::uint8_t>(weight), 0x06, run.unprint});
  }

  std::optional<std::vector<std::uint8_t>> secondary_;
  std::size_t represented_ = 0;
  std::size_t leading_modifier_ = 0;
  std::optional<std::vector<std::uint8_t>> unprintable_;
  std::optional<std::vector<std::uint8_t>> kana_;
};

}  // namespace

std::vector<std::uint8_t> jet3_general_sort_key(std::span<const std::uint8_t> code_page_bytes) {
  auto table = jet3_general_sort_table();
  std::vector<std::uint8_t> key;
  Jet3Accents accents;
  for (std::uint8_t byte : key_characters(code_page_bytes)) {
    const Jet3SortEntry& entry = table[byte];
    append_big_endian(key, entry.primary, entry.primary_length);
    accents.letter(entry);
  }
  accents.finish(key);
  return key;
}

std::vector<std::uint8_t> jet4_general_sort_key(std::u16string_view code_units) {
  std::vector<std::uint8_t> key;
  Jet4Extras extras;
  std::size_t weighed = 0;
  for (char16_t unit : key_characters(std::span<const char16_t>(code_units))) {
    const Jet4SortRun& run = jet4_run(unit);
    const std::size_t position = weighed;
    if (run.kind == SortKind::simple || run.kind == SortKind::accent || run.kind == SortKind::kana) {
      append_big_endian(key, run.primary + (unit - run.first), run.primary_length);
      weighed += 1;
    }
    extras.character(run, position);
  }
  key.push_back(0x01);
  extras.finish(key);
  key.push_back(0x00);
  return key;
}

std::vector<std::uint8_t> descending_text_key(FormatVersion format,
                                              std::vector<std::uint8_t> ascending) {
  for (std::uint8_t& b : ascending) b = static_cast<std::uint8_t>(~b);
  if (format_for(format).descending_text_key_terminator) ascending.push_back(0x00);
  return ascending;
}

}  // namespace norv::jet
