// The asset generator's pieces: each one writes its files into the output folder.
#pragma once
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

// A writer returns false (after saying why on stderr) when it could not write its files.
using AssetWriter = bool (*)(const std::filesystem::path& outDir);

// Writers register themselves at start-up; main runs them in name order.
struct AssetWriterRegistration {
  AssetWriterRegistration(const char* name, AssetWriter writer);
};

// Where a resource of a type goes: OUT/resources/TYPE/NAME (embedded by the build).
std::filesystem::path ResourcePath(const std::filesystem::path& outDir, const char* type,
                                   const char* name);

// Writes bytes to a file, creating its folder; false on failure.
bool WriteFileBytes(const std::filesystem::path& path, const std::vector<uint8_t>& bytes);
