// The one error type that reaches the window's handlers. Its what() is the
// exact text the user sees in the error box: Windows-1252 bytes, without the
// "." that the box may append.
#pragma once

#include <stdexcept>
#include <string>

namespace tarvenia {

class Error : public std::runtime_error {
public:
    explicit Error(const std::string& text)
        : std::runtime_error(text)
    {
    }
};

// An input/output failure of a file operation. `code` follows the numbering
// the program's file errors have always used (2 file missing, 3 folder
// missing, 4 too many open files, 5 access denied; other Windows errors as
// they are, other POSIX errors above kErrnoCodeBase, see errno_code.h), and
// the text is derived from it.
class IoError : public Error {
public:
    explicit IoError(int code);
    int code() const noexcept { return code_; }

    static std::string TextFor(int code);

private:
    int code_;
};

} // namespace tarvenia

namespace tarvenia {

// The list's own index failure, "List index out of bounds (%d)".
class ListIndexError : public Error {
public:
    explicit ListIndexError(long index)
        : Error("List index out of bounds (" + std::to_string(index) + ")")
    {
    }
};

// Element i of a list, or ListIndexError: the lists behind the combo box and
// the base tokens fail this way on a missing entry. What the list's [] gives:
// a reference into it, or a view for lists that hand out views.
template <class List> decltype(auto) ListAt(const List& list, long i)
{
    if (i < 0 || static_cast<unsigned long>(i) >= list.size())
        throw ListIndexError(i);
    return list[static_cast<typename List::size_type>(i)];
}

} // namespace tarvenia
