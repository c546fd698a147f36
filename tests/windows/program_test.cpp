// The real program under Wine, driven from outside through its windows.
#include <gtest/gtest.h>

#include <set>

#include "tests/windows/program_driver.h"
#include "ui/controls.h"
#include "ui/window_description.h"

namespace quorvin::test {
namespace {

// The program as built, and the same program whose skin engine fails to load (the system's look).
struct Variant {
  const char* name;
  const char* path;
};
const Variant kVariants[] = {
    {"Skinned", QUORVIN_PROGRAM_PATH},
#ifdef QUORVIN_PROGRAM_WITHOUT_ENGINE_PATH
    {"WithoutEngine", QUORVIN_PROGRAM_WITHOUT_ENGINE_PATH},
#endif
};
std::string variantName(const ::testing::TestParamInfo<Variant>& info) { return info.param.name; }

std::string className(HWND window) {
  char name[64] = {};
  GetClassNameA(window, name, sizeof name);
  return name;
}

class ProgramTest : public ::testing::TestWithParam<Variant> {
 protected:
  const char* const kProgram = GetParam().path;
  void SetUp() override { prepareIniFile(std::nullopt); }
  void TearDown() override { prepareIniFile(std::nullopt); }

  // Names the five prizes and takes the panel away, so that the draw area can be reached.
  static void confirmPrizes(RunningProgram& program) {
    program.setText("jp11", "笔记本");
    program.click(kConfirmButton);
    ASSERT_TRUE(waitUntil([&] { return !program.visible(kSettingsPanel); }));
  }
};

// Core: the window as built from the description, then a draw, a stop and Esc from a name box.
TEST_P(ProgramTest, CoreWindowDrawAndEsc) {
  RunningProgram program(kProgram);
  HWND main = program.mainWindow();

  // The fixed frame: caption, system menu and minimize box, no maximize box, no sizing border.
  const LONG_PTR style = GetWindowLongPtrA(main, GWL_STYLE);
  EXPECT_TRUE(style & WS_CAPTION);
  EXPECT_TRUE(style & WS_SYSMENU);
  EXPECT_TRUE(style & WS_MINIMIZEBOX);
  EXPECT_FALSE(style & WS_MAXIMIZEBOX);
  EXPECT_FALSE(style & WS_THICKFRAME);

  // Compact outer size, top-left corner where the designed size centred it.
  RECT outer{};
  GetWindowRect(main, &outer);
  EXPECT_EQ(outer.right - outer.left, 375);
  EXPECT_EQ(outer.bottom - outer.top, 348);
  const Point start = centredStartPosition(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
  EXPECT_EQ(outer.left, start.x);
  EXPECT_EQ(outer.top, start.y);

  // Every control but the timer is a child window of its container, of a standard class, where the
  // description puts it; the settings panel has moved to 0,0.
  for (const ControlSpec& design : kControls) {
    if (design.kind == ControlKind::timer) continue;
    SCOPED_TRACE(std::string(design.name));
    HWND window = program.control(design.name);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(GetParent(window), design.container.empty() ? main : program.control(design.container));
    const std::string expectedClass = design.kind == ControlKind::editBox            ? "Edit"
                                      : design.kind == ControlKind::transparentLabel ? "Static"
                                                                                     : "Button";
    EXPECT_EQ(_stricmp(className(window).c_str(), expectedClass.c_str()), 0) << className(window);
    const RECT rect = program.rectInContainer(design.name);
    const bool panel = design.name == kSettingsPanel;
    EXPECT_EQ(rect.left, panel ? 0 : design.left);
    EXPECT_EQ(rect.top, panel ? 0 : design.top);
    EXPECT_EQ(rect.right - rect.left, design.width);
    EXPECT_EQ(rect.bottom - rect.top, design.height);
    EXPECT_EQ(((GetWindowLongPtrA(window, GWL_STYLE) & WS_VISIBLE) != 0), design.visible);
    EXPECT_EQ(IsWindowEnabled(window) == FALSE, design.disabled) << "designed state";  // no file: 按钮10 stays off
    EXPECT_EQ(program.text(design.name), design.text);
  }

  // Stacking order: among the controls of each container, the first row lies on top.
  for (std::string_view container : {std::string_view{}, std::string_view{"分组框4"}, std::string_view{"分组框1"}}) {
    HWND parent = container.empty() ? main : program.control(container);
    std::vector<HWND> expected;
    for (const ControlSpec& design : kControls)
      if (design.container == container && design.kind != ControlKind::timer)
        expected.push_back(program.control(design.name));
    std::vector<HWND> actual;
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
      actual.push_back(child);
    EXPECT_EQ(actual, expected) << "stacking order in " << std::string(container);
  }

  // The icon resource: one image of 48 by 48 at 32 bits per pixel, 9,640 bytes; the window's caption
  // shows it.
  HMODULE image = LoadLibraryExA(kProgram, nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(image, nullptr);
  HRSRC group = FindResourceA(image, "DEFAULT_ICON", MAKEINTRESOURCEA(14));  // RT_GROUP_ICON
  ASSERT_NE(group, nullptr);
  const auto* directory = static_cast<const BYTE*>(LockResource(LoadResource(image, group)));
  ASSERT_EQ(directory[4], 1) << "one image";
  EXPECT_EQ(directory[6], 48);   // width
  EXPECT_EQ(directory[7], 48);   // height
  EXPECT_EQ(directory[12], 32);  // bits per pixel
  const WORD iconId = static_cast<WORD>(directory[18] | directory[19] << 8);
  HRSRC icon = FindResourceA(image, MAKEINTRESOURCEA(iconId), MAKEINTRESOURCEA(3));  // RT_ICON
  ASSERT_NE(icon, nullptr);
  EXPECT_EQ(SizeofResource(image, icon), 9640u);
  FreeLibrary(image);
  // The caption shows the small icon: its golden star appears at the caption's left end.
  RECT captionStart{outer.left, outer.top, outer.left + 28, outer.top + 28};
  const Capture caption = program.captureScreen(captionStart);
  int gold = 0;
  for (COLORREF pixel : caption.pixels)
    gold += GetRValue(pixel) > 200 && GetGValue(pixel) > 140 && GetGValue(pixel) < 230 && GetBValue(pixel) < 100;
  EXPECT_GE(gold, 3) << "no icon in the caption";

  // A draw: the number rolls within 1 to 100, then a stop enables exactly the awards still at "00".
  confirmPrizes(program);
  EXPECT_TRUE(program.visible(kSaveWinnersButton));
  program.click(kStartButton);
  EXPECT_FALSE(program.enabled(kStartButton));
  EXPECT_TRUE(program.enabled(kStopButton));
  std::set<std::string> seen;
  ASSERT_TRUE(waitUntil([&] {
    const std::string shown = program.text(kNumberDisplay);
    const int number = std::atoi(shown.c_str());
    EXPECT_TRUE(number >= 1 && number <= 100 && std::to_string(number) == shown) << shown;
    seen.insert(shown);
    return seen.size() >= 3;
  }));
  program.click(kStopButton);
  const std::string drawn = program.text(kNumberDisplay);
  Sleep(200);
  EXPECT_EQ(program.text(kNumberDisplay), drawn) << "no tick after the stop";
  EXPECT_TRUE(program.enabled(kStartButton));
  EXPECT_FALSE(program.enabled(kStopButton));
  for (const PrizeLevel& level : kPrizeLevels) EXPECT_TRUE(program.enabled(level.awardButton));

  // Esc in a name box would close the window; here the name boxes are hidden, so Esc goes to the
  // focused button: the window closes all the same, and the program ends with exit code 0.
  program.pressKey(GetFocus() ? GetFocus() : program.control(kStartButton), VK_ESCAPE);
  EXPECT_EQ(program.waitForExit(), std::optional<DWORD>(0));
}

TEST_P(ProgramTest, EscInANameBoxClosesTheWindow) {
  RunningProgram program(kProgram);
  program.setText("jp22", "钢笔");
  program.pressKey(program.control("jp22"), VK_ESCAPE);
  EXPECT_EQ(program.waitForExit(), std::optional<DWORD>(0));
  EXPECT_FALSE(readIniFile().has_value()) << "nothing is saved at exit";
}

TEST_P(ProgramTest, EnterAndF1DoNothing) {
  RunningProgram program(kProgram);
  program.setText("jp11", "笔记本");
  program.pressKey(program.control(kConfirmButton), VK_RETURN);
  program.pressKey(program.control("jp11"), VK_RETURN);
  program.pressKey(program.control("jp11"), VK_F1);
  program.sync();
  EXPECT_TRUE(program.visible(kSettingsPanel)) << "Enter pressed the confirm button";
  EXPECT_FALSE(program.waitForMessageBox(300).has_value());
}

TEST_P(ProgramTest, StopEnablesOnlyTheAwardsOfPrizesWithoutAWinner) {
  prepareIniFile("[保存配置文件]\r\njp11=笔记本\r\nNo2=7\r\nNo3=\r\nNo4=0\r\n");
  RunningProgram program(kProgram);
  EXPECT_TRUE(program.enabled(kClearButton)) << "the file exists";
  EXPECT_EQ(program.text("No2"), "7");
  EXPECT_EQ(program.text("No3"), "");
  confirmPrizes(program);
  program.postClick(kStartButton);
  program.postClick(kStopButton);  // before the first tick: the display keeps "0"
  program.sync();
  EXPECT_EQ(program.text(kNumberDisplay), "0");
  const bool expectedOpen[] = {true, false, false, false, true};
  for (std::size_t level = 0; level < 5; ++level)
    EXPECT_EQ(program.enabled(kPrizeLevels[level].awardButton), expectedOpen[level]) << "level " << level + 1;
}

TEST_P(ProgramTest, WinnerLabelShowsOnlyItsNewText) {
  RunningProgram program(kProgram);
  confirmPrizes(program);
  const Capture before = program.capture("No1");
  program.postClick(kStartButton);
  program.postClick(kStopButton);
  program.sync();
  program.click(kPrizeLevels[0].awardButton);
  ASSERT_EQ(program.text("No1"), "0");
  const Capture changed = program.capture("No1");
  EXPECT_NE(changed, before) << "the label did not change on screen";
  // A full repaint draws the label from scratch: if any trace of "00" had stayed, it goes now.
  program.repaintAll();
  const Capture repainted = program.capture("No1");
  EXPECT_EQ(changed, repainted) << "traces of the old text stayed beneath the new one";
  int red = 0;
  for (COLORREF pixel : changed.pixels) red += GetRValue(pixel) > 200 && GetGValue(pixel) < 80 && GetBValue(pixel) < 80;
  EXPECT_GT(red, 5) << "the label draws in its own colour";
}

INSTANTIATE_TEST_SUITE_P(Program, ProgramTest, ::testing::ValuesIn(kVariants), variantName);

}  // namespace
}  // namespace quorvin::test

namespace quorvin::test {
namespace {

constexpr char kExampleFile[] =
    "[保存配置文件]\r\njp11=笔记本\r\njp22=钢笔\r\njp33=文具盒\r\njp44=橡皮\r\njp55=书包\r\n";

class SettingsThroughTheWindow : public ::testing::TestWithParam<Variant> {
 protected:
  const char* const kProgram = GetParam().path;
  void SetUp() override { prepareIniFile(std::nullopt); }
  void TearDown() override {
    SetFileAttributesA(kIniPath, FILE_ATTRIBUTE_NORMAL);
    prepareIniFile(std::nullopt);
  }
};

// Core: the first screen, a refused and an accepted confirm, a draw with an award and a save, then a
// second start that restores it all.
TEST_P(SettingsThroughTheWindow, CoreConfirmDrawAwardSaveAndRestore) {
  std::string drawn;
  {
    RunningProgram program(kProgram);
    EXPECT_TRUE(program.visible(kSettingsPanel));
    EXPECT_FALSE(program.enabled(kClearButton)) << "no file";
    EXPECT_EQ(program.rectInContainer(kSettingsPanel).left, 0);

    program.click(kConfirmButton);  // the first prize has no name yet
    const auto refused = program.waitForMessageBox();
    ASSERT_TRUE(refused.has_value());
    EXPECT_EQ(refused->text, "您的奖品还没有设置哦！");
    EXPECT_EQ(refused->title, "信息：");
    EXPECT_FALSE(refused->hasIcon);
    EXPECT_FALSE(IsWindowEnabled(program.mainWindow())) << "task-modal: the window waits for the box";
    program.dismissMessageBox(*refused);
    EXPECT_TRUE(program.visible(kSettingsPanel));
    EXPECT_FALSE(readIniFile().has_value());

    program.setText("jp11", "笔记本");
    program.setText("jp22", "钢笔");
    program.click(kConfirmButton);
    ASSERT_TRUE(waitUntil([&] { return !program.visible(kSettingsPanel); }));
    EXPECT_EQ(program.text("jp1"), "笔记本");
    EXPECT_EQ(program.text("jp2"), "钢笔");
    EXPECT_EQ(program.text("jp3"), "");
    EXPECT_TRUE(program.visible(kSaveWinnersButton));
    EXPECT_EQ(readIniFile(),
              std::optional<std::string>("[保存配置文件]\r\njp11=笔记本\r\njp22=钢笔\r\njp33=\r\njp44=\r\njp55=\r\n"));

    program.click(kStartButton);
    Sleep(300);
    program.click(kStopButton);
    drawn = program.text(kNumberDisplay);
    program.click(kPrizeLevels[2].awardButton);
    EXPECT_EQ(program.text("No3"), drawn);
    EXPECT_FALSE(program.enabled(kPrizeLevels[2].awardButton));

    program.click(kSaveWinnersButton);
    const auto saved = program.waitForMessageBox();
    ASSERT_TRUE(saved.has_value());
    EXPECT_EQ(saved->text, "亲,当前所有配置已经保存");
    EXPECT_EQ(saved->title, "提示：");
    EXPECT_TRUE(saved->hasIcon);
    program.dismissMessageBox(*saved);
    EXPECT_EQ(readIniFile(),
              std::optional<std::string>("[保存配置文件]\r\njp11=笔记本\r\njp22=钢笔\r\njp33=\r\njp44=\r\njp55=\r\n"
                                         "No1=00\r\nNo2=00\r\nNo3=" +
                                         drawn + "\r\nNo4=00\r\nNo5=00\r\n"));
    program.pressKey(program.control(kStartButton), VK_ESCAPE);
    EXPECT_EQ(program.waitForExit(), std::optional<DWORD>(0));
  }
  RunningProgram again(kProgram);
  EXPECT_TRUE(again.enabled(kClearButton)) << "the file exists";
  EXPECT_EQ(again.text("jp11"), "笔记本");
  EXPECT_EQ(again.text("jp22"), "钢笔");
  EXPECT_EQ(again.text("No3"), drawn);
  EXPECT_EQ(again.text("No1"), "00");
  again.click(kConfirmButton);
  ASSERT_TRUE(waitUntil([&] { return !again.visible(kSettingsPanel); }));
  for (int stop = 0; stop < 2; ++stop) {
    again.click(kStartButton);
    again.click(kStopButton);
    EXPECT_FALSE(again.enabled(kPrizeLevels[2].awardButton)) << "a restored winner is not drawn again";
    EXPECT_TRUE(again.enabled(kPrizeLevels[0].awardButton));
  }
}

TEST_P(SettingsThroughTheWindow, ClearRemovesTheFileAndEmptiesTheNames) {
  prepareIniFile(kExampleFile);
  RunningProgram program(kProgram);
  ASSERT_TRUE(program.enabled(kClearButton));
  program.click(kClearButton);
  EXPECT_FALSE(readIniFile().has_value());
  for (const PrizeLevel& level : kPrizeLevels) EXPECT_EQ(program.text(level.nameBox), "");
  EXPECT_FALSE(program.enabled(kClearButton));
  EXPECT_FALSE(program.waitForMessageBox(300).has_value()) << "a successful clear says nothing";
}

TEST_P(SettingsThroughTheWindow, AReadOnlyFileGivesTheErrorMessage) {
  prepareIniFile(kExampleFile);
  ASSERT_TRUE(SetFileAttributesA(kIniPath, FILE_ATTRIBUTE_READONLY));
  // Wine maps the read-only attribute to Unix permissions, which do not stop root, the user these tests
  // run as; holding the file open without write sharing makes every write fail here as the attribute
  // does on Windows. Reading stays possible.
  HANDLE holder = CreateFileA(kIniPath, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(holder, INVALID_HANDLE_VALUE);
  RunningProgram program(kProgram);
  EXPECT_EQ(program.text("jp55"), "书包") << "a read-only file still reads";
  program.click(kConfirmButton);  // the names came from the file
  ASSERT_TRUE(waitUntil([&] { return !program.visible(kSettingsPanel); }));
  // Writing the names back to the read-only file fails: the operator is told.
  const auto confirmError = program.waitForMessageBox();
  ASSERT_TRUE(confirmError.has_value());
  EXPECT_TRUE(confirmError->hasIcon);
  EXPECT_EQ(confirmError->title, "错误：");
  EXPECT_NE(confirmError->text.find("C:\\Quorvin.ini"), std::string::npos);
  program.dismissMessageBox(*confirmError);

  program.click(kSaveWinnersButton);
  const auto saveError = program.waitForMessageBox();
  ASSERT_TRUE(saveError.has_value());
  EXPECT_EQ(saveError->title, "错误：");
  EXPECT_EQ(saveError->text.find("亲,当前所有配置已经保存"), std::string::npos);
  program.dismissMessageBox(*saveError);
  CloseHandle(holder);
  EXPECT_EQ(readIniFile(), std::optional<std::string>(kExampleFile)) << "the file is as it was";
  EXPECT_EQ(program.text("No1"), "00");
  program.pressKey(program.control(kStartButton), VK_ESCAPE);
  EXPECT_EQ(program.waitForExit(), std::optional<DWORD>(0));
}

TEST_P(SettingsThroughTheWindow, AFolderNamedLikeTheFileCountsAndSurvivesClear) {
  ASSERT_TRUE(CreateDirectoryA(kIniPath, nullptr));
  RunningProgram program(kProgram);
  EXPECT_TRUE(program.enabled(kClearButton)) << "any entry of that name counts";
  program.click(kClearButton);
  const auto error = program.waitForMessageBox();
  ASSERT_TRUE(error.has_value()) << "the folder could not be deleted: the operator is told";
  EXPECT_EQ(error->title, "错误：");
  program.dismissMessageBox(*error);
  EXPECT_EQ(GetFileAttributesA(kIniPath) & FILE_ATTRIBUTE_DIRECTORY, static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY));
  EXPECT_FALSE(program.enabled(kClearButton));
}

INSTANTIATE_TEST_SUITE_P(Program, SettingsThroughTheWindow, ::testing::ValuesIn(kVariants), variantName);

}  // namespace
}  // namespace quorvin::test

namespace quorvin::test {
namespace {

bool closeTo(COLORREF pixel, COLORREF colour, int tolerance) {
  return std::abs(GetRValue(pixel) - GetRValue(colour)) <= tolerance &&
         std::abs(GetGValue(pixel) - GetGValue(colour)) <= tolerance &&
         std::abs(GetBValue(pixel) - GetBValue(colour)) <= tolerance;
}

int countNear(const Capture& capture, COLORREF colour, int tolerance) {
  int count = 0;
  for (COLORREF pixel : capture.pixels) count += closeTo(pixel, colour, tolerance);
  return count;
}

// Colours of the built-in skin (resources/skin/classroom.skin).
constexpr COLORREF kCaptionStart = RGB(0x8E, 0x24, 0x17), kCaptionEnd = RGB(0xC0, 0x48, 0x1E);
constexpr COLORREF kInactiveCaptionStart = RGB(0x8A, 0x7B, 0x6F), kInactiveCaptionEnd = RGB(0xA9, 0x9B, 0x8F);
constexpr COLORREF kButtonFaceStart = RGB(0xFA, 0xE8, 0xC8), kButtonFaceEnd = RGB(0xED, 0xCB, 0x92);
constexpr COLORREF kGroupFrame = RGB(0xB0, 0x62, 0x1F);
constexpr COLORREF kWindowFace = RGB(0xFB, 0xF3, 0xE1);

// A pixel between two colours of a gradient, give or take a little.
bool onGradient(COLORREF pixel, COLORREF from, COLORREF to) {
  const auto within = [](int value, int a, int b) {
    return value >= std::min(a, b) - 12 && value <= std::max(a, b) + 12;
  };
  return within(GetRValue(pixel), GetRValue(from), GetRValue(to)) &&
         within(GetGValue(pixel), GetGValue(from), GetGValue(to)) &&
         within(GetBValue(pixel), GetBValue(from), GetBValue(to));
}

class SkinOnScreen : public ::testing::TestWithParam<Variant> {
 protected:
  void SetUp() override { prepareIniFile(std::nullopt); }
  void TearDown() override { prepareIniFile(std::nullopt); }
  bool skinned() const { return std::string_view(GetParam().name) == "Skinned"; }
};

TEST_P(SkinOnScreen, CoreCaptionButtonGroupBoxAndMessageBox) {
  RunningProgram program(GetParam().path);
  RECT outer{}, client{};
  GetWindowRect(program.mainWindow(), &outer);
  GetClientRect(program.mainWindow(), &client);
  POINT clientOrigin{0, 0};
  ClientToScreen(program.mainWindow(), &clientOrigin);

  // The caption: the strip between the window's top edge and its client area, away from the buttons.
  const RECT captionStrip{outer.left + 30, outer.top + 4, outer.left + 200, clientOrigin.y - 4};
  ASSERT_LT(captionStrip.top, captionStrip.bottom);
  const Capture caption = program.captureScreen(captionStrip);
  // Under Xvfb there is no window manager to activate the window, so Wine may leave it inactive: the
  // skin's caption is brick red when active and taupe when not.
  const bool active = GetForegroundWindow() == program.mainWindow();
  int onCaption = 0;
  for (COLORREF pixel : caption.pixels)
    onCaption += active ? onGradient(pixel, kCaptionStart, kCaptionEnd)
                        : onGradient(pixel, kInactiveCaptionStart, kInactiveCaptionEnd);
  const int captionPixels = static_cast<int>(caption.pixels.size());

  // The confirm button's face, left of its caption text.
  RECT button{};
  GetWindowRect(program.control(kConfirmButton), &button);
  const Capture face = program.captureScreen({button.left + 4, button.top + 4, button.left + 14, button.bottom - 4});
  int onFace = 0;
  for (COLORREF pixel : face.pixels) onFace += onGradient(pixel, kButtonFaceStart, kButtonFaceEnd);

  // The settings panel's frame and its background.
  const Capture panel = program.capture(kSettingsPanel);

  if (skinned()) {
    EXPECT_GT(onCaption, captionPixels / 2) << "the caption does not carry the skin's colours; active: " << active;
    EXPECT_GT(onFace, static_cast<int>(face.pixels.size()) * 3 / 4) << "the button face is not the skin's";
    EXPECT_GT(countNear(panel, kGroupFrame, 24), 100) << "the group box frame is not the skin's copper";
    EXPECT_GT(countNear(panel, kWindowFace, 6), static_cast<int>(panel.pixels.size()) / 2)
        << "the panel is not filled with the skin's face";
  } else {
    EXPECT_LT(onCaption, captionPixels / 10) << "a skin was put on although the engine was left out";
    EXPECT_EQ(countNear(panel, kGroupFrame, 24), 0);
  }

  // The refused confirm's message box: skinned too, and it still works.
  program.click(kConfirmButton);
  const auto box = program.waitForMessageBox();
  ASSERT_TRUE(box.has_value());
  RECT boxClient{};
  GetClientRect(box->window, &boxClient);
  POINT boxOrigin{0, 0};
  ClientToScreen(box->window, &boxOrigin);
  const Capture boxFace = program.captureScreen(
      {boxOrigin.x, boxOrigin.y + boxClient.bottom - 8, boxOrigin.x + boxClient.right, boxOrigin.y + boxClient.bottom});
  if (skinned())
    EXPECT_GT(countNear(boxFace, kWindowFace, 6), static_cast<int>(boxFace.pixels.size()) / 2)
        << "the message box face is not the skin's";
  else
    EXPECT_EQ(countNear(boxFace, kWindowFace, 6), 0);
  program.dismissMessageBox(*box);
  EXPECT_TRUE(program.visible(kSettingsPanel));
}

INSTANTIATE_TEST_SUITE_P(Program, SkinOnScreen, ::testing::ValuesIn(kVariants), variantName);

}  // namespace
}  // namespace quorvin::test
