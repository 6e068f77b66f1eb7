// Where the test programs find the built DLLs and fixtures: beside themselves.
#pragma once

#include <string>

// Directory of the running test program, without a trailing backslash.
std::string BinaryDirectory();

// BinaryDirectory() + "\" + name.
std::string BinaryFile(const std::string& name);
