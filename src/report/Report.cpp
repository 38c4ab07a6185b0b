#include "report/Report.h"

#include "core/StringValue.h"
#include "db/SqlDatabase.h"
#include "db/SqlResultSet.h"
#include "platform/Clock.h"
#include "platform/Console.h"
#include "platform/DateFormatter.h"
#include "platform/Numbers.h"

#include <string_view>
#include <vector>

using platform::Console;

namespace {

bool isBlank(const std::string& piece) {
    return piece.find_first_not_of(" \t\r\n") == std::string::npos;
}

std::string functionValue(const std::string& name, const Report& report) {
    if (name == "RowNumber") return platform::format("%lld", static_cast<long long>(report.rowNumber));
    if (name == "PageNumber") return platform::format("[%lld]", static_cast<long long>(report.pageNumber));
    if (name == "PageCount") return platform::format("%lld", static_cast<long long>(report.pageCount));
    if (name == "PageOf")
        return platform::format("%lld/%lld", static_cast<long long>(report.pageNumber),
                                static_cast<long long>(report.pageCount));
    if (name == "DateTime") return platform::DateFormatter::format(platform::Clock::now(), "yyyyMMdd_HHmm");
    return {};
}

std::string fieldValue(const Field& field, SqlResultSet& rs, int index) {
    auto bytes = rs.dataNoCopyForColumnIndex(index);
    if (!bytes || bytes->empty()) return {};
    const auto& format = field.checkedFormat();
    switch (format.kind()) {
    case ReportFormat::Kind::text: {
        const char* text = rs.UTF8StringForColumnIndex(index);
        return format.text(text ? text : "");
    }
    case ReportFormat::Kind::real:
        return format.real(rs.doubleForColumnIndex(index));
    case ReportFormat::Kind::integer:
        return format.integer(rs.longLongIntForColumnIndex(index));
    case ReportFormat::Kind::unusable:
        break;
    }
    return rs.stringForColumnIndex(index).value_or("");
}

}  // namespace

Report::Report()
    : date(platform::Clock::now()),
      reportHeader(std::make_shared<Section>()),
      pageHeader(std::make_shared<Section>()),
      pageBody(std::make_shared<Section>()),
      pageFooter(std::make_shared<Section>()),
      reportFooter(std::make_shared<Section>()) {}

void Report::render(const Section& section, SqlResultSet& resultSet) {
    const std::int64_t width = std::min(pageWidth, kMaxPageWidth);
    auto placed = [width](std::int64_t x, std::int64_t y) {
        return x >= 1 && x <= width && y >= 1 && y <= kMaxBandHeight;
    };
    std::int64_t height = 0;
    for (const auto& item : section.functions)
        if (placed(item->x, item->y)) height = std::max(height, item->y);
    for (const auto& item : section.texts)
        if (placed(item->x, item->y)) height = std::max(height, item->y);
    for (const auto& item : section.fields)
        if (placed(item->x, item->y)) height = std::max(height, item->y);
    Console::print("width=" + std::to_string(pageWidth) + " height=" + std::to_string(height));
    if (height == 0) return;

    const auto columns = static_cast<std::size_t>(width);
    std::vector<std::string> grid(static_cast<std::size_t>(height) * columns);
    auto cell = [&](std::int64_t x, std::int64_t y) -> std::string& {
        return grid[static_cast<std::size_t>(y - 1) * columns + static_cast<std::size_t>(x - 1)];
    };

    for (const auto& function : section.functions)
        if (placed(function->x, function->y)) cell(function->x, function->y) = functionValue(function->name, *this);
    for (const auto& text : section.texts) {
        if (!placed(text->x, text->y)) continue;
        const auto& format = text->checkedFormat();
        cell(text->x, text->y) = format.kind() == ReportFormat::Kind::text ? format.text(text->value) : text->value;
    }
    for (const auto& field : section.fields) {
        if (!placed(field->x, field->y)) continue;
        const int index = resultSet.columnIndexForName(field->name);
        if (index < 0) continue;
        cell(field->x, field->y) = fieldValue(*field, resultSet, index);
    }

    for (std::int64_t line = 0; line < height; ++line) {
        std::int64_t written = 0;
        for (std::size_t j = 0; j < columns; ++j) {
            const std::string& value = grid[static_cast<std::size_t>(line) * columns + j];
            if (!value.empty()) {
                resultString += value;
                written += ReportFormat::columns(value);
            } else if (written < static_cast<std::int64_t>(j)) {
                resultString += ' ';
                ++written;
            }
        }
        resultString += '\n';
    }
}

std::string Report::run(const std::string& param, const std::string& dbURL) {
    const std::string rule(33, '=');
    Console::print(rule + "\n" + selectQuery + "\n" + rule + "\n---reportNeader" + reportHeader->description() +
                   "\n---pageHeader" + pageHeader->description() + "\n---pageBody" + pageBody->description() +
                   "\n---pageFooter" + pageFooter->description() + "\n---reportFooter" +
                   reportFooter->description() + "\n" + rule);

    auto db = SqlDatabase::databaseWithPath(dbURL);
    if (!db || !db->open()) {
        Console::print("Unable to open database");
        return "chyba! nemôžem otvoriť databázu";
    }

    std::vector<std::string> statements;
    std::size_t pieces = 0;
    std::size_t start = 0;
    while (true) {
        const std::size_t end = selectQuery.find(';', start);
        std::string piece = selectQuery.substr(start, end == std::string::npos ? std::string::npos : end - start);
        ++pieces;
        if (!isBlank(piece)) statements.push_back(std::move(piece));
        if (end == std::string::npos) break;
        start = end + 1;
    }
    Console::print("queryArray: " + std::to_string(pieces));
    Console::print("filteredArray: " + std::to_string(statements.size()));
    if (statements.empty()) {
        db->close();
        return "chyba! report nemá žiadny príkaz";
    }

    const SqlDatabase::Values values{SqlValue(param)};
    for (std::size_t i = 0; i + 1 < statements.size(); ++i) {
        const bool ok = db->executeUpdate(statements[i], values);
        Console::print(statements[i] + "\nx=" + (ok ? "true" : "false") + " changes=" + std::to_string(db->changes()));
    }

    resultString.clear();
    std::string result;
    auto fail = [&](const std::optional<SqlError>& error) {
        const std::string message = error ? error->description : db->lastErrorMessage();
        Console::print(message);
        result = "chyba! " + message;
    };

    std::optional<SqlError> error;
    auto main = db->executeQuery(statements.back(), values, &error);
    if (!main) {
        fail(error);
    } else {
        bool failed = false;
        while (!failed && main->next()) {
            render(*reportHeader, *main);
            render(*pageHeader, *main);
            if (pageBody->selectQuery.empty()) {
                render(*pageBody, *main);
            } else {
                std::optional<SqlError> detailError;
                auto detail = db->executeQuery(pageBody->selectQuery, values, &detailError);
                if (!detail) {
                    fail(detailError);
                    failed = true;
                    break;
                }
                rowNumber = 1;
                while (detail->next()) {
                    render(*pageBody, *detail);
                    ++rowNumber;
                }
                detail->close();
            }
            render(*pageFooter, *main);
            render(*reportFooter, *main);
        }
        main->close();
        if (!failed) result = resultString;
    }
    db->close();
    return result;
}
