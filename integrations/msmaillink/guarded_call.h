// Calls a function so that a structured exception raised inside it is caught
// instead of ending the setup process.
#pragma once

typedef int (*GuardedFunction)(void* context);

// function(context), or 0 when it raised an exception. One guard at a time:
// the module runs on the setup script's single thread and never nests them.
int CallGuarded(GuardedFunction function, void* context);
