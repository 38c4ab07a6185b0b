#pragma once

#include "fiscal/EkasaDoklad.h"
#include "fiscal/EkasaNeiste.h"
#include "fiscal/EkasaReply.h"
#include "fiscal/Fiskal.h"

#include "platform/Error.h"
#include "platform/HttpUrlResponse.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// The driver of the fiscal service, an HTTP service taking JSON that
// registers documents with the tax authority and prints them on the
// installation's receipt printer. A run is one POST (after, for the
// documents that it registers, a print check and a duplicate check), its
// reply written back into the document, and one report to the client on
// the main queue. The socket of the base is never used.

class Ekasa : public Fiskal {
public:
    // The LAN address of the receipt printer that the service prints on.
    static const std::string defaultPrinterAddress;

    Ekasa(std::shared_ptr<FiskalDelegate> delegate, std::string host, std::uint16_t port, std::string wifiResponse);

    // "http://" host ":" port "/api".
    std::string ekasaApiUrl;
    std::string printerAddress = defaultPrinterAddress;
    // Time-out of each HTTP request, in seconds: how long it may stay idle.
    double requestTimeout = 60.0;
    // A request ends at the latest this long after its time-out, however
    // busy the service keeps the connection (a trickled answer).
    double deadlineMargin = 5.0;
    // How long after a registration left without answer the service may
    // still show it, in seconds: well past the service's own processing.
    // Until then neither that document nor another is sent.
    double uncertainBound = 300.0;
    // The answer while a document's registration is uncertain, with the
    // minutes left of its window (at least one).
    static std::string uncertainMessage(double secondsLeft);

    using Fiskal::request;
    void request(Command command, const std::string& txt,
                 const std::map<std::string, std::string>& parameters) override;

    // The print check: empty print data to the receipt printer. Then `next`
    // runs, with fiskalError set when the check failed.
    void zapisZnak(std::function<void()> next);
    // The duplicate check: the service's last document is written back into
    // the local document of its number when this device sent it, a current
    // document whose number the service already holds is refused, and the
    // uncertain documents are settled by what the service shows. Then `next`
    // runs.
    void overDoklad(std::function<void()> next);

    // Ends the run: tells the client on the main queue, "OK" when
    // fiskalError is empty, else fiskalError.
    void response();

    // Whether a command registers a document with the service.
    static bool registers(Command command);

private:
    using Completion = std::function<void(std::optional<std::string>, std::shared_ptr<platform::HttpUrlResponse>,
                                          std::optional<platform::Error>)>;
    // Posts a JSON body to the service; false (with fiskalError set) when
    // the address cannot be formed.
    bool post(const std::string& url, const std::string& body, const std::string& errorPrefix, Completion completion);
    void send();
    void handleReply(const std::optional<std::string>& data,
                     const std::shared_ptr<platform::HttpUrlResponse>& response,
                     const std::optional<platform::Error>& error);
    // Acts on what the reply to a registration says of it
    // (EkasaReply::registration): writes its identifiers back, clears the
    // document's mark, or leaves the document uncertain; ends the run.
    void settle(const EkasaReply& reply);
    // The reply's record, as the log shows it.
    void logRecord(const EkasaDoklad& record);
    // The entry of the document of this run in the list of uncertain
    // registrations, as of `od`.
    EkasaNeiste::Zaznam neisty(double od) const;
    // Ends a registration whose outcome is not known: the document stays
    // uncertain (from now on) and `why` is the run's error.
    void leaveUncertain(const std::string& why);
    std::shared_ptr<Ekasa> self();

    // When the record of the registrations this device made holds the
    // document of this run (or cannot be read): the document takes the
    // recorded identifiers back where it lost them, and the run ends with
    // fiskalError set; nothing is sent.
    bool zaznamenany();
    // The copy of the last receipt: the service's last document is written
    // back onto the local document of its number only when this device sent
    // it and it holds no other registration; a document holding it already
    // is left as it is, without a word; otherwise the run tells why nothing
    // was written (poznamka_).
    void zapisKopiu(const EkasaDoklad& last);
    // Writes the service's `record` back onto the local document `number`
    // in the duplicate check; a document holding another registration keeps
    // its own and the print tells of it (poznamka_). False (with fiskalError
    // set) when the write fails.
    bool zapisUdaje(const EkasaDoklad& record, const std::string& number);
    // The service's last document in the duplicate check: written back when
    // this device sent it, and the document printed refused when the
    // service holds its number. False (with fiskalError set) when the run
    // ends there.
    bool zapisPosledny(const EkasaDoklad& last, std::vector<EkasaNeiste::Zaznam>& neiste);
    // Settles the uncertain documents from `od` on by what the service
    // shows, or holds the registration back while one may still land; then
    // `next` runs, with fiskalError set when the run ends there.
    void posudNeiste(std::shared_ptr<std::vector<EkasaNeiste::Zaznam>> neiste, std::size_t od,
                     std::function<void()> next);
    // What the service's documents after the one it showed before an
    // uncertain document (by sequence number, month by month) tell of that
    // document.
    struct Zistenie {
        enum class Vysledok {
            zaevidovany,    // one of them is it: `doklad` is its record
            nezaevidovany,  // none of them is it
            neurcene,       // they cannot be told (`dovod`): the service
                            // answered for another document than asked, or
                            // more than one carries the number
            chyba,          // the service could not be asked (`dovod`)
        };
        Vysledok vysledok = Vysledok::neurcene;
        EkasaDoklad doklad;
        std::string dovod;
    };
    struct Hladanie;
    void dohladaj(const EkasaNeiste::Zaznam& zaznam, std::function<void(Zistenie)> done);
    void dohladajDalsi(std::shared_ptr<Hladanie> hladanie, std::function<void(Zistenie)> done);

    // The document being printed: its header row, from the parameter "ID"
    // of the print job. Its identifiers are written there.
    std::string documentId_;
    // The service's last document as the duplicate check saw it.
    std::optional<EkasaDoklad> lastSeen_;
    // What the run has to tell beside its result (another registration's
    // identifiers that were not written over); it reaches the client as the
    // run's info.
    std::string poznamka_;
};
