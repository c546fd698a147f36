#include "ui/window_description.h"

namespace quorvin {
namespace {

using enum ControlKind;
constexpr bool kShown = true, kHidden = false, kEnabled = false, kDisabled = true;

constexpr std::string_view kUsageNote =
    "Quorvin 座号抽奖\r\n"
    "学生座号抽奖软件使用说明\r\n"
    "①：座号抽奖区域点击抽取即可开始\r\n"
    "停止后会出现两位数字，就是中奖号码\r\n"
    "②：软件最多为100人只限100以内的人数使用\r\n"
    "③：如果抽取的座号没有可以重新抽取\r\n"
    "④：软件安全无毒，免费提供\r\n"
    "Rur Azir 制作";

constexpr FontSpec kBold12{"", 12, kBold};

// A transparent label with the default look.
constexpr ControlSpec label(std::string_view name, std::string_view container, int left, int top, int width, int height,
                            std::string_view text) {
  return {name, transparentLabel, container, left, top, width, height, text, kShown, kEnabled, Handler::none};
}

// A winner label: bold 12, centred, in its own colour, "00" while the prize has no winner.
constexpr ControlSpec winnerLabel(std::string_view name, int left, int top, Colour colour) {
  return {name, transparentLabel, "分组框3", left,          top,     33,     16,
          "00", kShown,           kEnabled,  Handler::none, kBold12, colour, TextAlign::centre};
}

}  // namespace

// clang-format off
const std::array<ControlSpec, kControlCount> kControls{{
    // The main window.
    {"按钮9",   button,   "", 217, 291, 152, 27, "保存当前配置方便下次使用", kHidden, kEnabled, Handler::saveWinners},
    {"分组框4", groupBox, "", 376,   0, 368, 319, "奖品设置",     kShown, kEnabled, Handler::none},
    {"透明标签22", transparentLabel, "", 221, 120, 144, 168, kUsageNote, kShown, kEnabled, Handler::none,
     kBold12, Colour{0, 136, 255}, TextAlign::centre, true},
    {"分组框3", groupBox, "",   1, 176, 215, 144, "获奖名单",     kShown, kEnabled, Handler::none},
    {"分组框2", groupBox, "", 217,   2, 151, 118, "奖品台",       kShown, kEnabled, Handler::none},
    {"分组框1", groupBox, "",   1,   2, 216, 174, "座号抽奖区域", kShown, kEnabled, Handler::none},
    {"时钟1",   timer,    "",   0,   0,   0,   0, "",             kShown, kEnabled, Handler::drawTick},

    // The prize settings panel.
    {"按钮10", button,  "分组框4", 90, 240, 184, 24, "清空所有已保存的设置",   kShown, kDisabled, Handler::clearSettings},
    {"按钮8",  button,  "分组框4", 90, 211, 184, 24, "确定奖品，并进入主界面", kShown, kEnabled,  Handler::confirmPrizes},
    label("透明标签11", "分组框4", 111, 90, 72, 16, "一等奖奖品："),
    {"jp11",   editBox, "分组框4", 178,  88, 72, 20, "", kShown, kEnabled, Handler::none},
    {"jp22",   editBox, "分组框4", 178, 111, 72, 20, "", kShown, kEnabled, Handler::none},
    label("透明标签14", "分组框4", 112, 113, 72, 16, "二等奖奖品："),
    label("透明标签17", "分组框4", 112, 136, 72, 16, "三等奖奖品："),
    {"jp33",   editBox, "分组框4", 178, 134, 72, 20, "", kShown, kEnabled, Handler::none},
    {"jp44",   editBox, "分组框4", 178, 157, 72, 20, "", kShown, kEnabled, Handler::none},
    label("透明标签20", "分组框4", 112, 159, 72, 16, "鼓励奖奖品："),
    label("透明标签23", "分组框4", 112, 182, 72, 16, "特等奖奖品："),
    {"jp55",   editBox, "分组框4", 178, 180, 72, 20, "", kShown, kEnabled, Handler::none},
    {"透明标签9", transparentLabel, "分组框4", 87, 35, 200, 40, "奖品设置", kShown, kEnabled, Handler::none,
     FontSpec{"楷体", 48, kBold}, Colour{144, 0, 255}},

    // The winners list.
    label("透明标签19", "分组框3", 8, 112, 40, 24, "恭喜："),
    winnerLabel("No5", 40, 117, Colour{0, 0, 128}),
    label("透明标签21", "分组框3", 81, 112, 86, 24, "号荣获特等奖"),
    label("透明标签16", "分组框3", 8, 88, 40, 24, "恭喜："),
    winnerLabel("No4", 40, 93, Colour{128, 224, 0}),
    label("透明标签18", "分组框3", 81, 88, 86, 24, "号荣获鼓励奖"),
    label("透明标签13", "分组框3", 8, 64, 40, 24, "恭喜："),
    winnerLabel("No3", 40, 69, Colour{255, 128, 0}),
    label("透明标签15", "分组框3", 81, 64, 86, 24, "号荣获三等奖"),
    label("透明标签10", "分组框3", 8, 40, 40, 24, "恭喜："),
    winnerLabel("No2", 40, 45, Colour{144, 0, 255}),
    label("透明标签12", "分组框3", 81, 40, 78, 24, "号荣获二等奖"),
    winnerLabel("No1", 39, 21, Colour{255, 0, 0}),
    label("透明标签8", "分组框3", 80, 16, 79, 24, "号荣获一等奖"),
    label("透明标签7", "分组框3", 7, 16, 40, 24, "恭喜："),

    // The prize desk: boxes disabled, filled when the prizes are confirmed.
    label("透明标签6", "分组框2", 8, 98, 72, 16, "特等奖奖品："),
    {"jp5", editBox, "分组框2", 74, 96, 72, 20, "", kShown, kDisabled, Handler::none},
    label("透明标签5", "分组框2", 8, 77, 72, 16, "鼓励奖奖品："),
    {"jp4", editBox, "分组框2", 74, 75, 72, 20, "", kShown, kDisabled, Handler::none},
    label("透明标签4", "分组框2", 8, 56, 72, 16, "三等奖奖品："),
    {"jp3", editBox, "分组框2", 74, 54, 72, 20, "", kShown, kDisabled, Handler::none},
    label("透明标签3", "分组框2", 8, 35, 72, 16, "二等奖奖品："),
    {"jp2", editBox, "分组框2", 74, 33, 72, 20, "", kShown, kDisabled, Handler::none},
    {"jp1", editBox, "分组框2", 74, 12, 72, 20, "", kShown, kDisabled, Handler::none},
    label("透明标签2", "分组框2", 7, 14, 72, 16, "一等奖奖品："),

    // The draw area.
    {"按钮7", button, "分组框1",  74, 136, 64, 30, "加入特等奖", kShown, kDisabled, Handler::awardSpecialPrize},
    {"按钮6", button, "分组框1",   7, 136, 64, 30, "加入鼓励奖", kShown, kDisabled, Handler::awardEncouragementPrize},
    {"按钮5", button, "分组框1", 142, 118, 64, 16, "加入3等奖",  kShown, kDisabled, Handler::awardThirdPrize},
    {"按钮4", button, "分组框1",  74, 118, 64, 16, "加入2等奖",  kShown, kDisabled, Handler::awardSecondPrize},
    {"按钮3", button, "分组框1",   7, 118, 64, 16, "加入1等奖",  kShown, kDisabled, Handler::awardFirstPrize},
    {"按钮2", button, "分组框1",   8,  75, 96, 31, "停止抽取幸运座号", kShown, kDisabled, Handler::stopDraw},
    {"透明标签1", transparentLabel, "分组框1", 9, 17, 104, 24, "幸运同学座号：", kShown, kEnabled, Handler::none,
     FontSpec{"", 14, kBold}, Colour{255, 0, 0}},
    {"编辑框1", editBox, "分组框1", 110, 16, 96, 90, "0", kShown, kDisabled, Handler::none,
     FontSpec{"", 56, kBold}, kBlack, TextAlign::centre},
    {"按钮1", button, "分组框1",   8,  42, 96, 32, "开始抽取幸运座号", kShown, kEnabled, Handler::startDraw},
}};
// clang-format on

const ControlSpec* findControl(std::string_view name) noexcept {
  for (const ControlSpec& control : kControls)
    if (control.name == name) return &control;
  return nullptr;
}

}  // namespace quorvin
