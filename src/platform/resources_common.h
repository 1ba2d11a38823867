// Lookups shared by both machines: the embedded resource table and the program's folder.
#pragma once
#include <cstddef>
#include <cstdint>

bool FindEmbeddedResource(const char* name, const char* type, const uint8_t** data, size_t* size);
const char*
ExecutableDirFromProc();            // the running program's folder with a trailing separator, or ""
bool FileExists(const char* path);  // true when the file can be opened for reading
// The game's XDG folders, $XDG_CONFIG_HOME/zizid-ozavav (else ~/.config/zizid-ozavav) and
// $XDG_STATE_HOME/zizid-ozavav (else ~/.local/state/zizid-ozavav); "" without a home. Read
// again at every call: the environment decides, and tests change it.
const char* XdgSettingsFolder();
const char* XdgStateFolder();
