#include "skin_format.h"

namespace skinh {
namespace {

struct ColorDefault {
  ColorId id;
  Rgb value;
};

// The engine's look when a skin says nothing: a plain warm scheme, close to the built-in skin.
constexpr ColorDefault kColorDefaults[kColorCount] = {
    {ColorId::CaptionActiveStart, rgb(150, 40, 26)},    {ColorId::CaptionActiveEnd, rgb(196, 72, 30)},
    {ColorId::CaptionInactiveStart, rgb(140, 124, 112)}, {ColorId::CaptionInactiveEnd, rgb(168, 154, 142)},
    {ColorId::CaptionTextActive, rgb(255, 255, 255)},   {ColorId::CaptionTextInactive, rgb(240, 234, 226)},
    {ColorId::FrameActive, rgb(110, 30, 18)},           {ColorId::FrameInactive, rgb(120, 108, 98)},
    {ColorId::CaptionButtonHot, rgb(214, 98, 58)},      {ColorId::CaptionButtonPressed, rgb(110, 30, 18)},
    {ColorId::CaptionButtonCloseHot, rgb(224, 68, 46)}, {ColorId::CaptionButtonGlyph, rgb(255, 255, 255)},
    {ColorId::WindowFace, rgb(250, 242, 224)},          {ColorId::WindowText, rgb(43, 29, 20)},
    {ColorId::ButtonFaceStart, rgb(248, 230, 196)},     {ColorId::ButtonFaceEnd, rgb(236, 206, 152)},
    {ColorId::ButtonHotStart, rgb(255, 242, 214)},      {ColorId::ButtonHotEnd, rgb(246, 216, 160)},
    {ColorId::ButtonPressedStart, rgb(222, 180, 116)},  {ColorId::ButtonPressedEnd, rgb(232, 198, 140)},
    {ColorId::ButtonBorder, rgb(122, 74, 34)},          {ColorId::ButtonDefaultBorder, rgb(150, 40, 26)},
    {ColorId::ButtonText, rgb(43, 29, 20)},             {ColorId::ButtonDisabledFace, rgb(232, 225, 213)},
    {ColorId::ButtonDisabledBorder, rgb(185, 174, 163)}, {ColorId::ButtonDisabledText, rgb(150, 140, 130)},
    {ColorId::FocusRing, rgb(30, 90, 168)},             {ColorId::GroupFrame, rgb(181, 101, 29)},
    {ColorId::GroupText, rgb(139, 46, 22)},             {ColorId::EditFace, rgb(255, 253, 247)},
    {ColorId::EditText, rgb(26, 18, 12)},               {ColorId::EditBorder, rgb(138, 106, 74)},
    {ColorId::EditDisabledFace, rgb(239, 232, 218)},    {ColorId::EditDisabledText, rgb(120, 110, 100)},
};

struct MetricRule {
  MetricId id;
  std::int32_t defaultValue;
  std::int32_t minimum;
  std::int32_t maximum;
};

constexpr MetricRule kMetricRules[kMetricCount] = {
    {MetricId::CaptionFontWeight, 700, 100, 900}, {MetricId::CaptionTextHeight, 0, 0, 48},
    {MetricId::ButtonCornerRadius, 4, 0, 16},     {MetricId::FocusWidth, 2, 1, 4},
    {MetricId::GroupFrameWidth, 1, 1, 4},         {MetricId::GroupTextWeight, 700, 100, 900},
};

// A bounds-checked cursor over the skin bytes. Every read checks the range first, in 64-bit arithmetic,
// and a failed read leaves the cursor unusable (ok() false) instead of reading past the end.
class ByteReader {
 public:
  ByteReader(const std::uint8_t* data, std::uint64_t size) : data_(data), size_(size) {}

  bool ok() const { return ok_; }
  std::uint64_t position() const { return position_; }
  std::uint64_t remaining() const { return ok_ ? size_ - position_ : 0; }
  const std::uint8_t* here() const { return data_ + position_; }

  std::uint16_t u16() {
    if (!take(2)) return 0;
    return static_cast<std::uint16_t>(data_[position_ - 2] | (data_[position_ - 1] << 8));
  }
  std::uint32_t u32() {
    if (!take(4)) return 0;
    const std::uint8_t* p = data_ + position_ - 4;
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
  }
  bool skip(std::uint64_t count) { return take(count); }

 private:
  bool take(std::uint64_t count) {
    if (!ok_ || count > size_ - position_) {
      ok_ = false;
      return false;
    }
    position_ += count;
    return true;
  }

