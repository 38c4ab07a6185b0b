#pragma once

#include "core/FiskalCommand.h"
#include "net/socket/NetBytes.h"
#include "net/socket/NetSocketDelegate.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class NetSocket;
class FiskalDelegate;

// Base of the fiscal and printer drivers. A driver serves one print run: it
// is made with its client, the device's host and port and the greeting that
// the device's Wi-Fi adapter sends, and is started once through
// request(command, txt, parameters). Every run ends in exactly one
// fiskalFinished(...) of the client, on the main queue.
//
// The TCP drivers talk through `asyncSocket`, whose callbacks arrive on the
// main queue. A driver is always owned by a std::shared_ptr (the socket holds
// it weakly as its delegate).
class Fiskal : public NetSocketDelegate, public std::enable_shared_from_this<Fiskal> {
public:
    // The commands a print job can carry (core/FiskalCommand.h).
    using Command = FiskalCommand;

    // Socket time-outs in seconds.
    enum class TimeOut { connect, read, write, long_ };
    static double rawValue(TimeOut timeOut);
    // The case whose value is exactly `seconds`, or none.
    static std::optional<TimeOut> timeOutFromRaw(double seconds);

    // Tags of the socket reads and writes. The greeting read uses the plain
    // tag 0, which is none of these.
    enum class Tag : std::int64_t {
        testWifi = -1,
        status = 1,
        step2 = 2,
        step3 = 3,
        step4 = 4,
        step5 = 5,
        finish = 10,
        statusPreRiadok = 11,
    };
    static std::optional<Tag> tagFromRaw(std::int64_t raw);

    // The name of a command as written in code ("tlacDoklad").
    static std::string commandName(Command command);

    Fiskal(std::shared_ptr<FiskalDelegate> delegate, std::string host, std::uint16_t port, std::string wifiResponse);
    ~Fiskal() override;
    Fiskal(const Fiskal&) = delete;
    Fiskal& operator=(const Fiskal&) = delete;

    // --- fields of one run ---------------------------------------------------
    std::shared_ptr<NetSocket> asyncSocket;
    std::string host;
    std::uint16_t port = 0;
    std::string wifiResponse;
    std::shared_ptr<FiskalDelegate> fiskalDelegate;
    float currentStep = 0;
    float totalSteps = 0;
    std::string txt;
    NetBytes fiskalData;
    std::string fiskalError;
    Command fiskalCommand = Command::getStatus;
    std::map<std::string, std::string> fiskalCommandParameters;
    std::string info;
    std::string doklad;
    std::string hodnoty;
    std::string pocetDokladov;
    std::string cdok;
    Tag currentTag = Tag::testWifi;
    std::int64_t currentRowIndex = 0;
    std::vector<std::string> rowsToSend;

    // Time-outs of this driver's socket work, in seconds. They start at the
    // values of TimeOut; tests shorten them.
    double connectTimeout = 4.0;
    double readTimeout = 30.0;
    double writeTimeout = 2.0;
    // A printer may stop taking bytes for a while (out of paper, a slow
    // link). The wait for the acknowledgement of what was written gives up
    // only when it has not moved on for this long; the drivers set it to
    // the read time-out.
    double deliveryTimeout = 30.0;
    // Once everything is acknowledged the connection is watched this long
    // more: a printer that drops bytes its stack has taken resets the
    // connection when it closes, and that must not be reported as "OK".
    double deliverySettle = 0.3;
    // Pause between two looks at the acknowledgement.
    double deliveryPollInterval = 0.02;

    // --- operations ------------------------------------------------------------
    // Replaces the socket with a new one (delegate this driver, main queue).
    virtual void createSocket();
    // Connects the socket to host and port. A refusal at once is reported to
    // the client before this returns.
    virtual void connect();
    virtual void disconnect();
    virtual void disconnectAfterReadingAndWriting();

    void request(Command command);
    void request(Command command, const std::string& txt);
    // The one entry of a run; the base does nothing.
    virtual void request(Command command, const std::string& txt,
                         const std::map<std::string, std::string>& parameters);

