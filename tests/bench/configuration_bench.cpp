// Benchmark of updateRegHard against the least any writer of the same
// configuration must do: the same RegCreateKeyExA, RegOpenKeyExA,
// RegSetValueExA, RegCloseKey and GetPrivateProfileStringA calls with the same arguments, in
// the same order, in a plain loop. The calls are taken from one recorded run
// of updateRegHard, then both are timed in turns and their medians compared.
// Run by "make bench"; not a test.
#include <windows.h>

#include <stdio.h>

#include <algorithm>
#include <string>
#include <vector>

#include "install/install_exports.h"
#include "support/import_hook.h"
#include "support/loaded_dll.h"
#include "support/registry_calls.h"
#include "support/registry_state.h"
#include "support/scratch_files.h"
#include "support/test_paths.h"

namespace {

const int kRounds = 41;
const double kGoal = 1.05;

// One profile look-up of updateRegHard, made before the registry call at
// index registryCallsBefore.
struct ProfileRead {
    size_t registryCallsBefore;
    std::string section;
    std::string key;
    std::string fallback;
    DWORD size;
    std::string file;
};

// The recorded calls again, with the same arguments and in the same order.
void PlainLoop(const std::vector<RegistryCall>& calls, const std::vector<ProfileRead>& reads)
{
    char entry[256];
    HKEY open = nullptr;
    HKEY reading = nullptr;          // a key opened to read, as replayed
    HKEY recordedReading = nullptr;  // the same key as recorded
    size_t nextRead = 0;
    for (size_t i = 0; i <= calls.size(); ++i) {
        for (; nextRead < reads.size() && reads[nextRead].registryCallsBefore == i; ++nextRead) {
            const ProfileRead& read = reads[nextRead];
            GetPrivateProfileStringA(read.section.c_str(), read.key.c_str(),
                                     read.fallback.c_str(), entry, read.size, read.file.c_str());
        }
        if (i == calls.size())
            break;
        const RegistryCall& call = calls[i];
        switch (call.kind) {
        case RegistryCall::kCreate: {
            char keyClass[] = "";
            DWORD disposition;
            RegCreateKeyExA(call.root, call.subKey.c_str(), 0, keyClass, call.options,
                            call.access, nullptr, &open, &disposition);
            break;
        }
        case RegistryCall::kOpen:
            if (call.status == ERROR_SUCCESS &&
                RegOpenKeyExA(call.root, call.subKey.c_str(), call.options, call.access,
                              &reading) == ERROR_SUCCESS)
                recordedReading = call.key;
            break;
        case RegistryCall::kSet:
            RegSetValueExA(open, call.name.c_str(), 0, call.type,
                           reinterpret_cast<const BYTE*>(call.bytes.data()),
                           static_cast<DWORD>(call.bytes.size()));
            break;
        case RegistryCall::kClose:
            if (recordedReading != nullptr && call.key == recordedReading) {
                RegCloseKey(reading);
                recordedReading = nullptr;
            } else {
                RegCloseKey(open);
            }
            break;
        }
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
    auto update = install.Export<UpdateRegHardProc>(kOrdinalUpdateRegHard);
    const char home[] = "C:\\Program Files\\Sorbix";

    std::vector<RegistryCall> calls;
    std::vector<ProfileRead> reads;
    {
        RegistryCallLog log(install.Handle());
        ImportHook<decltype(GetPrivateProfileStringA)> profile(
            install.Handle(), "KERNEL32.dll", "GetPrivateProfileStringA",
            [&](LPCSTR section, LPCSTR key, LPCSTR fallback, LPSTR buffer, DWORD size,
                LPCSTR file) {
                reads.push_back({log.Calls().size(), section, key, fallback, size, file});
                return profile.Original()(section, key, fallback, buffer, size, file);
            });
        if (update(0, home, 0, "SX-1997-0042", ini.c_str()) != 1) {
            printf("updateRegHard failed\n");
            return 1;
        }
        calls = log.Calls();
    }
    size_t keyCount = 0;
    size_t valueCount = 0;
    for (const RegistryCall& call : calls) {
        keyCount += call.kind == RegistryCall::kCreate;
        valueCount += call.kind == RegistryCall::kSet;
        if (call.kind == RegistryCall::kCreate && call.status != ERROR_SUCCESS) {
            printf("updateRegHard could not create %s\n", call.subKey.c_str());
            return 1;
        }
    }
    for (const ProfileRead& read : reads) {
        if (read.size > 256) {
            printf("a profile look-up of %lu bytes\n", static_cast<unsigned long>(read.size));
            return 1;
        }
    }

    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    std::vector<double> writer;
    std::vector<double> plain;
    // Each goes first in every other round, so that neither always finds the
    // registry warmed by the other.
    for (int round = 0; round < kRounds; ++round) {
        for (int turn = 0; turn < 2; ++turn) {
            bool writerTurn = (round + turn) % 2 == 0;
            LARGE_INTEGER start, end;
            QueryPerformanceCounter(&start);
            if (writerTurn)
                update(0, home, 0, "SX-1997-0042", ini.c_str());
            else
                PlainLoop(calls, reads);
            QueryPerformanceCounter(&end);
            (writerTurn ? writer : plain).push_back(Milliseconds(start, end, frequency));
        }
    }

    double writerMedian = Median(writer);
    double plainMedian = Median(plain);
    double ratio = writerMedian / plainMedian;
    printf("updateRegHard: %zu keys, %zu values, %zu profile look-ups, %d rounds each\n", keyCount,
           valueCount, reads.size(), kRounds);
    printf("  updateRegHard median  %8.3f ms\n", writerMedian);
    printf("  plain loop median     %8.3f ms\n", plainMedian);
    printf("  ratio                 %8.3f (goal: at most %.2f) %s\n", ratio, kGoal,
           ratio <= kGoal ? "met" : "NOT MET");
    return 0;
}
