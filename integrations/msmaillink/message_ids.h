// Ids of the module's own string table (msmaillink.rc).
#pragma once

#define IDS_NO_RIGHTS_INSTALL 120
#define IDS_CURRENT_USER_ONLY_INSTALL 121
#define IDS_NO_RIGHTS_DEINSTALL 122
#define IDS_CURRENT_USER_ONLY_DEINSTALL 123
#define IDS_CAPTION 124
