// The main window and its 54 controls, as data. Both toolkit implementations build the window from
// this table; nothing else describes a control.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

#include "ui/toolkit.h"

namespace quorvin {

enum class ControlKind : std::uint8_t { button, editBox, transparentLabel, groupBox, timer };

enum class TextAlign : std::uint8_t { left, centre };

struct Colour {
  std::uint8_t red, green, blue;
  friend constexpr bool operator==(Colour, Colour) = default;
};

inline constexpr Colour kBlack{0, 0, 0};

// A font of its own: face (empty = the system's default face), character height in pixels, weight.
// Controls without one use the system's default GUI font.
struct FontSpec {
  std::string_view face;
  int height;
  int weight;
};

inline constexpr int kBold = 700;

struct ControlSpec {
  std::string_view name;
  ControlKind kind;
  std::string_view container;  // empty: the main window; otherwise the name of a group box
  int left, top, width, height;
  std::string_view text;
  bool visible;
  bool disabled;
  Handler event;  // the handler of its click (buttons) or periodic event (timer)
  std::optional<FontSpec> font = std::nullopt;
  Colour textColour = kBlack;
  TextAlign align = TextAlign::left;
  bool wordWrap = false;  // breaks its caption into lines from the top (the usage note)
};

// Buttons and edit boxes take the focus and Tab reaches them; labels and group boxes do not.
constexpr bool isFocusable(ControlKind kind) { return kind == ControlKind::button || kind == ControlKind::editBox; }

struct MainWindowSpec {
  std::string_view title;
  int designedLeft, designedTop;  // not used: the window starts centred for its designed size
  int designedWidth, designedHeight;
  std::string_view iconResource;
  int largeIconSize, smallIconSize;
  Handler created;
};

inline constexpr MainWindowSpec kMainWindow{
    .title = "Quorvin - Rur Azir 座号抽奖软件,免费技术网：www.quorvin.example",
    .designedLeft = 50,
    .designedTop = 50,
    .designedWidth = 825,
    .designedHeight = 398,
    .iconResource = "DEFAULT_ICON",
    .largeIconSize = 32,
    .smallIconSize = 16,
    .created = Handler::windowCreated,
};

inline constexpr std::size_t kControlCount = 54;

// Rows in stacking order within each container, the first row on top; every group box comes before
// the controls it contains, so one pass over the table can create them all.
extern const std::array<ControlSpec, kControlCount> kControls;

// The row of the named control, or nullptr.
const ControlSpec* findControl(std::string_view name) noexcept;

// The centred start position for the designed size, each quotient truncated toward zero (negative
// on a screen smaller than the window).
struct Point {
  int x, y;
};
constexpr Point centredStartPosition(int screenWidth, int screenHeight) {
  return {(screenWidth - kMainWindow.designedWidth) / 2, (screenHeight - kMainWindow.designedHeight) / 2};
}

}  // namespace quorvin
