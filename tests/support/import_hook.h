// Replaces one imported function of a loaded module for the length of a test
// with a callable that may carry state: a lambda bound to the fixture, say.
// The module's import address table slot is pointed at a typed thunk that
// calls the replacement, and set back by the destructor.
//
//   ImportHook<decltype(RegSetValueExA)> hook(module, "ADVAPI32.dll",
//       "RegSetValueExA", [&](HKEY key, LPCSTR name, ...) {
//           ...; return hook.Original()(key, name, ...); });
//
// A thunk is a plain stdcall function, one per slot of a small fixed pool per
// signature, so the import table holds an address of the right convention on
// both x86 and x86-64.
#pragma once

#include <windows.h>

#include <stddef.h>

#include <functional>
#include <optional>

#include <gtest/gtest.h>

#include "support/import_patch.h"

template <typename Signature>
class ImportHook;

template <typename Result, typename... Args>
class ImportHook<Result WINAPI(Args...)> {
public:
    typedef Result(WINAPI* Function)(Args...);
    typedef std::function<Result(Args...)> Replacement;

    // dllName is compared without regard to case ("ADVAPI32.dll").
    ImportHook(HMODULE module, const char* dllName, const char* functionName,
               Replacement replacement)
        : replacement_(std::move(replacement))
    {
        for (size_t i = 0; i < kSlots; ++i) {
            if (Active()[i] == nullptr) {
                slot_ = i;
                break;
            }
        }
        if (slot_ == kSlots) {
            ADD_FAILURE() << "more than " << kSlots << " hooks of one signature at a time ("
                          << functionName << ")";
            return;
        }
        Active()[slot_] = this;
        patch_.emplace(module, dllName, functionName, reinterpret_cast<void*>(Thunks()[slot_]));
    }

    ~ImportHook()
    {
        patch_.reset();
        if (slot_ != kSlots)
            Active()[slot_] = nullptr;
    }

    ImportHook(const ImportHook&) = delete;
    ImportHook& operator=(const ImportHook&) = delete;

    // The function the slot held before, to call through from the replacement.
    Function Original() const { return patch_->template Original<Function>(); }

private:
    static constexpr size_t kSlots = 4;

    static ImportHook** Active()
    {
        static ImportHook* active[kSlots];
        return active;
    }

    template <size_t Index>
    static Result WINAPI Thunk(Args... args)
    {
        return Active()[Index]->replacement_(args...);
    }

    static const Function* Thunks()
    {
        static const Function thunks[kSlots] = {&Thunk<0>, &Thunk<1>, &Thunk<2>, &Thunk<3>};
        return thunks;
    }

    Replacement replacement_;
    size_t slot_ = kSlots;
    std::optional<ImportPatch> patch_;
};
