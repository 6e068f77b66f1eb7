// The all-users pass: every user profile's registry hive is mounted for a
// moment under HKEY_LOCAL_MACHINE\sxtmpkey, edited by a per-user step and
// written back to its own file.
#pragma once

typedef int (*UserHiveStep)(void* context);

// Runs step(context) for each user hive that is not in use. installing picks
// the texts of the message shown when the account lacks the rights.
void ForEachUserHive(void* context, UserHiveStep step, int installing);

// Per-user steps, run while a hive is mounted. context: the handler value
// text (set) or nothing (remove). Non-zero for success.
int SetHandlerInHive(void* context);
int RemoveHandlerFromHive(void* context);

// Name of the scratch file a hive is moved to while it is mounted; it lies in
// the hive's own directory.
extern const char kScratchHiveName[];