    // --- socket callbacks (main queue) --------------------------------------
    void socketDidConnectToHost(const std::shared_ptr<NetSocket>& sock, const std::string& host,
                                std::uint16_t port) override;
    void socketDidWriteDataWithTag(const std::shared_ptr<NetSocket>& sock, std::int64_t tag) override;
    void socketDidReadData(const std::shared_ptr<NetSocket>& sock, const NetBytes& data, std::int64_t tag) override;
    // The printer's adapter closed its own side (letPrinterCloseItsSide()).
    void socketDidCloseReadStream(const std::shared_ptr<NetSocket>& sock) override;
    // Reports the completion of the run.
    void socketDidDisconnect(const std::shared_ptr<NetSocket>& sock,
                             const std::optional<NetSocketError>& error) override;
    void socketDidSecure(const std::shared_ptr<NetSocket>& sock) override;
    void socketDidReceiveTrust(const std::shared_ptr<NetSocket>& sock, const std::shared_ptr<NetSocketTrust>& trust,
                               std::function<void(bool)> completionHandler) override;
    bool respondsTo(NetSocketCallback callback) const override;

    // The result text of a print whose text holds nothing to print.
    static constexpr const char* kPrazdnyDoklad = "prázdny doklad, nie je čo tlačiť!";
    // True when some line of the text holds more than blanks.
    static bool hasPrintableLine(const std::string& text);
    // Lines of a document text: split at every line feed, empty lines kept.
    static std::vector<std::string> splitLines(const std::string& text);

    // True once the run's completion has been reported.
    bool isFinished() const { return finished_; }

protected:
    // Resets the fields of a run and stores its command, text and
    // parameters (cdok from the parameter "CDOK").
    void beginRun(Command command, const std::string& txt, const std::map<std::string, std::string>& parameters,
                  Tag tag);
    // Reports the end of the run to the client: `result` is "OK" or the
    // error text. Only the first call of a run reaches the client.
    void finish(const std::string& result);
    // The result of a run closed by the socket: its error, else fiskalError,
    // else "OK".
    std::string resultText(const std::optional<NetSocketError>& error) const;
    // The progress steps of a run of `command` on a printer of the serial
    // protocol, for a text of `lines` lines.
    static float stepsOf(Command command, std::size_t lines);
    // Adds a step of progress and reports it, clamped to 0..1.
    void reportProgressStep();
    // Number of characters of the greeting: the length of the greeting read.
    std::uint64_t greetingLength() const;
    // Runs `step` on the main queue after `seconds`, unless the run has ended
    // or its connection is gone by then.
    void later(double seconds, std::function<void()> step);
    // Closes the connection once the printer's side has acknowledged every
    // byte written (and it stays so for deliverySettle): the run then ends
    // "OK". A connection reset or lost before that, or no progress for
    // deliveryTimeout, ends it with the error. The printer closing its own
    // side meanwhile is no error: the acknowledgement alone decides. The
    // printers answer nothing, so this is the only sign that they got the
    // document.
    void disconnectWhenDelivered();
    // For the drivers that, once the adapter has greeted, only write. The
    // adapter may close its own side at any moment, some right after their
    // greeting: that ends only its direction. Every byte still goes out and
    // disconnectWhenDelivered() judges the print by their acknowledgement; a
    // reset stays an error. Before the greeting is in (greetingRead()), the
    // close ends the run: the greeting cannot come any more. Called before
    // connect(), so that no close of the adapter comes first.
    void letPrinterCloseItsSide();
    // The adapter's greeting has been read, or none is expected.
    void greetingRead() { greetingRead_ = true; }

private:
    void attachSocket();
    void checkDelivery();
    // The wait for the acknowledgement: the fewest bytes outstanding so far,
    // when that count last went down, and since when none are outstanding.
    std::uint64_t leastOutstanding_ = 0;
    std::chrono::steady_clock::time_point lastProgress_;
    std::optional<std::chrono::steady_clock::time_point> settledSince_;
    bool finished_ = false;
    bool greetingRead_ = false;
};

// The client of a driver: progress and the one completion of each run, both
// on the main queue.
class FiskalDelegate {
public:
    virtual ~FiskalDelegate() = default;
    // `error` is "OK" when the run succeeded, else the error text.
    virtual void fiskalFinished(Fiskal::Command command, const std::optional<std::string>& error,
                                const std::optional<NetBytes>& data, const std::string& info,
                                const std::string& hodnoty, const std::string& doklad,
                                const std::string& pocetDokladov, Fiskal::Tag tag) = 0;
    // Progress of the run, 0 to 1.
    virtual void fiskalProgress(float progress) = 0;
};
