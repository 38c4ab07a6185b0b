#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

// The error of the data operations. Every error of the system derives from
// std::exception and its what() is the user-readable (localised) description,
// so a catcher turns any of them into "chyba!,," + what().
class TrekoraError : public std::exception {
public:
    enum class Kind {
        nenajdeneQuery,
        aplikovanaAktivita,
        insufficientFunds,
        ziadnaVybranaAktivita,
        ziadnyVybranyDoklad,
        neprebiehajucaAktivita,
        invalidSelection,
        outOfStock,
    };

    static TrekoraError nenajdeneQuery(const std::string& nazov);
    static TrekoraError aplikovanaAktivita(const std::string& nazov);
    static TrekoraError insufficientFunds(std::int64_t coinsNeeded);
    static TrekoraError ziadnaVybranaAktivita();
    static TrekoraError ziadnyVybranyDoklad();
    static TrekoraError neprebiehajucaAktivita();
    static TrekoraError invalidSelection();
    static TrekoraError outOfStock();

    Kind kind() const { return kind_; }
    // Payload of nenajdeneQuery and aplikovanaAktivita.
    const std::string& nazov() const { return nazov_; }
    // Payload of insufficientFunds.
    std::int64_t coinsNeeded() const { return coinsNeeded_; }

    // The Slovak user text of the case, before localisation.
    std::string userText() const;
    // The user text passed through the string localisation.
    std::string errorDescription() const;
    const char* what() const noexcept override { return description_.c_str(); }

    bool operator==(const TrekoraError& other) const {
        return kind_ == other.kind_ && nazov_ == other.nazov_ && coinsNeeded_ == other.coinsNeeded_;
    }

private:
    TrekoraError(Kind kind, std::string nazov, std::int64_t coins);
    Kind kind_;
    std::string nazov_;
    std::int64_t coinsNeeded_ = 0;
    std::string description_;
};

// A plain text used as an error: its description is the text itself,
// unchanged and not localised.
class TextError : public std::runtime_error {
public:
    explicit TextError(const std::string& text) : std::runtime_error(text) {}
    std::string errorDescription() const { return what(); }
};

// The result string of the writing and checking operations:
// status ",," detail, success when it begins with "ok".
struct ResultString {
    static bool isSuccess(const std::string& result);
    // First piece of the split at ",,": the alert title.
    static std::string title(const std::string& result);
    // Second piece of the split at ",,": the alert message ("" when missing).
    static std::string message(const std::string& result);
    // Why a result failed: all after its first ",,", or the whole text when
    // it has none.
    static std::string reason(const std::string& result);
    // The record number: the message split at "=", second piece ("" when missing).
    static std::string number(const std::string& result);
};
