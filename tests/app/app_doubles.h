#pragma once

// Test doubles for the update command: a window whose boxes and texts the
// test sets, message boxes that record what they show, a registry of fixed
// values and private-profile functions over files held in memory.

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "app/message_boxes.h"
#include "app/version_update_window.h"
#include "settings/private_profile.h"
#include "settings/registry.h"

namespace norv::test {

class TestWindow : public app::VersionUpdateWindow {
 public:
  bool fendrel = false, dovrel = false, brenvik = false;
  std::string version = "1.0";
  std::string year;
  std::string msg;
  int focus_moves = 0;
  bool unloaded = false;

  std::string version_text() const override { return version; }
  std::string year_text() const override { return year; }
  std::string& strMsg() override { return msg; }
  bool fendrel_ticked() const override { return fendrel; }
  bool dovrel_ticked() const override { return dovrel; }
  bool brenvik_ticked() const override { return brenvik; }
  void focus_year_list() override { ++focus_moves; }
  void unload() override { unloaded = true; }
};

struct ShownBox {
  std::string text;
  int style = 0;
  std::string title;
  bool operator==(const ShownBox&) const = default;
};

class RecordingBoxes : public app::MessageBoxes {
 public:
  std::vector<ShownBox> shown;
  void show(const std::string& text, int style, const std::string& title) override {
    shown.push_back({text, style, title});
  }
};

// Values by "key|value name", exactly as the command asks for them.
class FixedRegistry : public settings::Registry {
 public:
  std::map<std::string, RawValue> values;
  mutable std::vector<std::string> queries;

  std::optional<RawValue> query(std::int32_t root, const std::string& sub_key,
                                const std::string& value_name) const override {
    queries.push_back(std::to_string(root) + " " + sub_key + "|" + value_name);
    auto found = values.find(sub_key + "|" + value_name);
    if (found == values.end()) return std::nullopt;
    return found->second;
  }
};

// files[file][section][key]; every read is logged as "file [section] key".
class MemoryProfile : public settings::PrivateProfile {
 public:
  std::map<std::string, std::map<std::string, std::map<std::string, std::string>>> files;
  mutable std::vector<std::string> reads;

  std::string get_string(const std::string& section, const std::string& key,
                         const std::string& default_value, std::uint32_t,
                         const std::string& file_name) const override {
    reads.push_back(file_name + " [" + section + "] " + key);
    auto file = files.find(file_name);
    if (file == files.end()) return default_value;
    auto sec = file->second.find(section);
    if (sec == file->second.end()) return default_value;
    auto value = sec->second.find(key);
    return value == sec->second.end() ? default_value : value->second;
  }
  std::uint32_t get_int(const std::string&, const std::string&, std::int32_t value,
                        const std::string&) const override {
    return static_cast<std::uint32_t>(value);
  }
  bool write_string(const std::string&, const std::optional<std::string>&,
                    const std::optional<std::string>&, const std::string&) const override {
    return false;
  }
};

}  // namespace norv::test
