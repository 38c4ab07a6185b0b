#pragma once

#include <optional>
#include <string>

// The evidence that the office has what could be sent of the database as it
// stands on the device: the fingerprint of the database file that the last
// full synchronisation dealt with. The synchronisation writes it once the
// office has accepted that file's backup archive, or once it found that no
// backup can be made of the file at all (it cannot be read as a database).
// A restore over a damaged database relies on it: the damaged file goes
// only when nothing of it is left that could still reach the office.
//
// The record is one line beside the database in the Documents folder; a
// restore leaves it, and it is never sent.
class OdoslanaZaloha {
public:
    // The record's file name in the Documents folder.
    static const std::string fileName;

    explicit OdoslanaZaloha(const std::string& documentsDirectory);

    // The fingerprint of the file at `path`: its size and a hash of all its
    // bytes; "" when it cannot be read.
    static std::string odtlacok(const std::string& path);

    // Records `odtlacok`, on the disk before it answers; the reason when it
    // cannot.
    std::optional<std::string> zaznamenaj(const std::string& odtlacok) const;

    // True when the record names the file at `path` as it stands now.
    bool zodpoveda(const std::string& path) const;

private:
    std::string path_;
};
