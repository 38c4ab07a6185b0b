#pragma once

#include "fiscal/Fiskal.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/ProgressView.h"
#include "platform/ui/ViewController.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

// The print screen: prints the pending print job of the shared object on the
// chosen printer. It asks for the printer when the job has a text for the
// second one, checks that the device is on that printer's Wi-Fi network,
// makes the driver of the printer's type, shows its progress and finally its
// result. It is left only through the "ok" of its last alert.
class Tlac : public platform::ViewController, public FiskalDelegate {
public:
    std::shared_ptr<Fiskal> fiskal;
    // Connected by the storyboard.
    std::weak_ptr<platform::ImageView> imageViewPrinter;
    std::weak_ptr<platform::ProgressView> progressView;

    void viewDidLoad() override;
    void viewDidDisappear(bool animated) override;

    void hotovoTapped();
    // True when the device is on the network `ssid` (letter case aside);
    // otherwise the wrong-network alert is shown.
    bool checkSSID(const std::string& ssid);
    void start(const std::string& type, const std::string& txt, const std::string& ip, std::uint16_t port,
               const std::string& response);

    void fiskalProgress(float progress) override;
    void fiskalFinished(Fiskal::Command command, const std::optional<std::string>& error,
                        const std::optional<NetBytes>& data, const std::string& info, const std::string& hodnoty,
                        const std::string& doklad, const std::string& pocetDokladov, Fiskal::Tag tag) override;

    // The driver of an upper-cased printer type and the picture shown for
    // it; no driver for a type the system has none for.
    struct Driver {
        std::shared_ptr<Fiskal> fiskal;
        std::string picture;
    };
    static Driver makeDriver(const std::string& type, const std::shared_ptr<FiskalDelegate>& delegate,
                             const std::string& host, std::uint16_t port, const std::string& response);

    // Text upper-cased as the platform does it (letters beyond ASCII too).
    static std::string uppercased(const std::string& text);

private:
    struct Printer {
        std::string ssid;
        std::string ip;
        std::string port;
        std::string response;
    };
    void usePrinter(const Printer& printer, const std::string& label, const std::string& txt);
    void showError(const std::string& message);
    void leave();
    static bool animovat();
};
