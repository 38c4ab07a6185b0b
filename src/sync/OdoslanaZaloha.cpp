#include "sync/OdoslanaZaloha.h"

#include "platform/Error.h"
#include "platform/FileManager.h"

#include <cstdint>
#include <fstream>

const std::string OdoslanaZaloha::fileName = "odoslana_zaloha.txt";

OdoslanaZaloha::OdoslanaZaloha(const std::string& documentsDirectory)
    : path_(platform::FileManager::appendingPathComponent(documentsDirectory, fileName)) {}

std::string OdoslanaZaloha::odtlacok(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return "";
    // 64-bit FNV-1a over every byte.
    std::uint64_t hash = 14695981039346656037ull;
    std::uint64_t size = 0;
    char buffer[65536];
    while (in.read(buffer, sizeof buffer) || in.gcount() > 0) {
        const auto n = static_cast<std::size_t>(in.gcount());
        for (std::size_t i = 0; i < n; ++i) {
            hash ^= static_cast<unsigned char>(buffer[i]);
            hash *= 1099511628211ull;
        }
        size += n;
        if (!in) break;
    }
    if (in.bad()) return "";
    return std::to_string(size) + " " + std::to_string(hash);
}

std::optional<std::string> OdoslanaZaloha::zaznamenaj(const std::string& odtlacok) const {
    platform::Error error;
    if (!platform::FileManager::writeFile(path_, odtlacok + "\n", true, &error)) return error.localizedDescription();
    return std::nullopt;
}

bool OdoslanaZaloha::zodpoveda(const std::string& path) const {
    auto text = platform::FileManager::contents(path_);
    if (!text) return false;
    if (!text->empty() && text->back() == '\n') text->pop_back();
    const std::string now = odtlacok(path);
    return !now.empty() && *text == now;
}
