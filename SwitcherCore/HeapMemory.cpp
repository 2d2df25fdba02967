#include "HeapMemory.h"

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace HeapMemory {

void mapLargeBlocks()
{
#if defined(__GLIBC__)
    // Setting it also stops glibc from moving it.
    mallopt(M_MMAP_THRESHOLD, int(largeBlockBytes));
#endif
}

void giveBackFreedPages()
{
#if defined(__GLIBC__)
    malloc_trim(0);
#endif
}

} // namespace HeapMemory
