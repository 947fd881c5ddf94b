// Builds with TARVENIA_MEMORY_FILES only (the fuzz targets): File keeps its
// files in this process's memory, by path, instead of on a disk
// (file_memory.cpp). These calls reach those files without going through
// File, for the targets to set up a file and check what the program left.
#pragma once

#include <optional>
#include <string>

namespace tarvenia::memory_files {

// The file at `path` set to `bytes`, created when missing.
void Put(const std::string& path, const std::string& bytes);
// Its bytes; nothing when there is no file at `path`.
std::optional<std::string> Get(const std::string& path);
// The file gone, if there was one.
void Remove(const std::string& path);

} // namespace tarvenia::memory_files
