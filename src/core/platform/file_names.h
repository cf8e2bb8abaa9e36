#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

// A text (a specimen name) made safe as one file name: path separators, control characters and
// the characters other systems refuse become '_'; a leading '.' too, so that no result is hidden
// or taken for a control file; an empty name becomes "specimen".
std::string SafeFileName(std::string_view name);

// The longest file name, in bytes, the folder's file system takes (255 where it does not say).
std::size_t FileNameLimit(const std::filesystem::path& folder);

// `name` when it fits in `limit` bytes; otherwise its start, cut at a character boundary, a '~'
// and eight hexadecimal digits of a hash of the whole name, then its extension, in `limit` bytes:
// names that differ only after the cut stay apart, and the start stays readable.
std::string ShortenFileName(const std::string& name, std::size_t limit);

// `name` with " (n)" before its extension, shortened so that the whole fits in `limit` bytes.
std::string NumberedFileName(const std::string& name, int n, std::size_t limit);
