// Benchmark, not a test: how long our loader takes to map qv_bench.dll (about 90 KB, 2048 relocated
// pointers, kernel32 imports) compared with the system loader loading the same image from a file.
//
//   scripts/wine-run 64 build/win64/tests/loader/loader_benchmark.exe [rounds]
//
// Prints the median of each measurement in microseconds and the ratios of the medians.
#include "image_loader.h"
#include "test_images.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

using quorvin::systemLoaderPlatform;

double microsecondsSince(const LARGE_INTEGER& start)
{
    LARGE_INTEGER now{};
    LARGE_INTEGER frequency{};
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(now.QuadPart - start.QuadPart) * 1e6 / static_cast<double>(frequency.QuadPart);
}

LARGE_INTEGER now()
{
    LARGE_INTEGER value{};
    QueryPerformanceCounter(&value);
    return value;
}

double median(std::vector<double> samples)
{
    std::sort(samples.begin(), samples.end());
    const std::size_t middle = samples.size() / 2;
    return samples.size() % 2 == 1 ? samples[middle] : (samples[middle - 1] + samples[middle]) / 2;
}

std::string writeTemporaryImage(const std::vector<std::uint8_t>& bytes)
{
    char folder[MAX_PATH] = {};
    char path[MAX_PATH] = {};
    if (GetTempPathA(MAX_PATH, folder) == 0 || GetTempFileNameA(folder, "qvb", 0, path) == 0) {
        return {};
    }
    const std::string dll = std::string(path) + ".dll";
    DeleteFileA(path);
    FILE* file = std::fopen(dll.c_str(), "wb");
    if (file == nullptr) {
        return {};
    }
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    std::fclose(file);
    return written ? dll : std::string{};
}

} // namespace

int main(int argc, char** argv)
{
    const int rounds = argc > 1 ? std::max(5, std::atoi(argv[1])) : 301;
    const auto bytes = quorvin::test::imageBytes(quorvin::test::testImagesX64(), "qv_bench.dll");
    const auto length = static_cast<std::int32_t>(bytes.size());
    const std::string file = writeTemporaryImage(bytes);
    if (bytes.empty() || file.empty()) {
        std::fprintf(stderr, "loader_benchmark: no image or no temporary file\n");
        return 1;
    }

    std::vector<double> ourMap;
    std::vector<double> ourMapAndUnmap;
    std::vector<double> systemLoadAndFree;
    for (int round = 0; round < rounds; ++round) {
        const LARGE_INTEGER start = now();
        const std::uintptr_t base = quorvin::MapImageFromMemory(systemLoaderPlatform(), bytes.data(), length);
        ourMap.push_back(microsecondsSince(start));
        if (base == 0 || !quorvin::UnmapImage(systemLoaderPlatform(), base)) {
            std::fprintf(stderr, "loader_benchmark: our loader failed\n");
            return 1;
        }
        ourMapAndUnmap.push_back(microsecondsSince(start));

        const LARGE_INTEGER systemStart = now();
        HMODULE module = LoadLibraryA(file.c_str());
        if (module == nullptr || !FreeLibrary(module)) {
            std::fprintf(stderr, "loader_benchmark: the system loader failed\n");
            return 1;
        }
        systemLoadAndFree.push_back(microsecondsSince(systemStart));
    }
    DeleteFileA(file.c_str());

    const double map = median(ourMap);
    const double mapAndUnmap = median(ourMapAndUnmap);
    const double system = median(systemLoadAndFree);
    std::printf("image: qv_bench.dll, %d bytes; %d rounds\n", length, rounds);
    std::printf("our loader, MapImageFromMemory:              median %.1f us\n", map);
    std::printf("our loader, MapImageFromMemory + UnmapImage: median %.1f us\n", mapAndUnmap);
    std::printf("system loader, LoadLibraryA + FreeLibrary:   median %.1f us\n", system);
    std::printf("ratio system / ours (map only):      %.2f\n", system / map);
    std::printf("ratio system / ours (map + unmap):   %.2f\n", system / mapAndUnmap);
    return 0;
}
