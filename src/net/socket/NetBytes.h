#pragma once

#include <cstdint>
#include <memory>
#include <vector>

// Byte arrays of the socket layer: the data of reads and writes, socket
// addresses, terminators.
using NetBytes = std::vector<std::uint8_t>;
using NetBytesPtr = std::shared_ptr<NetBytes>;
using NetConstBytesPtr = std::shared_ptr<const NetBytes>;
