// Names of the controls that handlers touch, and the five prize levels that bind them together.
#pragma once

#include <array>
#include <string_view>

namespace quorvin {

inline constexpr std::string_view kStartButton = "按钮1";
inline constexpr std::string_view kStopButton = "按钮2";
inline constexpr std::string_view kNumberDisplay = "编辑框1";
inline constexpr std::string_view kDrawTimer = "时钟1";
inline constexpr std::string_view kConfirmButton = "按钮8";
inline constexpr std::string_view kSaveWinnersButton = "按钮9";
inline constexpr std::string_view kClearButton = "按钮10";
inline constexpr std::string_view kSettingsPanel = "分组框4";

// The text of a winner label while its prize has no winner.
inline constexpr std::string_view kNoWinner = "00";

// A prize level binds a name box on the settings panel, a prize-desk box, an award button and a
// winner label. The configuration keys are the names of the name boxes and the winner labels.
struct PrizeLevel {
  std::string_view nameBox;
  std::string_view deskBox;
  std::string_view awardButton;
  std::string_view winnerLabel;
};

// First, second, third, encouragement, special: every operation walks the levels in this order.
inline constexpr std::array<PrizeLevel, 5> kPrizeLevels{{
    {"jp11", "jp1", "按钮3", "No1"},
    {"jp22", "jp2", "按钮4", "No2"},
    {"jp33", "jp3", "按钮5", "No3"},
    {"jp44", "jp4", "按钮6", "No4"},
    {"jp55", "jp5", "按钮7", "No5"},
}};

}  // namespace quorvin