  const std::uint8_t* data_;
  std::uint64_t size_;
  std::uint64_t position_ = 0;
  bool ok_ = true;
};

const MetricRule* findMetricRule(std::uint16_t id) {
  for (const MetricRule& rule : kMetricRules) {
    if (static_cast<std::uint16_t>(rule.id) == id) return &rule;
  }
  return nullptr;
}

// Tracks which known entries were seen, to refuse a skin that sets one twice.
struct SeenEntries {
  bool colors[kColorCount] = {};
  bool metrics[kMetricCount] = {};
};

SkinError readColor(const std::uint8_t* payload, std::uint32_t size, std::uint16_t id, SkinTheme& theme,
                    SeenEntries& seen) {
  if (size != 4) return SkinError::BadEntrySize;
  if (id == 0 || id > kColorCount) return SkinError::None;  // a colour of a later minor version
  if (seen.colors[id - 1]) return SkinError::DuplicateEntry;
  seen.colors[id - 1] = true;
  theme.colors[id - 1] = rgb(payload[0], payload[1], payload[2]);  // payload[3] is reserved
  return SkinError::None;
}

SkinError readMetric(const std::uint8_t* payload, std::uint32_t size, std::uint16_t id, SkinTheme& theme,
                     SeenEntries& seen) {
  if (size != 4) return SkinError::BadEntrySize;
  const MetricRule* rule = findMetricRule(id);
  if (rule == nullptr) return SkinError::None;  // a metric of a later minor version
  const std::uint32_t raw = static_cast<std::uint32_t>(payload[0]) | (static_cast<std::uint32_t>(payload[1]) << 8) |
                            (static_cast<std::uint32_t>(payload[2]) << 16) |
                            (static_cast<std::uint32_t>(payload[3]) << 24);
  const std::int32_t value = static_cast<std::int32_t>(raw);
  if (value < rule->minimum || value > rule->maximum) return SkinError::MetricOutOfRange;
  if (seen.metrics[id - 1]) return SkinError::DuplicateEntry;
  seen.metrics[id - 1] = true;
  theme.metrics[id - 1] = value;
  return SkinError::None;
}

SkinError readEntries(ByteReader& reader, std::uint32_t count, SkinTheme& theme) {
  SeenEntries seen;
  for (std::uint32_t i = 0; i < count; ++i) {
    const std::uint16_t type = reader.u16();
    const std::uint16_t id = reader.u16();
    const std::uint32_t size = reader.u32();
    if (!reader.ok()) return SkinError::TruncatedEntry;
    if (size > kMaxEntryPayload) return SkinError::EntryTooLarge;
    const std::uint8_t* payload = reader.here();
    if (!reader.skip(size)) return SkinError::TruncatedEntry;

    SkinError error = SkinError::None;
    if (type == kEntryColor) {
      error = readColor(payload, size, id, theme, seen);
    } else if (type == kEntryMetric) {
      error = readMetric(payload, size, id, theme, seen);
    }  // other types belong to later minor versions and are skipped whole
    if (error != SkinError::None) return error;
  }
  return reader.remaining() == 0 ? SkinError::None : SkinError::TrailingBytes;
}

bool hasMagic(const std::uint8_t* data) {
  for (std::size_t i = 0; i < 4; ++i) {
    if (data[i] != kSkinMagic[i]) return false;
  }
  return true;
}

}  // namespace

void loadDefaultTheme(SkinTheme& theme) {
  for (const ColorDefault& entry : kColorDefaults) {
    theme.colors[static_cast<std::uint16_t>(entry.id) - 1] = entry.value;
  }
  for (const MetricRule& rule : kMetricRules) {
    theme.metrics[static_cast<std::uint16_t>(rule.id) - 1] = rule.defaultValue;
  }
}

std::uint32_t skinChecksum(const std::uint8_t* data, std::size_t length) {
  std::uint32_t hash = 2166136261u;
  for (std::size_t i = 0; i < length; ++i) {
    hash ^= data[i];
    hash *= 16777619u;
  }
  return hash;
}

SkinError parseSkin(const std::uint8_t* data, std::int64_t length, SkinTheme& theme) {
  if (data == nullptr) return SkinError::NullData;
  if (length < static_cast<std::int64_t>(kSkinHeaderSize) || length > static_cast<std::int64_t>(kMaxSkinBytes)) {
    return SkinError::BadLength;
  }
  const std::uint64_t size = static_cast<std::uint64_t>(length);
  if (!hasMagic(data)) return SkinError::BadMagic;

  ByteReader reader(data, size);
  reader.skip(4);
  const std::uint16_t major = reader.u16();
  reader.u16();  // minor: a later minor version only adds entries, which are skipped
  const std::uint32_t headerSize = reader.u32();
  const std::uint32_t totalSize = reader.u32();
  const std::uint32_t entryCount = reader.u32();
  const std::uint32_t checksum = reader.u32();
  if (major != kSkinVersionMajor) return SkinError::UnsupportedVersion;
  if (headerSize < kSkinHeaderSize || headerSize > size) return SkinError::BadHeaderSize;
  if (totalSize != size) return SkinError::SizeMismatch;
  if (entryCount > kMaxEntries) return SkinError::TooManyEntries;
  if (skinChecksum(data + headerSize, static_cast<std::size_t>(size - headerSize)) != checksum) {
    return SkinError::ChecksumMismatch;
  }

  ByteReader entries(data + headerSize, size - headerSize);
  SkinTheme parsed;
  loadDefaultTheme(parsed);
  const SkinError error = readEntries(entries, entryCount, parsed);
  if (error == SkinError::None) theme = parsed;
  return error;
}

}  // namespace skinh
