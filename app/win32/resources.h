#pragma once

// The shell's resources (IDs 100-999 belong to app/win32).
#define IDI_NET_BLUE 101 // the tray icon while offline
#define IDI_NET_RED 102  // the tray icon while a connection is metered
