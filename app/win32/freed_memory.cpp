#include "app/freed_memory.h"

#include <malloc.h>
#include <windows.h>

namespace zumi {

void returnFreedMemory()
{
    // The C runtime's free blocks go back to the process heap, whose free
    // pages then go back to the system.
    _heapmin();
    ::HeapCompact(::GetProcessHeap(), 0);
}

} // namespace zumi
