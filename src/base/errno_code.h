// POSIX only: an errno in the numbering of the program's file errors.
#pragma once

namespace tarvenia {

// errnos that mean one of the four named cases get that case's number (2
// file missing, 3 folder missing or bad name, 4 too many open files, 5
// access denied). Every other errno n becomes kErrnoCodeBase + n: passed on
// as it is, it would be read as a Windows error code, so that EIO (5) would
// say "File access denied" and ESRCH (3) "Invalid filename". Above the base
// it can never be one of the named numbers, and the errno stays readable in
// "I/O error %d".
inline constexpr int kErrnoCodeBase = 1000;

// `parent_missing` tells ENOENT for a missing folder (3) from a missing file
// (2).
int IoCodeForErrno(int err, bool parent_missing) noexcept;

} // namespace tarvenia
