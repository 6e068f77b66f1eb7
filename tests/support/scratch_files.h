// Scratch directories and files for tests, and guards that put a file of the
// prefix (an INI file in the Windows directory) back as it was.
#pragma once

#include <string>
#include <vector>

std::string WindowsDirectory();

bool FileExists(const std::string& path);
void WriteFileBytes(const std::string& path, const std::string& bytes);
std::string ReadFileBytes(const std::string& path);
void CopyFileTo(const std::string& from, const std::string& to);
void DeleteDirectoryTree(const std::string& path);

struct DirectoryEntry {
    std::string path;  // full path
    bool directory;
};

// Everything below directory, each directory before what it holds.
std::vector<DirectoryEntry> EntriesBelow(const std::string& directory);

// A new empty directory under C:\sorbix-tests, removed with all it holds
// when destroyed.
class ScratchDirectory {
public:
    explicit ScratchDirectory(const std::string& name = "scratch");
    ~ScratchDirectory();
    ScratchDirectory(const ScratchDirectory&) = delete;
    ScratchDirectory& operator=(const ScratchDirectory&) = delete;

    const std::string& Path() const { return path_; }
    // Path() + "\" + name.
    std::string File(const std::string& name) const { return path_ + "\\" + name; }

    // Makes a directory below Path() whose full path is exactly length
    // characters long (nested, as one name may hold at most 255) and
    // returns that path, without a trailing backslash.
    std::string MakeDirectoryOfLength(size_t length) const;

private:
    std::string path_;
};

// Remembers whether a file exists and what it holds; puts that back when
// destroyed.
class FileGuard {
public:
    explicit FileGuard(std::string path);
    ~FileGuard();
    FileGuard(const FileGuard&) = delete;
    FileGuard& operator=(const FileGuard&) = delete;

private:
    std::string path_;
    bool existed_;
    std::string bytes_;
};
