#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace vorline {

// A fresh, empty directory under the system's temporary folder, removed with everything
// in it when the object goes.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::string file(std::string_view name) const { return (path_ / name).string(); }

    // Writes the bytes exactly as given.
    void write(std::string_view name, std::string_view contents) const;
    // The whole file as bytes; empty when it does not exist.
    std::string read(std::string_view name) const;
    bool exists(std::string_view name) const;

private:
    std::filesystem::path path_;
};

}  // namespace vorline
