// Makes the README's screenshots from the real program: the first screen, the main screen after a draw
// and an award, and a message box. Writes 24-bit BMP files into the folder given; scripts/screenshots.sh
// turns them into PNG files under docs/.
//   screenshots.exe QUORVIN.exe OUTPUT-FOLDER
#include <windows.h>

#include <cstdio>
#include <string>

#include "tests/windows/program_driver.h"
#include "ui/controls.h"

namespace {

using quorvin::test::Capture;

bool writeBitmap(const std::string& path, const Capture& capture) {
  const int rowBytes = (capture.width * 3 + 3) & ~3;
  BITMAPFILEHEADER file{};
  BITMAPINFOHEADER info{};
  info.biSize = sizeof info;
  info.biWidth = capture.width;
  info.biHeight = capture.height;
  info.biPlanes = 1;
  info.biBitCount = 24;
  info.biSizeImage = static_cast<DWORD>(rowBytes * capture.height);
  file.bfType = 0x4D42;
  file.bfOffBits = sizeof file + sizeof info;
  file.bfSize = file.bfOffBits + info.biSizeImage;
  FILE* out = std::fopen(path.c_str(), "wb");
  if (!out) return false;
  std::fwrite(&file, sizeof file, 1, out);
  std::fwrite(&info, sizeof info, 1, out);
  std::string row(static_cast<std::size_t>(rowBytes), '\0');
  for (int y = capture.height - 1; y >= 0; --y) {
    for (int x = 0; x < capture.width; ++x) {
      const COLORREF pixel = capture.at(x, y);
      row[static_cast<std::size_t>(x * 3)] = static_cast<char>(GetBValue(pixel));
      row[static_cast<std::size_t>(x * 3 + 1)] = static_cast<char>(GetGValue(pixel));
      row[static_cast<std::size_t>(x * 3 + 2)] = static_cast<char>(GetRValue(pixel));
    }
    std::fwrite(row.data(), 1, row.size(), out);
  }
  return std::fclose(out) == 0;
}

RECT windowRect(HWND window) {
  RECT rect{};
  GetWindowRect(window, &rect);
  return rect;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: %s QUORVIN.exe OUTPUT-FOLDER\n", argv[0]);
    return 2;
  }
  const std::string folder = argv[2];
  quorvin::test::prepareIniFile(std::nullopt);
  quorvin::test::RunningProgram program(argv[1]);
  bool ok = writeBitmap(folder + "\\first-screen.bmp", program.captureScreen(windowRect(program.mainWindow())));

  program.setText("jp11", "笔记本");
  program.setText("jp22", "钢笔");
  program.setText("jp33", "文具盒");
  program.setText("jp44", "橡皮");
  program.setText("jp55", "书包");
  program.click(quorvin::kConfirmButton);
  quorvin::test::waitUntil([&] { return !program.visible(quorvin::kSettingsPanel); });
  program.click(quorvin::kStartButton);
  Sleep(700);
  program.click(quorvin::kStopButton);
  program.click(quorvin::kPrizeLevels[0].awardButton);
  program.click(quorvin::kStartButton);
  Sleep(500);
  program.click(quorvin::kStopButton);
  program.click(quorvin::kPrizeLevels[1].awardButton);
  ok = writeBitmap(folder + "\\after-award.bmp", program.captureScreen(windowRect(program.mainWindow()))) && ok;

  program.click(quorvin::kSaveWinnersButton);
  const auto box = program.waitForMessageBox();
  if (box) {
    Sleep(300);
    RECT area = windowRect(program.mainWindow());
    const RECT boxRect = windowRect(box->window);
    UnionRect(&area, &area, &boxRect);
    ok = writeBitmap(folder + "\\message-box.bmp", program.captureScreen(area)) && ok;
    program.dismissMessageBox(*box);
  } else {
    ok = false;
  }
  program.pressKey(program.control(quorvin::kStartButton), VK_ESCAPE);
  program.waitForExit();
  quorvin::test::prepareIniFile(std::nullopt);
  std::printf(ok ? "screenshots written\n" : "screenshots failed\n");
  return ok ? 0 : 1;
}
