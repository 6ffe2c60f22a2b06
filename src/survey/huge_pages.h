// The model's large buffers on huge pages where the system offers them: a million points fill
// some hundred megabytes, which in 4 kB pages cost tens of thousands of page faults, and the
// name table's random accesses a translation miss nearly every time.
#pragma once

#include <sys/mman.h>

#include <cstddef>
#include <cstdint>

namespace korv {

// Asks for huge pages for the whole 2 MB blocks inside [data, data + bytes), before they are
// first written. Only advice: nothing changes where the system does not follow it.
inline void AdviseHugePages(const void* data, size_t bytes) {
#ifdef MADV_HUGEPAGE
  constexpr uintptr_t kHuge = uintptr_t{1} << 21;
  const auto at = reinterpret_cast<uintptr_t>(data);
  const uintptr_t begin = (at + kHuge - 1) & ~(kHuge - 1);
  const uintptr_t end = (at + bytes) & ~(kHuge - 1);
  if (end > begin) ::madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
#else
  (void)data;
  (void)bytes;
#endif
}

// reserve() on a vector or string, and the advice for its room.
template <typename Buffer>
void ReserveOnHugePages(Buffer& buffer, size_t count) {
  buffer.reserve(count);
  AdviseHugePages(buffer.data(), buffer.capacity() * sizeof(*buffer.data()));
}

}  // namespace korv
