#pragma once

#include <cstdint>
#include <string>
#include <utility>

class SqlDatabase;

// The establishment (customer row) a document is written for, and the
// program's own step that names it on the document's header. The stored
// statements that write documents come with the office's data and know the
// customer only by IDO; those of an older data set take its first
// establishment. Every writer of a customer's document (goods documents,
// no-sale visits, points transfers) names the establishment through here.
class Establishment {
public:
    enum class Header {
        Temporary,  // temp_vety: the header of a goods document being posted
        Written,    // vety: a header that a writer's stored statements write themselves
    };

    // `chosen`: IDOSC of the customer row chosen on the screen ("" for none).
    explicit Establishment(std::string chosen) : chosen_(std::move(chosen)) {}

    // Names on header `id` the establishment its document is written for,
    // with its payer, registration number and (on a temporary header) print
    // flag: a document linked to another one (parcdok) belongs to that
    // document's establishment, any other to the chosen one. A header whose
    // customer has neither establishment is left as it is.
    void name(SqlDatabase& db, Header header, std::int64_t id) const;

    // For a writer whose stored statements write the header into vety: call
    // before the statements, then after each of them. The header is named
    // right after the statement that wrote it, once, so that the statements
    // after it (the customer copy, the points moved) read the establishment
    // from the header.
    void beforeStatements(SqlDatabase& db);
    void afterStatement(SqlDatabase& db);

private:
    std::string chosen_;
    std::int64_t newestBefore_ = 0;
    bool named_ = false;
};
