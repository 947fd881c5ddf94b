// The program's standard output and standard error, as bytes. Variants:
// console_posix.cpp; console_windows.cpp, where the GUI program writes to the
// handles it inherited (a redirection) or else to the console of the command
// prompt it was started from.
#pragma once

#include <string>

namespace tarvenia {

void WriteStdout(const std::string& bytes);
void WriteStderr(const std::string& bytes);

// Whether standard output reaches anyone; when it does not (the Windows
// program started from Explorer), --help and --version show a message box.
bool HasStdout();

} // namespace tarvenia
