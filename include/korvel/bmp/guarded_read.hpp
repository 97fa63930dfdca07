// The read every reader of the format goes through.
#pragma once

#include <cstddef>
#include <cstdio>

namespace korvel {

// Reads `count` items of `size` bytes into buffer and answers whether all of them arrived.
// Answers false without reading once the stream's end-of-file indicator is set (it is set by the
// first read that tries to go past the end, not by reaching it). Only whole items are stored: an
// item cut short by the end of the file leaves its bytes in buffer as they were.
bool GuardedRead(void* buffer, std::size_t size, std::size_t count, std::FILE* file);

}  // namespace korvel
