#pragma once

// The connection screen: every exchange with the office server starts here.
// It is opened for exactly one job, named by the segue of its menu item, and
// runs that job as soon as it has appeared:
//   "spojenie_synchronizacia_segue"                 synchronisation, after a question
//   "polozky_synchronizacia_po_preskladneni_segue"  synchronisation after a stock transfer
//   "spojenie_aktualizacia_segue"                   data update behind the service code
//   "spojenie_obnova_segue"                         restore of the database behind the service code
//   "spojenie_export_segue" / "spojenie_import_segue"  the order exchange runs
// It leaves the navigation stack only through one of its alerts; its back
// button stays hidden.
//
// Its operations are spread over several files:
//   Spojenie.cpp                 appearance, dispatch, questions and prompts
//   SpojenieTransfer.cpp         file upload, download and the URL-session callbacks
//   SpojenieSynchronizacia.cpp   the two synchronisation jobs
//   SpojenieObjednavky.cpp       the order export and import runs

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "core/BackgroundJobs.h"
#include "platform/Date.h"
#include "platform/DispatchSemaphore.h"
#include "platform/UrlSessionDelegate.h"
#include "platform/ui/ActivityIndicatorView.h"
#include "platform/ui/Label.h"
#include "platform/ui/ProgressView.h"
#include "platform/ui/ViewController.h"

class MenuItem;

namespace platform {
class UrlSession;
class UrlSessionTask;
}  // namespace platform

class Spojenie : public platform::ViewController, public platform::UrlSessionDelegate {
public:
    Spojenie();

    // --- outlets, connected by the storyboard -------------------------------------
    std::weak_ptr<platform::ProgressView> progressView;
    std::weak_ptr<platform::Label> labelInfo;
    std::weak_ptr<platform::ActivityIndicatorView> activityIndicator;

    // --- state ---------------------------------------------------------------------
    // Set by the opening screen before the push; its segue names the job.
    std::shared_ptr<MenuItem> selectedMenuItem;
    // Start of the running job; finish alerts report the seconds since.
    platform::Date startTime;
    // The address of the download in progress.
    std::string downloadFileUrl;
    // Paths of the local files the synchronisation sends.
    std::vector<std::string> filesToSend;
    // The Documents folder.
    std::string documentsPath;

    // Overall deadline of one upload or download in seconds: a transfer that
    // is still running then ends as timed out, also when the server keeps
    // trickling bytes (the idle time-out alone would not end it).
    double transferDeadline = 900.0;

    // --- the screen ------------------------------------------------------------------
    void viewDidLoad() override;
    void viewDidAppear(bool animated) override;

    // Documents folder / last path component of the address.
    std::string localFileUrl(const std::string& address) const;

    // --- URL-session callbacks (on the session's own queue) ----------------------------
    void didWriteData(platform::UrlSession& session, platform::UrlSessionTask& task, int64_t bytesWritten,
                      int64_t totalBytesWritten, int64_t totalBytesExpectedToWrite) override;
    void didFinishDownloadingTo(platform::UrlSession& session, platform::UrlSessionTask& task,
                                const platform::Url& location) override;
    void didCompleteWithError(platform::UrlSession& session, platform::UrlSessionTask& task,
                              const std::optional<platform::Error>& error) override;
    void didSendBodyData(platform::UrlSession& session, platform::UrlSessionTask& task, int64_t bytesSent,
                         int64_t totalBytesSent, int64_t totalBytesExpectedToSend) override;

