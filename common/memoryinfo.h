#pragma once
// What the machine has to spare.

#include <QtGlobal>

// The memory the kernel says new work can have without swapping (MemAvailable); -1 when unknown.
qint64 availableMemoryBytes();
