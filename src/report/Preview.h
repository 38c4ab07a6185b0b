#pragma once

#include "core/FiskalCommand.h"
#include "platform/ui/ViewController.h"

#include <map>
#include <memory>
#include <string>

namespace platform {
class Toolbar;
class WebView;
}  // namespace platform

// The document preview: shows the document of Trekora::printingDoklad as the
// printer will print it, prepares the pending print job (command, parameters
// and the texts for both printers) and offers printing and the follow-up
// actions on the document (cancellations, acceptance protocol, cash payment
// of an invoice, fix in the fiscal service).
//
// A document whose report cannot be rendered (no definition, or a failed
// report run) is shown as an error with the error sound and never becomes a
// print job.
class Preview : public platform::ViewController {
public:
    // Outlets connected by the storyboard layout.
    std::weak_ptr<platform::Toolbar> toolbar;
    std::weak_ptr<platform::WebView> webView;

    // The text of a document whose definition is missing.
    static const char* const kNenajdeny;

    // The page that shows `text` as preformatted text in a monospaced font;
    // the text is escaped, so it shows exactly as printed.
    static std::string page(const std::string& text);
    // The page of an error: the reason as a heading.
    static std::string errorPage(const std::string& reason);
    // True for the texts that are no document: a failed run ("chyba! ...")
    // or a missing definition.
    static bool isFailure(const std::string& text);

    // The entry of the movement-code table: the definition, the command and
    // the copy definition shown for the cash documents ("" for the others).
    struct Mapping {
        const char* pohyb;
        const char* definition;
        FiskalCommand command;
        const char* copy;
    };
    static const Mapping* mapping(const std::string& pohyb);

    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;

    // Shows a result text ("status,,detail") in an alert, with the error
    // sound when it does not begin with "ok".
    virtual void zobrazVysledok(const std::string& vysledok);
    // The print button: hands the job to the print screen "Tlac".
    virtual void tlacTapped();
    // The action button: the sheet "akcia" with the actions the document allows.
    virtual void akciaTapped();

private:
    std::shared_ptr<Preview> self();
    static bool animovat();
    void pushTlac();
    void tlacKopiu(const std::map<std::string, std::string>& doklad);
    void potvrdZapis(const std::map<std::string, std::string>& doklad, const std::string& title,
                     const std::string& yes, std::string (*operation)(const std::string&, const std::string&));
    void zamokFiskal(const std::map<std::string, std::string>& doklad);
    void fixDoklad();
    void showPage();

    // The document this preview shows and the print job it made for it. The
    // print button prints this job: the shared job may have been replaced
    // since by another action (the fix in the fiscal service).
    struct Job {
        FiskalCommand command = FiskalCommand::nerobNic;
        std::map<std::string, std::string> parameters;
        std::string txt;
        std::string txt2;
    };
    std::map<std::string, std::string> doklad_;
    Job job_;
};
