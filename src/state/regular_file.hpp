#pragma once
// Opening a file the game reads (a map, the save) without ever blocking: a FIFO or a device
// under that name would otherwise hold the game until someone writes to it.

// A descriptor open for reading, or -1 with errno set; anything but a regular file is refused
// with errno EINVAL.
int openRegularFile(const char* path);
