#include "data/value_order.h"

#include <string>
#include <type_traits>

#include "platform/case_fold.h"
#include "platform/error.h"

namespace norv::data {
namespace {

template <typename T>
int three_way(T a, T b) {
  return a < b ? -1 : (b < a ? 1 : 0);
}

int compare_magnitudes(const jet::Decimal& a, const jet::Decimal& b) {
  for (std::size_t i = 0; i < a.magnitude.size(); ++i)
    if (a.magnitude[i] != b.magnitude[i]) return three_way(a.magnitude[i], b.magnitude[i]);
  return 0;
}

bool is_zero(const jet::Decimal& d) {
  for (std::uint32_t word : d.magnitude)
    if (word != 0) return false;
  return true;
}

// Values of one column share its scale.
int compare_decimals(const jet::Decimal& a, const jet::Decimal& b) {
  bool a_negative = a.negative && !is_zero(a);
  bool b_negative = b.negative && !is_zero(b);
  if (a_negative != b_negative) return a_negative ? -1 : 1;
  int by_magnitude = compare_magnitudes(a, b);
  return a_negative ? -by_magnitude : by_magnitude;
}

}  // namespace

bool is_ordered_type(jet::ColumnType type) {
  using jet::ColumnType;
  switch (type) {
    case ColumnType::binary:
    case ColumnType::ole:
    case ColumnType::memo:
    case ColumnType::guid:
      return false;
    default:
      return true;
  }
}

int compare_values(const jet::Value& a, const jet::Value& b) {
  if (a.index() != b.index())
    throw InvalidArgumentError("values of different types cannot be compared");
  return std::visit(
      [&](const auto& left) -> int {
        using T = std::decay_t<decltype(left)>;
        const T& right = std::get<T>(b);
        if constexpr (std::is_same_v<T, bool>) {
          return three_way(left ? -1 : 0, right ? -1 : 0);
        } else if constexpr (std::is_arithmetic_v<T>) {
          return three_way(left, right);
        } else if constexpr (std::is_same_v<T, jet::Currency>) {
          return three_way(left.scaled, right.scaled);
        } else if constexpr (std::is_same_v<T, jet::DateTime>) {
          // Jet compares the stored numbers, as its index keys order them.
          return three_way(left.serial, right.serial);
        } else if constexpr (std::is_same_v<T, std::string>) {
          return platform::compare_ignoring_case(left, right);
        } else if constexpr (std::is_same_v<T, jet::Decimal>) {
          return compare_decimals(left, right);
        } else {
          throw InvalidArgumentError("these values have no order");
        }
      },
      a);
}

}  // namespace norv::data
