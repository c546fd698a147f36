// What the settings tests share: a scratch folder per test and a readable form of file bytes.
#pragma once

#include <filesystem>
#include <random>
#include <string>
#include <string_view>

namespace quorvin::test {

// A fresh folder of its own, removed with everything in it at the end.
class ScratchFolder {
 public:
  ScratchFolder() {
    static int made = 0;
    std::random_device random;
    path_ = std::filesystem::temp_directory_path() /
            ("quorvin-settings-" + std::to_string(random()) + "-" + std::to_string(++made));
    std::filesystem::create_directories(path_);
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  ~ScratchFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  // The Win32 "A" functions take the path as ANSI text; the folder's name is plain ASCII.
  std::string file(std::string_view name) const { return (path_ / std::string(name)).string(); }
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

// Shows line ends and bytes outside printable ASCII, so a failing case names the difference.
inline std::string visible(std::string_view bytes) {
  static const char hex[] = "0123456789ABCDEF";
  std::string out;
  for (const char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '\r') {
      out += "\\r";
    } else if (c == '\n') {
      out += "\\n";
    } else if (byte < 0x20 || byte > 0x7E) {
      out += "<";
      out += hex[byte >> 4];
      out += hex[byte & 0x0F];
      out += ">";
    } else {
      out += c;
    }
  }
  return out;
}

}  // namespace quorvin::test
