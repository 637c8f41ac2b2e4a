// Environment variables for tests, on every platform the tests run on.
#pragma once

#include <string>

namespace quillon::test {

/// Sets `name` to `value` for this process and the libraries it loaded.
void SetEnvironment(const std::string& name, const std::string& value);
void UnsetEnvironment(const std::string& name);

/// Sets a variable for the life of the object and removes it after.
class ScopedEnvironment {
  public:
    ScopedEnvironment(std::string name, const std::string& value) : name_(std::move(name)) {
        SetEnvironment(name_, value);
    }
    ~ScopedEnvironment() { UnsetEnvironment(name_); }
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

  private:
    std::string name_;
};

}  // namespace quillon::test
