// The test images built from dlls/ with the MinGW cross compilers, embedded as byte arrays.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace quorvin::test {

struct TestImage {
    const char* name;
    const unsigned char* bytes;
    std::size_t size;
};

// i386 images: qv_full.dll, qv_refuse.dll, qv_program.exe, qvtestlib.dll.
const std::vector<TestImage>& testImagesI386();
// x86-64 images: the same, and qv_bench.dll.
const std::vector<TestImage>& testImagesX64();

// A copy of one image's bytes, for tests that alter them; empty when there is no such image.
inline std::vector<std::uint8_t> imageBytes(const std::vector<TestImage>& images, std::string_view name)
{
    for (const TestImage& image : images) {
        if (name == image.name) {
            return {image.bytes, image.bytes + image.size};
        }
    }
    return {};
}

} // namespace quorvin::test
