// The asset generator's pieces: each one writes its files into the output folder.
#pragma once
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

// A writer returns false (after saying why on stderr) when it could not write its files.
using AssetWriter = bool (*)(const std::filesystem::path& outDir);

// The writers, each over its own files; main runs every one.
bool WriteContactSheet(const std::filesystem::path& outDir);
bool WriteEffects(const std::filesystem::path& outDir);
bool WriteIcon(const std::filesystem::path& outDir);
bool WriteSheet(const std::filesystem::path& outDir);
bool WriteSongs(const std::filesystem::path& outDir);

// Where a resource of a type goes: OUT/resources/TYPE/NAME (embedded by the build).
std::filesystem::path ResourcePath(const std::filesystem::path& outDir, const char* type,
                                   const char* name);

// Writes bytes to a file, creating its folder; false on failure.
bool WriteFileBytes(const std::filesystem::path& path, const std::vector<uint8_t>& bytes);
