#pragma once
// Resource identifiers of the program. The icon has the lowest number, so
// the system also shows it as the program file's own icon.
#define IDI_PEERKIN 1
#define IDB_FIGURE 101
