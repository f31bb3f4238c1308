#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// A fingerprint of the non-empty lines of a text, in order, with carriage returns at line
// ends dropped: two texts that hold the same lines between their empty lines compare equal.
// Used to check that cutting a file into game texts loses and adds nothing.
struct LineDigest {
    std::uint64_t lines = 0;
    std::uint64_t bytes = 0;
    std::uint64_t hash = 0xcbf29ce484222325ULL;

    void add_line(std::string_view line);
    // Splits at line feeds; a last piece without one counts as a line.
    void add_text(std::string_view text);

    bool operator==(const LineDigest&) const = default;
};

// The digest of a whole file, read in blocks; a UTF-8 byte-order mark that begins the first
// non-empty line is left out, as cutting removes it from the first game text.
LineDigest digest_of_file(const std::string& path);
