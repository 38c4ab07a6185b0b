#pragma once

#include <optional>
#include <string>
#include <vector>

class SqlDatabase;
class Trekora;

// The exports of daily closings in the folder "out" of the Documents folder,
// as the closing, its export, the synchronisation and the restore see them.
//
// A closing's export is written under a hidden temporary name in "out"
// (".NUMBER.db3.tmp") and renamed to "NUMBER.db3" once it is whole, so that
// "out" never offers a partial export for sending. The temporary file also
// marks an export that is still owed: the closing puts it there before its
// commit (a closing that cannot is not written), and only the rename of a
// whole export takes it away. A mark that a restore could not honour (the
// database it belonged to was damaged) is set aside as
// ".NUMBER.db3.odlozeny-K": kept, never sent, and never taken for an export
// or a mark again.
class ExportyUzavierok {
public:
    // An export file or a mark in "out".
    struct Polozka {
        std::string cdok;   // the closing's document number
        std::string cesta;  // the file's path
        // Owed: a mark, or an export file that is not whole. Otherwise a
        // whole export waiting to be sent.
        bool dlzny = false;
    };

    // What a database says of one closing: it holds it (with its closing
    // number), it definitely does not, or it cannot tell (the reason).
    struct Uzavierka {
        bool je = false;
        std::string ducis;
        std::optional<std::string> chyba;
    };

    explicit ExportyUzavierok(const std::string& documentsDirectory);

    const std::string& priecinok() const { return out_; }
    // "out/NUMBER.db3".
    std::string subor(const std::string& cdok) const;
    // "out/.NUMBER.db3.tmp": the export being written, and the mark.
    std::string znacka(const std::string& cdok) const;

    // A closing number names a file in "out": only digits, so that no text
    // can lead the file elsewhere.
    static bool jeCisloUzavierky(const std::string& cdok);
    // True when `path` is a whole export: an SQLite file without a journal
    // beside it that passes its integrity check and holds a table with rows.
    static bool jeCely(const std::string& path);

    // The exports and marks in "out", by number (one entry a file). When
    // "out" cannot be read (it is missing is no failure) the reason goes
    // into `chyba`.
    std::vector<Polozka> zoznam(std::optional<std::string>* chyba = nullptr) const;

    // Puts the mark of an owed export into "out" (made when missing), on
    // the disk before it answers; the reason when it cannot.
    std::optional<std::string> oznacDlzny(const std::string& cdok) const;
    // Puts a new, empty file at the temporary name by the durable write (a
    // link standing there is replaced, never followed); the reason when it
    // cannot.
    std::optional<std::string> novaZnacka(const std::string& cdok) const;
    // Removes the mark of `cdok` with its journals.
    void odstranZnacku(const std::string& cdok) const;
    // Removes the journals beside the database file `path`.
    static void odstranZurnaly(const std::string& path);

    // Sets `polozka` aside under a name of its own in "out", on the disk
    // before it answers: that path, or none with the reason.
    std::optional<std::string> odloz(const Polozka& polozka, std::string* reason) const;
    // The exports and marks of the closing `cdok` set aside in "out", by
    // their paths in the order they were set aside.
    std::vector<std::string> odlozene(const std::string& cdok) const;
    // What the salesman is told of the export of `cdok` set aside at `path`.
    static std::string oznamOdlozenia(const std::string& cdok, const std::string& path);

    // Whether the database on `db` holds the closing `cdok`. Only a stored
    // lookup that was read and ran to its end without an error says "no";
    // anything else is an error with its reason, never a "no".
    static Uzavierka najdi(Trekora& trekora, SqlDatabase& db, const std::string& cdok);
    // The same on the working database of `trekora`, on a connection of its
    // own.
    static Uzavierka najdi(Trekora& trekora, const std::string& cdok);

private:
    std::string out_;
};
