// What a setup run changed: the registry keys of the viewer and of the host
// applications it integrates with, and the INI files the DLLs wrote.
#pragma once

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "regedit_export.h"

typedef RegistryValueData ValueState;

inline bool SameValue(const ValueState& a, const ValueState& b)
{
    return a.type == b.type && a.bytes == b.bytes;
}

struct FileState {
    bool exists = false;
    std::string bytes;
};

struct MachineState {
    // Full key path ("HKEY_LOCAL_MACHINE\...") to its values, in the order the
    // registry enumerates them.
    std::map<std::string, std::vector<std::pair<std::string, ValueState>>> keys;
    // Full file path (upper case) to its contents.
    std::map<std::string, FileState> files;
};

// The keys a setup of the viewer writes, below which everything is watched.
extern const char* const kWatchedKeys[];
extern const size_t kWatchedKeyCount;

// Reads the watched keys and the given files.
MachineState ReadMachineState(const std::vector<std::string>& files);

// REGEDIT4 text of every watched key that exists.
std::string ExportWatchedKeys();

// Lines saying what differs from before to after; empty when nothing does.
std::string DescribeChanges(const MachineState& before, const MachineState& after);

// A state kept in a file between two host runs.
bool SaveMachineState(const MachineState& state, const std::string& path);
bool LoadMachineState(const std::string& path, MachineState* state);
