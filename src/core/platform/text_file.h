#pragma once

#include <filesystem>
#include <string>
#include <string_view>

// Writes text in the manner of a text-mode file on the desktop: every line feed becomes a
// carriage return and a line feed. The file is replaced atomically; on failure the previous
// file is untouched and `error` names the file and the reason.
bool WriteTextFile(const std::filesystem::path& path, std::string_view text, std::string& error);

// "\n" to "\r\n".
std::string WithCrLf(std::string_view text);
