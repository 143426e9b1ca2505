#pragma once

// The program's operator new and delete (ProgramHeap.cpp, part of every
// program of this backend): large blocks are pages of their own.

namespace qv::win32 {

// Gives the system back the freed large blocks kept for reuse.
void ReleaseKeptBlocks() noexcept;

}  // namespace qv::win32
