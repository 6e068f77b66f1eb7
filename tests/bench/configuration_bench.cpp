// Benchmark of updateRegHard against the least any writer of the same
// configuration must do: the same RegCreateKeyExA, RegSetValueExA and
// RegCloseKey calls with the same data in a plain loop. The calls are taken
// from one recorded run of updateRegHard, then both are timed in turns and
// their medians compared. Run by "make bench"; not a test.
#include <windows.h>

#include <stdio.h>

#include <algorithm>
#include <string>
#include <vector>

#include "import_patch.h"
#include "loaded_dll.h"
#include "registry_state.h"
#include "scratch_files.h"
#include "test_paths.h"

namespace {

typedef int(WINAPI* UpdateRegHard)(DWORD, const char* home, DWORD, const char* productId,
                                   const char* iniPath);
typedef LONG(WINAPI* CreateKeyFunction)(HKEY, LPCSTR, DWORD, LPSTR, DWORD, REGSAM,
                                        LPSECURITY_ATTRIBUTES, PHKEY, LPDWORD);
typedef LONG(WINAPI* SetValueFunction)(HKEY, LPCSTR, DWORD, DWORD, const BYTE*, DWORD);

const int kRounds = 41;

// One key and the values set in it, as updateRegHard wrote them.
struct KeyWrites {
    HKEY root;
    std::string subKey;
    std::vector<std::pair<std::string, std::string>> values;  // name, bytes
};

std::vector<KeyWrites>* g_recorded;
const ImportPatch* g_createPatch;
const ImportPatch* g_setPatch;

LONG WINAPI RecordCreate(HKEY root, LPCSTR subKey, DWORD reserved, LPSTR keyClass, DWORD options,
                         REGSAM access, LPSECURITY_ATTRIBUTES security, PHKEY result,
                         LPDWORD disposition)
{
    g_recorded->push_back({root, subKey, {}});
    return g_createPatch->Original<CreateKeyFunction>()(root, subKey, reserved, keyClass, options,
                                                        access, security, result, disposition);
}

LONG WINAPI RecordSet(HKEY key, LPCSTR name, DWORD reserved, DWORD type, const BYTE* data,
                      DWORD size)
{
    g_recorded->back().values.push_back(
        {name, std::string(reinterpret_cast<const char*>(data), size)});
    return g_setPatch->Original<SetValueFunction>()(key, name, reserved, type, data, size);
}

void PlainLoop(const std::vector<KeyWrites>& writes)
{
    for (const KeyWrites& w : writes) {
        HKEY key;
        DWORD disposition;
        char emptyClass[] = "";
        if (RegCreateKeyExA(w.root, w.subKey.c_str(), 0, emptyClass, REG_OPTION_NON_VOLATILE,
                            KEY_WRITE, nullptr, &key, &disposition) != ERROR_SUCCESS)
            continue;
        for (const auto& value : w.values)
            RegSetValueExA(key, value.first.c_str(), 0, REG_SZ,
                           reinterpret_cast<const BYTE*>(value.second.data()),
                           static_cast<DWORD>(value.second.size()));
        RegCloseKey(key);
    }
}

double Milliseconds(LARGE_INTEGER start, LARGE_INTEGER end, LARGE_INTEGER frequency)
{
    return 1000.0 * static_cast<double>(end.QuadPart - start.QuadPart) /
           static_cast<double>(frequency.QuadPart);
}

double Median(std::vector<double> samples)
{
    std::sort(samples.begin(), samples.end());
    return samples[samples.size() / 2];
}

}  // namespace

int main()
{
    RegistryKeyGuard product(HKEY_LOCAL_MACHINE, "SOFTWARE\\Quorvane");
    RegistryKeyGuard classes(HKEY_CLASSES_ROOT, "SOFTWARE");
    RegistryKeyGuard help(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\help");
    ScratchDirectory setup("bench");
    const std::string ini = setup.File("version.ini");
    WriteFileBytes(ini, "[GENERAL]\r\nInternal=SX-STD-40\r\nMAJOR_VER_NUM=4\r\n"
                        "MINOR_VER_NUM=02\r\nSKU=Standard Edition\r\nProductName=Sorbix Viewer\r\n"
                        "BuildTime=1997-03-14 18:02\r\nBuildNum=412\r\n");
    LoadedDll install(BinaryFile("install.dll"));
    auto update = install.Export<UpdateRegHard>(2);
    const char home[] = "C:\\Program Files\\Sorbix";

    std::vector<KeyWrites> writes;
    {
        g_recorded = &writes;
        ImportPatch create(install.Handle(), "ADVAPI32.dll", "RegCreateKeyExA",
                           reinterpret_cast<void*>(&RecordCreate));
        ImportPatch set(install.Handle(), "ADVAPI32.dll", "RegSetValueExA",
                        reinterpret_cast<void*>(&RecordSet));
        g_createPatch = &create;
        g_setPatch = &set;
        if (update(0, home, 0, "SX-1997-0042", ini.c_str()) != 1) {
            printf("updateRegHard failed\n");
            return 1;
        }
        g_recorded = nullptr;
    }
    size_t valueCount = 0;
    for (const KeyWrites& w : writes)
        valueCount += w.values.size();

    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    std::vector<double> writer;
    std::vector<double> plain;
    for (int round = 0; round < kRounds; ++round) {
        LARGE_INTEGER a, b, c;
        QueryPerformanceCounter(&a);
        update(0, home, 0, "SX-1997-0042", ini.c_str());
        QueryPerformanceCounter(&b);
        PlainLoop(writes);
        QueryPerformanceCounter(&c);
        writer.push_back(Milliseconds(a, b, frequency));
        plain.push_back(Milliseconds(b, c, frequency));
    }

    double writerMedian = Median(writer);
    double plainMedian = Median(plain);
    double ratio = writerMedian / plainMedian;
    printf("updateRegHard: %zu keys, %zu values, %d rounds each\n", writes.size(), valueCount,
           kRounds);
    printf("  updateRegHard median  %8.3f ms\n", writerMedian);
    printf("  plain loop median     %8.3f ms\n", plainMedian);
    printf("  ratio                 %8.3f (goal: at most 1.10) %s\n", ratio,
           ratio <= 1.10 ? "met" : "NOT MET");
    return 0;
}
