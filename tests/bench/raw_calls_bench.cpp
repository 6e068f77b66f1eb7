// The floor under a whole setup: as many registry and profile calls as the
// typical setup's DLLs made (counted by setuphost --measure), made in a plain
// loop on a scratch key and a scratch INI file, timed over several rounds.
// Run by "make bench"; not a test.
//
//   raw_calls_bench ROUNDS CREATES OPENS SETS QUERIES DELETES CLOSES PROFILE_READS PROFILE_WRITES
//
// Every key a create or an open yields is closed again, so the closes are
// those calls; the CLOSES count is shown but not made a second time.
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>

#include <algorithm>
#include <vector>

namespace {

const char kScratchKey[] = "Software\\SorbixBench";
const char kScratchIni[] = "C:\\sorbix-bench.ini";

struct Counts {
    unsigned long creates, opens, sets, queries, deletes, closes, profileReads, profileWrites;
};

void OneRound(const Counts& n)
{
    char name[32];
    for (unsigned long i = 0; i < n.creates; ++i) {
        HKEY key;
        snprintf(name, sizeof name, "%s\\Key%lu", kScratchKey, i % 16);
        if (RegCreateKeyExA(HKEY_CURRENT_USER, name, 0, nullptr, 0, KEY_WRITE, nullptr, &key,
                            nullptr) == ERROR_SUCCESS)
            RegCloseKey(key);
    }
    for (unsigned long i = 0; i < n.opens; ++i) {
        HKEY key;
        snprintf(name, sizeof name, "%s\\Key%lu", kScratchKey, i % 16);
        if (RegOpenKeyExA(HKEY_CURRENT_USER, name, 0, KEY_QUERY_VALUE, &key) == ERROR_SUCCESS)
            RegCloseKey(key);
    }
    HKEY key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, kScratchKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                        &key, nullptr) != ERROR_SUCCESS)
        return;
    const char data[] = "0 133 sxdocve.dll 1";
    for (unsigned long i = 0; i < n.sets; ++i) {
        snprintf(name, sizeof name, "%lu", i % 400);
        RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(data), sizeof data);
    }
    for (unsigned long i = 0; i < n.queries; ++i) {
        char value[256];
        DWORD size = sizeof value;
        snprintf(name, sizeof name, "%lu", i % 400);
        RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(value), &size);
    }
    for (unsigned long i = 0; i < n.deletes; ++i) {
        snprintf(name, sizeof name, "gone%lu", i);
        RegDeleteValueA(key, name);
    }
    RegCloseKey(key);
    for (unsigned long i = 0; i < n.profileReads; ++i) {
        char value[256];
        snprintf(name, sizeof name, "Key%lu", i % 32);
        GetPrivateProfileStringA("Section", name, "", value, sizeof value, kScratchIni);
    }
    for (unsigned long i = 0; i < n.profileWrites; ++i) {
        snprintf(name, sizeof name, "Key%lu", i % 32);
        WritePrivateProfileStringA("Section", name, "value", kScratchIni);
    }
}

void DeleteScratchKey()
{
    for (int i = 0; i < 16; ++i) {
        char name[32];
        snprintf(name, sizeof name, "%s\\Key%d", kScratchKey, i);
        RegDeleteKeyA(HKEY_CURRENT_USER, name);
    }
    RegDeleteKeyA(HKEY_CURRENT_USER, kScratchKey);
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 10) {
        fprintf(stderr, "usage: raw_calls_bench ROUNDS CREATES OPENS SETS QUERIES DELETES CLOSES "
                        "PROFILE_READS PROFILE_WRITES\n");
        return 2;
    }
    int rounds = atoi(argv[1]);
    Counts n = {strtoul(argv[2], nullptr, 10), strtoul(argv[3], nullptr, 10),
                strtoul(argv[4], nullptr, 10), strtoul(argv[5], nullptr, 10),
                strtoul(argv[6], nullptr, 10), strtoul(argv[7], nullptr, 10),
                strtoul(argv[8], nullptr, 10), strtoul(argv[9], nullptr, 10)};

    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    std::vector<double> times;
    for (int round = 0; round < rounds; ++round) {
        LARGE_INTEGER start, end;
        QueryPerformanceCounter(&start);
        OneRound(n);
        QueryPerformanceCounter(&end);
        times.push_back(static_cast<double>(end.QuadPart - start.QuadPart) * 1000.0 /
                        static_cast<double>(frequency.QuadPart));
    }
    DeleteScratchKey();
    DeleteFileA(kScratchIni);
    std::sort(times.begin(), times.end());
    printf("raw calls: %lu creates, %lu opens, %lu sets, %lu queries, %lu deletes, %lu closes, "
           "%lu profile reads, %lu profile writes\n",
           n.creates, n.opens, n.sets, n.queries, n.deletes, n.closes, n.profileReads,
           n.profileWrites);
    printf("raw loop median %.3f ms over %d rounds\n", times[times.size() / 2], rounds);
    return 0;
}
