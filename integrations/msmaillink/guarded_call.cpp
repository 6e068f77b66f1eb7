// The guard behind CallGuarded, written without a C runtime (the compiler has
// no __try/__except): a frame-based exception handler of our own that, on an
// exception inside the guarded function, resumes at the guard with result 0.
//
// The guard records where to resume with __builtin_setjmp (frame pointer,
// resume address, stack pointer); a function that contains one saves every
// call-saved register in its prologue, so jumping back from the handler
// leaves the guard's caller as it was. The handler is announced to the system
// the way each processor expects it:
// - i686: a registration record on the thread's handler chain (fs:[0]),
//   linked in before the call and unlinked after it on both paths; resuming
//   drops the records that the frames below had linked.
// - x86_64: the guard's unwind information names the handler (the module is
//   built with unwind tables so that the system can walk to it); resuming
//   sets the thread block's handler chain back as the guard found it.
// Frames below the guard are abandoned without running their unwind
// handlers; the caller cleans up after the step itself (its open key).
#include <windows.h>

#include "guarded_call.h"

namespace {

// Resume point of the guard in progress (__builtin_setjmp buffer).
void* g_resumePoint[5];

#if defined(__i386__)
struct ExceptionRegistration {
    ExceptionRegistration* previous;
    PEXCEPTION_ROUTINE handler;
};
#endif

}  // namespace

extern "C" EXCEPTION_DISPOSITION NTAPI GuardHandler(EXCEPTION_RECORD* record, void*, CONTEXT*, void*)
{
    // Unwinds started by others pass through untouched.
    if ((record->ExceptionFlags & (EXCEPTION_UNWINDING | EXCEPTION_EXIT_UNWIND)) != 0)
        return ExceptionContinueSearch;
    __builtin_longjmp(g_resumePoint, 1);
}

__attribute__((noinline)) int CallGuarded(GuardedFunction function, void* context)
{
#if defined(__x86_64__)
    __asm__ __volatile__(".seh_handler GuardHandler, @except");
#elif defined(__i386__)
    ExceptionRegistration registration;
    __asm__ __volatile__("movl %%fs:0, %0" : "=r"(registration.previous));
    registration.handler = GuardHandler;
    __asm__ __volatile__("movl %0, %%fs:0" : : "r"(&registration) : "memory");
#else
#error "no exception guard for this processor"
#endif

#if defined(__x86_64__)
    // Windows x64 keeps no handler chain in the thread block, but Wine links
    // frames of its own there while it dispatches an exception; resuming
    // here abandons them, so the chain is set back as the guard found it.
    // Otherwise a later exception is handed to a frame that is gone.
    void* chain;
    __asm__ __volatile__("movq %%gs:0, %0" : "=r"(chain));
    void* volatile savedChain = chain;
#endif
    volatile int result = 0;
    if (__builtin_setjmp(g_resumePoint) == 0) {
        result = function(context);
    } else {
#if defined(__x86_64__)
        void* restored = savedChain;
        __asm__ __volatile__("movq %0, %%gs:0" : : "r"(restored) : "memory");
#endif
    }

#if defined(__i386__)
    __asm__ __volatile__("movl %0, %%fs:0" : : "r"(registration.previous) : "memory");
#endif
    return result;
}
