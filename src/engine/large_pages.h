#pragma once
// A hint that a large buffer about to be filled may be backed by large
// pages. Fresh memory otherwise arrives 4 KiB at a time, each page a trap
// into the kernel, and a report of a million trades fills hundreds of
// megabytes: on a virtual machine the traps can cost more than the work.

#include <cstddef>

namespace ledger {

// Advises the whole large pages inside [data, data + bytes). Does nothing
// where the system has no such hint or for small buffers; never fails.
void adviseLargePages(void* data, std::size_t bytes);

}  // namespace ledger
