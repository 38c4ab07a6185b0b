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

std::string OdoslanaZaloha::riadok(std::size_t index) const {
    const auto text = platform::FileManager::contents(path_);
    if (!text) return "";
    std::size_t from = 0;
    for (std::size_t i = 0; i < index; ++i) {
        from = text->find('\n', from);
        if (from == std::string::npos) return "";
        ++from;
    }
    const std::size_t to = text->find('\n', from);
    return text->substr(from, to == std::string::npos ? std::string::npos : to - from);
}

bool OdoslanaZaloha::zodpoveda(const std::string& odtlacok) const {
    return !odtlacok.empty() && riadok(0) == odtlacok;
}

std::optional<std::string> OdoslanaZaloha::zaznamenajCakajucu(const std::string& odtlacok,
                                                              const std::string& archive) const {
    platform::Error error;
    const std::string line = odtlacok + " " + platform::FileManager::lastPathComponent(archive);
    if (line.find('\n') != std::string::npos) return "názov archívu";
    if (!platform::FileManager::writeFile(path_, riadok(0) + "\n" + line + "\n", true, &error))
        return error.localizedDescription();
    return std::nullopt;
}

std::string OdoslanaZaloha::cakajuca(const std::string& odtlacok) const {
    // "<size> <hash> <archive name>": the name follows the second blank.
    const std::string line = riadok(1);
    if (odtlacok.empty() || line.size() <= odtlacok.size() + 1 || line.compare(0, odtlacok.size(), odtlacok) != 0 ||
        line[odtlacok.size()] != ' ')
        return "";
    const std::string archive = platform::FileManager::appendingPathComponent(
        platform::FileManager::appendingPathComponent(platform::FileManager::deletingLastPathComponent(path_), "out"),
        line.substr(odtlacok.size() + 1));
    return platform::FileManager::fileExists(archive) ? archive : "";
}
