#pragma once

#include <optional>
#include <string>

class Trekora;

// A working database that cannot be read, set aside so that the salesman
// gets back to work: the file (with its journals) is kept in the Documents
// folder under a name of its own, "trekora.poskodena-K.db3", and never
// deleted, sent or replaced by a download; the shipped database takes its
// place as after a lost database, numbering above every number that has
// left the device. The exports of closings it still owed are set aside in
// "out" as a restore over a damaged database sets them aside, their numbers
// staying taken. The office's copy is then restored over the shipped one.
//
// The program may be killed at any step. Before anything moves, the numbers
// of the owed closings are recorded and a note "trekora.poskodena-K.txt"
// names them; the exports go aside before the database does. A kill before
// the database moved leaves it where it was, damaged, to be set aside again
// under the same name (the note's closings are named again); a kill after
// leaves no database, which the next start replaces by the shipped one. The
// note stays until the salesman has seen what was done, so that a start
// after a kill still tells him.
class PoskodenaDatabaza {
public:
    // The start of the names of databases set aside (and of their notes).
    static const std::string prefix;

    // Sets the working database of `trekora` aside, on the disk before it
    // answers. What was done, for the salesman; none with the reason in
    // `reason` when nothing was set aside: a database that passes its
    // checks, or one another connection holds (busy, never damaged), is
    // left where it is.
    static std::optional<std::string> odloz(Trekora& trekora, std::string* reason);

    // What was done to databases set aside that the salesman has not yet
    // seen (the program ended before he did); none when nothing.
    static std::optional<std::string> nepotvrdene(Trekora& trekora);
    // The salesman has seen what was done: the notes of the databases set
    // aside go.
    static void potvrd(Trekora& trekora);
};
