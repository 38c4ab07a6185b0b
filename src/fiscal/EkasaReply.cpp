#include "fiscal/EkasaReply.h"

#include "platform/Console.h"
#include "platform/Numbers.h"
#include "platform/TextEncoding.h"
#include "platform/UrlSessionTask.h"

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
        reply.neverSent = error->code() == platform::UrlSessionTask::cannotFindHost ||
                          error->code() == platform::UrlSessionTask::cannotConnectToHost ||
                          error->code() == platform::UrlSessionTask::badUrl;
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

EkasaReply::Outcome EkasaReply::registration(const std::string& cdok, const std::string& shownBefore) const {
    Outcome outcome;
    switch (failure) {
        case Failure::transport:
            outcome.registration = neverSent ? Registration::notSent : Registration::uncertain;
            outcome.why = error;
            return outcome;
        case Failure::status:
            if (statusCode >= 400 && statusCode < 500) outcome.registration = Registration::refused;
            else outcome.why = platform::format("%d ", statusCode) + error;
            return outcome;
        case Failure::noData:
        case Failure::notJson:
            outcome.why = error;
            return outcome;
        case Failure::errorReply:
            outcome.registration = Registration::refused;
            return outcome;
        case Failure::none:
            break;
    }
    outcome.record = EkasaDoklad::fromReply(object);
    if (!outcome.record) outcome.why = "fiskal nevratil udaje zaevidovaneho dokladu!";
    else if (outcome.record->externalId == cdok && EkasaDoklad::podpis(outcome.record) != shownBefore)
        outcome.registration = Registration::registered;
    return outcome;
}
