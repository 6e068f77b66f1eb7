#include "support/scratch_files.h"

#include <windows.h>

#include <gtest/gtest.h>

std::string WindowsDirectory()
{
    char path[MAX_PATH];
    UINT length = GetWindowsDirectoryA(path, sizeof path);
    return std::string(path, length);
}

bool FileExists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

void WriteFileBytes(const std::string& path, const std::string& bytes)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE) << "cannot write " << path;
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
    // Profile functions keep parsed files; writing through them once more
    // with nothing to write makes them drop what they held of this file.
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, path.c_str());
}

std::string ReadFileBytes(const std::string& path)
{
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, path.c_str());
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return std::string();
    std::string bytes;
    char chunk[4096];
    DWORD got = 0;
    while (ReadFile(file, chunk, sizeof chunk, &got, nullptr) && got > 0)
        bytes.append(chunk, got);
    CloseHandle(file);
    return bytes;
}

void CopyFileTo(const std::string& from, const std::string& to)
{
    ASSERT_TRUE(CopyFileA(from.c_str(), to.c_str(), FALSE))
        << "cannot copy " << from << " to " << to << ", error " << GetLastError();
}

static void CollectEntries(const std::string& directory, std::vector<DirectoryEntry>& entries)
{
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((directory + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return;
    do {
        std::string name = found.cFileName;
        if (name == "." || name == "..")
            continue;
        bool isDirectory = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        entries.push_back({directory + "\\" + name, isDirectory});
        if (isDirectory)
            CollectEntries(directory + "\\" + name, entries);
    } while (FindNextFileA(search, &found));
    FindClose(search);
}

std::vector<DirectoryEntry> EntriesBelow(const std::string& directory)
{
    std::vector<DirectoryEntry> entries;
    CollectEntries(directory, entries);
    return entries;
}

void DeleteDirectoryTree(const std::string& path)
{
    // Backwards: what a directory holds goes before the directory itself.
    std::vector<DirectoryEntry> entries = EntriesBelow(path);
    for (auto entry = entries.rbegin(); entry != entries.rend(); ++entry) {
        if (entry->directory) {
            RemoveDirectoryA(entry->path.c_str());
        } else {
            SetFileAttributesA(entry->path.c_str(), FILE_ATTRIBUTE_NORMAL);
            DeleteFileA(entry->path.c_str());
        }
    }
    RemoveDirectoryA(path.c_str());
}

ScratchDirectory::ScratchDirectory(const std::string& name)
{
    CreateDirectoryA("C:\\sorbix-tests", nullptr);
    static unsigned counter;
    for (;;) {
        path_ = "C:\\sorbix-tests\\" + name + "-" + std::to_string(GetCurrentProcessId()) + "-" +
                std::to_string(++counter);
        if (CreateDirectoryA(path_.c_str(), nullptr))
            break;
        if (GetLastError() != ERROR_ALREADY_EXISTS) {
            ADD_FAILURE() << "cannot make " << path_;
            break;
        }
    }
}

std::string ScratchDirectory::MakeDirectoryOfLength(size_t length) const
{
    std::string path = path_;
    if (length < path.size() + 2) {
        ADD_FAILURE() << "a directory of " << length << " characters cannot lie below " << path_;
        return path;
    }
    while (path.size() < length) {
        size_t remaining = length - path.size() - 1;  // less the backslash
        // Leave no remainder too short for a name of its own.
        size_t part = remaining > 100 ? (remaining - 100 >= 2 ? 100 : remaining - 2) : remaining;
        path += "\\" + std::string(part, 'd');
        if (!CreateDirectoryA(path.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
            ADD_FAILURE() << "cannot make " << path << ", error " << GetLastError();
    }
    return path;
}

ScratchDirectory::~ScratchDirectory()
{
    DeleteDirectoryTree(path_);
    RemoveDirectoryA("C:\\sorbix-tests");  // only when no other test holds one
}

FileGuard::FileGuard(std::string path)
    : path_(std::move(path)), existed_(FileExists(path_)), bytes_(existed_ ? ReadFileBytes(path_) : "")
{
}

FileGuard::~FileGuard()
{
    if (existed_) {
        WriteFileBytes(path_, bytes_);
    } else {
        DeleteFileA(path_.c_str());
        WritePrivateProfileStringA(nullptr, nullptr, nullptr, path_.c_str());
    }
}
