// An environment variable set, or unset, for one scope (POSIX).
#pragma once

#include <cstdlib>
#include <optional>
#include <string>

namespace tarvenia::testing {

class ScopedVariable {
public:
    // A null value unsets the variable.
    ScopedVariable(const char* name, const char* value)
        : name_(name)
    {
        if (const char* old = std::getenv(name))
            old_ = old;
        if (value)
            setenv(name, value, 1);
        else
            unsetenv(name);
    }
    ScopedVariable(const char* name, const std::string& value)
        : ScopedVariable(name, value.c_str())
    {
    }
    ~ScopedVariable()
    {
        if (old_)
            setenv(name_.c_str(), old_->c_str(), 1);
        else
            unsetenv(name_.c_str());
    }
    ScopedVariable(const ScopedVariable&) = delete;
    ScopedVariable& operator=(const ScopedVariable&) = delete;

private:
    std::string name_;
    std::optional<std::string> old_;
};

} // namespace tarvenia::testing
