// Reading and writing the fixed-capacity text fields of the records. A host may leave a field
// without terminator, so reads stop at the capacity; writes never pass it and always terminate.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "NebrinCoreDll.h"

namespace nebrin::frame {

// The text of a field: up to its first NUL, or all of it when the host left none.
template <std::size_t N>
std::u16string FieldText(const NebrinChar (&field)[N]) {
  std::u16string text;
  for (std::size_t i = 0; i < N && field[i] != 0; ++i) text.push_back(static_cast<char16_t>(field[i]));
  return text;
}

// The text of a field cut to capacity - 1 units: what a reader whose buffer is the field's size
// takes back. What is stored for such a reader goes through it, so that a field the host left
// without terminator is stored cut short rather than stored whole and refused when read.
template <std::size_t N>
std::u16string TerminatedFieldText(const NebrinChar (&field)[N]) {
  std::u16string text = FieldText(field);
  if (text.size() >= N) text.resize(N - 1);
  return text;
}

// Stores `text` in the field, cut to capacity - 1 units, with its terminator.
template <std::size_t N>
void SetField(NebrinChar (&field)[N], std::u16string_view text) {
  std::size_t length = text.size() < N ? text.size() : N - 1;
  for (std::size_t i = 0; i < length; ++i) field[i] = static_cast<NebrinChar>(text[i]);
  field[length] = 0;
}

// Whether `text` fits the field without being cut.
template <std::size_t N>
constexpr bool FitsField(const NebrinChar (&)[N], std::u16string_view text) {
  return text.size() < N;
}

// Exact, case-sensitive comparison of two fields of the same capacity.
template <std::size_t N>
bool SameField(const NebrinChar (&a)[N], const NebrinChar (&b)[N]) {
  return FieldText(a) == FieldText(b);
}

// Whether the field holds exactly `text`.
template <std::size_t N>
bool FieldIs(const NebrinChar (&field)[N], std::u16string_view text) {
  return FieldText(field) == text;
}

// The text of a NUL-terminated parameter (empty for null).
std::u16string ParamText(const NebrinChar* text);

}  // namespace nebrin::frame
