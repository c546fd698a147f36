// Reading the engine's skin format (".SHE", see SKIN_FORMAT.md) into a theme of colours and metrics.
// Pure code on bytes: no Win32, no C or C++ runtime, so that the engine DLL, the host tests and the fuzz
// target all build it as it is.
#pragma once

#include <cstddef>
#include <cstdint>

namespace skinh {

// Colour entries (entry type 1), by the entry id they carry in the file. Keep in step with SKIN_FORMAT.md
// and cmake/SkinCompile.cmake.
enum class ColorId : std::uint16_t {
  CaptionActiveStart = 1,
  CaptionActiveEnd,
  CaptionInactiveStart,
  CaptionInactiveEnd,
  CaptionTextActive,
  CaptionTextInactive,
  FrameActive,
  FrameInactive,
  CaptionButtonHot,
  CaptionButtonPressed,
  CaptionButtonCloseHot,
  CaptionButtonGlyph,
  WindowFace,
  WindowText,
  ButtonFaceStart,
  ButtonFaceEnd,
  ButtonHotStart,
  ButtonHotEnd,
  ButtonPressedStart,
  ButtonPressedEnd,
  ButtonBorder,
  ButtonDefaultBorder,
  ButtonText,
  ButtonDisabledFace,
  ButtonDisabledBorder,
  ButtonDisabledText,
  FocusRing,
  GroupFrame,
  GroupText,
  EditFace,
  EditText,
  EditBorder,
  EditDisabledFace,
  EditDisabledText,
};
inline constexpr std::uint16_t kColorCount = 34;

// Metric entries (entry type 2): signed 32-bit values, each with its own allowed range.
enum class MetricId : std::uint16_t {
  CaptionFontWeight = 1,
  CaptionTextHeight,  // pixels; 0 = derived from the caption bar's height
  ButtonCornerRadius,
  FocusWidth,
  GroupFrameWidth,
  GroupTextWeight,
};
inline constexpr std::uint16_t kMetricCount = 6;

// A colour as red, green, blue bytes packed 0x00BBGGRR (the layout of a Win32 COLORREF).
using Rgb = std::uint32_t;
constexpr Rgb rgb(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
  return static_cast<Rgb>(r) | (static_cast<Rgb>(g) << 8) | (static_cast<Rgb>(b) << 16);
}

struct SkinTheme {
  Rgb colors[kColorCount];
  std::int32_t metrics[kMetricCount];

  Rgb color(ColorId id) const { return colors[static_cast<std::uint16_t>(id) - 1]; }
  std::int32_t metric(MetricId id) const { return metrics[static_cast<std::uint16_t>(id) - 1]; }
};

// Why a skin was refused; None means it was read.
enum class SkinError {
  None,
  NullData,
  BadLength,          // negative, shorter than a header, or above kMaxSkinBytes
  BadMagic,
  UnsupportedVersion,
  BadHeaderSize,
  SizeMismatch,       // the header's total size differs from the length passed
  TooManyEntries,
  ChecksumMismatch,
  TruncatedEntry,     // an entry header or payload runs past the end
  EntryTooLarge,
  BadEntrySize,       // a known entry type with a payload of the wrong size
  MetricOutOfRange,
  DuplicateEntry,
  TrailingBytes,      // bytes left after the last counted entry
};

inline constexpr std::uint8_t kSkinMagic[4] = {0x2E, 0x53, 0x48, 0x45};  // ".SHE"
inline constexpr std::uint16_t kSkinVersionMajor = 1;
inline constexpr std::uint32_t kSkinHeaderSize = 24;
inline constexpr std::uint32_t kMaxSkinBytes = 1u << 20;
inline constexpr std::uint32_t kMaxEntries = 4096;
inline constexpr std::uint32_t kMaxEntryPayload = 1u << 16;

enum EntryType : std::uint16_t { kEntryColor = 1, kEntryMetric = 2 };

// The engine's own look, used for every entry a skin leaves out.
void loadDefaultTheme(SkinTheme& theme);

// Reads `length` bytes at `data` into `theme`, starting from the defaults. On any error `theme` is left
// exactly as it was.
SkinError parseSkin(const std::uint8_t* data, std::int64_t length, SkinTheme& theme);

// FNV-1a, 32 bits: the checksum over everything after the header.
std::uint32_t skinChecksum(const std::uint8_t* data, std::size_t length);

}  // namespace skinh
