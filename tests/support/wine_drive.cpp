#include "support/wine_drive.h"

#include <winioctl.h>

#include <gtest/gtest.h>

#include <vector>

namespace {

// Wine's extension of the mount manager interface (its ddk/mountmgr.h).
const DWORD kDefineUnixDrive =
    CTL_CODE(static_cast<DWORD>('m'), 32, METHOD_BUFFERED, FILE_READ_ACCESS | FILE_WRITE_ACCESS);

struct UnixDriveRequest {
    ULONG size;
    ULONG type;
    ULONG fsType;
    DWORD serial;
    ULONGLONG unixDevice;
    WCHAR letter;
    USHORT mountPointOffset;
    USHORT deviceOffset;
    USHORT labelOffset;
};

// The Linux path of a Windows path of the prefix.
std::string UnixPath(const std::string& windowsPath)
{
    typedef char*(CDECL * UnixFileName)(const WCHAR*);
    auto toUnix = reinterpret_cast<UnixFileName>(reinterpret_cast<void (*)()>(
        GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
    if (toUnix == nullptr)
        return std::string();
    std::wstring wide(windowsPath.begin(), windowsPath.end());
    char* unixPath = toUnix(wide.c_str());
    if (unixPath == nullptr)
        return std::string();
    std::string result = unixPath;
    HeapFree(GetProcessHeap(), 0, unixPath);
    return result;
}

// An empty mount point removes the letter.
bool DefineDrive(char letter, const std::string& unixPath, UINT driveType)
{
    HANDLE manager = CreateFileA("\\\\.\\MountPointManager", GENERIC_READ | GENERIC_WRITE,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                                 nullptr);
    if (manager == INVALID_HANDLE_VALUE)
        return false;
    std::vector<char> request(sizeof(UnixDriveRequest) + unixPath.size() + 1, '\0');
    auto* drive = reinterpret_cast<UnixDriveRequest*>(request.data());
    drive->size = static_cast<ULONG>(request.size());
    drive->type = driveType;
    drive->letter = static_cast<WCHAR>(letter - 'A' + 'a');
    drive->mountPointOffset = unixPath.empty() ? 0 : static_cast<USHORT>(sizeof(UnixDriveRequest));
    unixPath.copy(request.data() + sizeof(UnixDriveRequest), unixPath.size());
    DWORD returned = 0;
    BOOL done = DeviceIoControl(manager, kDefineUnixDrive, request.data(),
                                static_cast<DWORD>(request.size()), nullptr, 0, &returned, nullptr);
    CloseHandle(manager);
    return done != FALSE;
}

}  // namespace

WineDrive::WineDrive(char letter, const std::string& directory, UINT driveType) : letter_(letter)
{
    if (GetDriveTypeA(Root().c_str()) != DRIVE_NO_ROOT_DIR) {
        ADD_FAILURE() << "drive " << Root() << " is already in use";
        return;
    }
    std::string unixPath = UnixPath(directory);
    if (unixPath.empty() || !DefineDrive(letter_, unixPath, driveType)) {
        ADD_FAILURE() << "cannot define drive " << Root() << " on " << directory;
        return;
    }
    defined_ = true;
    // The fixture itself first: the drive must show the type asked for.
    EXPECT_EQ(GetDriveTypeA(Root().c_str()), driveType) << "drive type of " << Root();
}

WineDrive::~WineDrive()
{
    if (defined_ && !DefineDrive(letter_, std::string(), DRIVE_NO_ROOT_DIR))
        ADD_FAILURE() << "cannot remove drive " << Root();
}
