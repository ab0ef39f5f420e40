#include "app/freed_memory.h"

#include <malloc.h>

namespace zumi {

void returnFreedMemory()
{
    ::malloc_trim(0);
}

} // namespace zumi
