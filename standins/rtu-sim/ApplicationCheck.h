#pragma once

#include <string_view>

namespace rtusim {

// True when the bytes are a whole compiled application: the "K5XTI 1" header line first and,
// last, the "crc32 XXXXXXXX" line with the CRC-32 of every byte before it. A damaged or cut
// transfer, or a file that is no compiled application, fails the check.
bool isWholeApplication(std::string_view bytes);

} // namespace rtusim
