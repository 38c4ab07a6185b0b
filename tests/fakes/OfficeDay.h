#pragma once

#include <nlohmann/json.hpp>

#include <string>

// What the office double holds for the day of the demo centre (12):
// the data update it offers in the morning, a small database file with a new
// activity ("Zimná akcia", id 900) and its stored script "update1", which
// puts the activity into the device's database and marks it with the centre
// code; and an order for delivery it prepared for the café Kvet.
class OfficeDay {
public:
    // The date the office gives the update (later than the demo database's).
    static constexpr const char* lastModified = "Sun, 06 Dec 2026 18:00:00 GMT";
    // The bytes of the update file ("" when it cannot be made).
    static std::string updateFile();

    // The prepared order's number and the order as the office sends it:
    // 2 × T001 and 4 × T006 for the customer 10103-01.
    static constexpr long long orderCdok = 24201;
    static nlohmann::json preparedOrder();
};
