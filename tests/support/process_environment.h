// Guards for the test process's environment variables and current
// directory: each sets its value for a test and puts the old one back.
#pragma once

#include <string>

class ScopedVariable {
public:
    // value null: the variable is removed for the test.
    ScopedVariable(const char* name, const char* value);
    ~ScopedVariable();
    ScopedVariable(const ScopedVariable&) = delete;
    ScopedVariable& operator=(const ScopedVariable&) = delete;

    void Set(const char* value);

private:
    std::string name_;
    bool existed_;
    std::string saved_;
};

class ScopedCurrentDirectory {
public:
    explicit ScopedCurrentDirectory(const std::string& directory);
    ~ScopedCurrentDirectory();
    ScopedCurrentDirectory(const ScopedCurrentDirectory&) = delete;
    ScopedCurrentDirectory& operator=(const ScopedCurrentDirectory&) = delete;

    void Change(const std::string& directory);

private:
    std::string saved_;
};
