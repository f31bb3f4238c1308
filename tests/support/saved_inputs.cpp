#include "support/saved_inputs.h"

#include <algorithm>
#include <fstream>
#include <iterator>

namespace vorline {

std::vector<std::filesystem::path> saved_inputs(const std::string& target) {
    std::vector<std::filesystem::path> files;
    const std::filesystem::path folder =
        std::filesystem::path(VORLINE_TEST_DIR) / "regressions" / target;
    if (std::filesystem::is_directory(folder))
        for (const auto& entry : std::filesystem::directory_iterator(folder))
            if (entry.is_regular_file()) files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    return files;
}

std::string bytes_of(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace vorline
