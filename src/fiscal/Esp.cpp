#include "fiscal/Esp.h"

#include "core/Trekora.h"
#include "core/StringValue.h"
#include "fiscal/EspDocument.h"
#include "platform/Console.h"
#include "platform/DispatchQueue.h"
#include "platform/Numbers.h"
#include "platform/Url.h"
#include "platform/UrlRequest.h"
#include "platform/UrlSession.h"
#include "records/NastaveniaItem.h"

using platform::Console;

Esp::Esp(std::shared_ptr<FiskalDelegate> delegate, std::string host, std::uint16_t port, std::string wifiResponse)
    : Fiskal(std::move(delegate), std::move(host), port, std::move(wifiResponse)) {
    apiUrl = "http://" + this->host + ":" + std::to_string(this->port) + "/print";
}

std::shared_ptr<Esp> Esp::self() { return std::static_pointer_cast<Esp>(shared_from_this()); }

void Esp::request(Command command, const std::string& txt, const std::map<std::string, std::string>& parameters) {
    beginRun(command, txt, parameters, Tag::status);
    auto url = platform::Url::parse(apiUrl);
    if (command != Command::tlacNefiskalnyDoklad) {
        fiskalError = "nepodporovaná funkcia!";
        response();
        return;
    }
    if (!url || url->host().empty()) {
        fiskalError = "neplatna adresa tlaciarne: " + apiUrl;
        response();
        return;
    }
    const auto& settings = sharedTrekora().nastaveniaItem;
    long long pageHeight = settings ? integerValue(settings->PAGEHEIGHT) : 0;
    std::string printText = EspDocument::printText(txt, pageHeight);
    std::string bytes = EspDocument::bytes(printText);
    Console::print(printText);
    Console::print(bytes);

    platform::UrlRequest request(*url, requestTimeout);
    request.httpMethod = "POST";
    request.setValue(platform::format("%lu", static_cast<unsigned long>(bytes.size())), "Content-Length");
    request.setValue("application/json", "Content-Type");
    request.setValue("CP852", "Accept-Charset");
    request.httpBody = bytes;
    auto me = self();
    platform::UrlSession::shared()
        ->dataTask(request,
                   [me](std::optional<std::string>, std::shared_ptr<platform::HttpUrlResponse> response,
                        std::optional<platform::Error> error) {
                       if (error) {
                           me->fiskalError = error->localizedDescription();
                       } else {
                           int code = response ? response->statusCode() : 0;
                           std::string phrase = platform::HttpUrlResponse::localizedString(code);
                           Console::print("statusCode: " + std::to_string(code));
                           Console::print("statusMessage: " + phrase);
                           if (code != 200) me->fiskalError = phrase;
                       }
                       me->response();
                   })
        ->resume();
}

void Esp::response() {
    auto me = self();
    platform::DispatchQueue::main()->async([me] {
        std::string result = me->fiskalError.empty() ? std::string("OK") : me->fiskalError;
        Console::print(std::string(43, '-'));
        Console::print(me->info);
        Console::print(std::string(43, '-'));
        me->finish(result);
    });
}
