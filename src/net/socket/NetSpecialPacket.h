#pragma once

#include "net/socket/NetBytes.h"
#include "net/socket/NetPacket.h"

#include <cstdint>
#include <map>
#include <string>
#include <variant>
#include <vector>

// A value of the TLS settings: a boolean, a number, a text, bytes, an array
// of numbers or an array of byte strings.
using NetTlsValue = std::variant<bool, std::int64_t, std::string, NetBytes, std::vector<std::int64_t>,
                                 std::vector<NetBytes>>;
using NetTlsSettings = std::map<std::string, NetTlsValue>;

// The marker queued in both the read and the write queue where TLS starts.
class NetSpecialPacket : public NetPacket {
public:
    explicit NetSpecialPacket(NetTlsSettings settings) : tlsSettings(std::move(settings)) {}

    NetTlsSettings tlsSettings;
};
