// Lookups shared by both machines: the embedded resource table and the program's folder.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

bool FindEmbeddedResource(const char* name, const char* type, const uint8_t** data, size_t* size);
const char*
ExecutableDirFromProc();            // the running program's folder with a trailing separator, or ""
bool FileExists(const char* path);  // true when the file can be opened for reading
// The game's folder in an XDG base folder: $name/zizid-ozavav when $name is an absolute path,
// else $HOME/fallback/zizid-ozavav; "" without either.
std::string XdgFolder(const char* name, const char* fallback);
