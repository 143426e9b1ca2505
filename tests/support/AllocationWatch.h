#pragma once

// Watches the sizes asked of operator new. While the watch is on, a request
// past 256 MB is refused with std::bad_alloc instead of being attempted, so a
// test can show that code refuses a huge input before allocating for it.

#include <cstddef>

namespace qv::test {

void StartAllocationWatch();
// Ends the watch; returns the largest request made while it was on.
std::size_t StopAllocationWatch();

}  // namespace qv::test