    // --- transfers ------------------------------------------------------------------
    // Sends one local file to the office's upload endpoint as multipart form
    // data and deletes it once the server answered 200. Returns at once;
    // `semafor` is signalled exactly once when the transfer has ended. A
    // file that is not sent (unreadable, refused, transport error) adds one
    // to neodoslaneSubory.
    void posliSubor(const std::string& path, const std::shared_ptr<platform::DispatchSemaphore>& semafor);
    // Files of the running job that did not reach the office.
    std::atomic<int> neodoslaneSubory{0};
    // Counts one more file that did not reach the office, for `reason`; the
    // last reason is shown with the count.
    void neodoslany(const std::string& reason);
    // Other failures of the running job (the backup, a closing's export, the
    // update check), one a line, shown at its end.
    std::string chybaJobu;
    // What failed in the running job; "" when nothing did.
    std::string popisChyb() const;
    // Whether a file of the outbox goes to the office: a complete plain
    // file. Folders, empty files, hidden or temporary files (a leading "."
    // or the ending ".tmp" or ".part", as files still being written are
    // named) and the journals of a database stay where they are.
    static bool naOdoslanie(const std::string& path);
    // The upload endpoint: the scheme, host and port of BACKUP_PC_DIR (else of
    // IMPORT_PC_DIR) followed by "/trekora_data/uploader.php"; "" when
    // neither setting is an address.
    static std::string uploadEndpoint();
    // The request body of an upload of `bytes` under the file name `fileName`.
    static std::string multipartBody(const std::string& fileName, const std::string& bytes);
    static const std::string boundary;

    // Starts the download of `address` into the Documents folder; its end is
    // handled by the download callbacks. An address that cannot be loaded
    // ends in the failure alert.
    void stiahni(const std::string& address);
    // Why `address` cannot be downloaded; "" when it is a well-formed http or
    // https URL with a host whose last path component names a plain file of
    // the Documents folder: no control character or "/", not hidden, never
    // a journal of the database.
    static std::string chybaAdresy(const std::string& address);
    // The ticket of the download in progress (the shared object's jobs);
    // the download's last callback gives it back.
    BackgroundJobs::TicketPtr stahovanie;

    // --- jobs ------------------------------------------------------------------------
    // The full synchronisation on a background queue: backup archive, every
    // file of "out", log rotation, update check and download.
    void synchronizacia();
    // The short synchronisation after a stock transfer: "out" and the update.
    void synchronizaciaPoPreskladneni();
    void potvrdSynchronizaciu();
    void zobrazChybnyPin();
    void overPin();
    void obnova();
    void aktualizacia();
    // The order exchange runs.
    void exportObjednavok();
    void importObjednavok();

    // --- helpers for the jobs ----------------------------------------------------------------
    // Runs `work` on the main queue with the screen (kept alive until then);
    // dropped when the shared object's jobs have ended by then.
    void naHlavnom(std::function<void(Spojenie&)> work);
    // The finish alert: hides the activity indicator, presents `title` with
    // `message` and one "ok" that pops the screen. Call on the main queue.
    void zobrazKoniec(const std::string& title, const std::string& message, bool errorSound = false);
    // "hotovo" with "čas: %3.0f sec." (on the main queue).
    void zobrazHotovo();
    // "chyba!" with the reason and the seconds (on the main queue).
    void zobrazChybu(const std::string& reason);
    // "chyba!" of a failed download, with the reason and what the running
    // job failed to send before it (on the main queue).
    void zobrazChybuPrenosu(const std::string& reason);
    // "čas: %3.0f sec." with the seconds since startTime.
    std::string casText() const;
    // Shows the progress bar, the label and the activity indicator.
    void ukazPriebeh();
    // The start of a job's run: the progress shown from zero under `info`,
    // and startTime set to now.
    void zacniPriebeh(const std::string& info);
    // The question before a job: "nie" pops the screen, "áno" runs `ano`.
    void opytajSa(const std::string& question, std::function<void(Spojenie&)> ano);
    void nastavInfo(const std::string& text);
    void nastavProgress(float value, bool animated);
    // Pops the screen (animated as the settings say).
    void pop();
    bool animovat() const;
    // Presents an alert of this screen, animated as the settings say.
    void predstav(const std::shared_ptr<platform::ViewController>& alert);

    std::shared_ptr<Spojenie> self();

private:
    mutable std::mutex dovodMutex_;
    std::string dovodNeodoslania_;  // why the last file did not reach the office
    std::shared_ptr<platform::UrlSessionDelegate> selfAsDelegate();
    // The body of a synchronisation job, on a background queue.
    void synchronizaciaJob(bool full);
    // Uploads every file of "out", one at a time.
    void posliOut(const std::string& prefix);
    // Waits for one upload; false (and one more failed file) past the deadline.
    bool cakajNaPrenos(const std::shared_ptr<platform::DispatchSemaphore>& semafor);
};
