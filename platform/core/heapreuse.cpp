#include "platform/core/heapreuse.h"

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace kav {

void KeepFreedHeapForReuse() noexcept {
#if defined(__GLIBC__)
    mallopt(M_TRIM_THRESHOLD, static_cast<int>(kHeapKeptFree));
#endif
}

} // namespace kav
