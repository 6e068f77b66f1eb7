// The launch manager's fixed tables, under the product key's
// "LaunchManager" key.
#pragma once

// Writes the Extensions, DocumentClassDefaults and ResourceHunterApplications
// keys in that order. Returns 1 when all three were written, 0 at the first
// key that cannot be created or opened (the keys before it are complete).
int WriteLaunchManagerTables();
