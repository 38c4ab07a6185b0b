#include "fiscal/EkasaReply.h"

#include "platform/Console.h"
#include "platform/TextEncoding.h"

using platform::Console;

EkasaReply::Texts EkasaReply::requestTexts() {
    return {"", "", "ziadne data z fiskalu!", "neplatna odpoved z fiskalu!", ""};
}

EkasaReply::Texts EkasaReply::zapisZnakTexts() {
    return {"ekasa zapisZnak ERROR1(SESSION): ", "ekasa zapisZnak ERROR2(HTTPRESPONSE): ",
            "ekasa zapisZnak ziadne data z fiskalu!", "ekasa zapisZnak neplatna odpoved z fiskalu!",
            "ekasa zapisznak ERROR3(JSON): "};
}

EkasaReply::Texts EkasaReply::overDokladTexts() {
    return {"ekasa overDoklad ERROR1(SESSION): ", "ekasa overDoklad ERROR2(HTTPRESPONSE): ",
            "ekasa overDoklad ziadne data z fiskalu!", "ekasa overDoklad neplatna odpoved z fiskalu!",
            "ekasa overDoklad ERROR3(JSON): "};
}

EkasaReply EkasaReply::judge(const std::optional<std::string>& data,
                             const std::shared_ptr<platform::HttpUrlResponse>& response,
                             const std::optional<platform::Error>& error, const Texts& texts) {
    EkasaReply reply;
    if (error) {
        reply.error = texts.transport + error->localizedDescription();
        reply.failure = Failure::transport;
        return reply;
    }
    int code = response ? response->statusCode() : 0;
    reply.statusCode = code;
    std::string phrase = platform::HttpUrlResponse::localizedString(code);
    Console::print("statusCode: " + std::to_string(code));
    Console::print("statusMessage: " + phrase);
    if (code != 200) {
        reply.error = texts.status + phrase;
        reply.failure = Failure::status;
        return reply;
    }
    if (!data) {
        reply.error = texts.noData;
        reply.failure = Failure::noData;
        return reply;
    }
    reply.body = *data;
    Console::print("jsonString:\n " +
                   (platform::TextEncoding::isValidUtf8(*data) ? *data : std::string("nil")));
    auto parsed = nlohmann::json::parse(*data, nullptr, false);
    if (parsed.is_discarded() || !parsed.is_object()) {
        reply.error = texts.notJson;
        reply.failure = Failure::notJson;
        return reply;
    }
    auto member = parsed.find("error");
    if (member != parsed.end() && member->is_string()) {
        Console::print(member->get<std::string>());
        reply.error = texts.error + member->get<std::string>();
        // An error without words is still an error.
        if (reply.error.empty()) reply.error = "fiskal vratil chybu bez popisu!";
        reply.failure = Failure::errorReply;
        return reply;
    }
    reply.object = std::move(parsed);
    return reply;
}
