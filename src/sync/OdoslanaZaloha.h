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
// Beside it, the record knows the backup archive that waits in "out" (made,
// not sent yet) and the file it holds: a synchronisation that cannot send
// makes no second archive of a file already waiting there, and a restore
// over a damaged database that keeps the synchronisation from sending
// takes that archive as what it could do.
//
// The record is a line (the file the office has), and a second one for the
// archive waiting, beside the database in the Documents folder; a restore
// leaves it, and it is never sent.
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

    // True when the record names the file of fingerprint `odtlacok` (as
    // odtlacok() gives it for the file as it stands now).
    bool zodpoveda(const std::string& odtlacok) const;

    // Records that the archive at `archive` (in "out", not sent) holds the
    // file of fingerprint `odtlacok`, on the disk before it answers; what
    // the office has stays recorded. The reason when it cannot.
    std::optional<std::string> zaznamenajCakajucu(const std::string& odtlacok, const std::string& archive) const;
    // The archive waiting in "out" that holds the file of fingerprint
    // `odtlacok`; "" when none does.
    std::string cakajuca(const std::string& odtlacok) const;

private:
    // Line `index` of the record; "" when it has none.
    std::string riadok(std::size_t index) const;

    std::string path_;
};
