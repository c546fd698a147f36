// The messages that tell the operator the configuration file could not be written or deleted.
#pragma once

#include <string_view>

#include "ui/toolkit.h"

namespace quorvin {

inline constexpr std::string_view kSettingsErrorTitle = "错误：";
inline constexpr std::string_view kWinnersNotSaved =
    "获奖名单没有保存：无法写入配置文件 C:\\Quorvin.ini。\r\n请检查该文件是否只读，或者是否有写入权限。";
inline constexpr std::string_view kPrizesNotSaved =
    "奖品名称已经放上奖品台，但无法写入配置文件 C:\\Quorvin.ini，下次启动时不会恢复。\r\n"
    "请检查该文件是否只读，或者是否有写入权限。";
inline constexpr std::string_view kSettingsNotDeleted =
    "无法删除配置文件 C:\\Quorvin.ini，已保存的设置仍然存在，下次启动时还会恢复。";

inline void showSettingsError(WindowToolkit& ui, std::string_view message) {
  ui.messageBox(message, kMessageBoxIconError, kSettingsErrorTitle);
}

}  // namespace quorvin
