#include "core/Trekora.h"

#include "core/BackgroundJobs.h"
#include "core/OdoslaneCisla.h"
#include "core/PrevodObjednavok.h"
#include "core/SSID.h"
#include "core/ZaevidovaneDoklady.h"
#include "platform/Console.h"
#include "platform/FileManager.h"
#include "platform/LocationManager.h"
#include "platform/Places.h"
#include "platform/SystemSounds.h"
#include "records/DatumSpotrebyItem.h"
#include "records/KorunkaItem.h"
#include "records/MenuItem.h"
#include "records/NastaveniaItem.h"
#include "records/OdberatelItem.h"
#include "records/ParameterItem.h"
#include "records/TempPoloItem.h"
#include "records/TempVetyItem.h"
#include "records/TovarItem.h"

#include <atomic>
#include <mutex>

// Forwards the location manager's callbacks to the shared object.
class Trekora::LocationDelegate : public platform::LocationManagerDelegate {
public:
    explicit LocationDelegate(Trekora& owner) : owner_(owner) {}
    void locationManager(platform::LocationManager& manager, platform::AuthorizationStatus status) override {
        owner_.locationManagerDidChangeAuthorization(manager, status);
    }

private:
    Trekora& owner_;
};

namespace {

std::mutex sharedMutex;
std::atomic<Trekora*> sharedInstance{nullptr};
std::unique_ptr<Trekora> sharedOwner;

void print(const std::string& line) { platform::Console::print(line); }

std::uint32_t registerSound(const std::string& name, const std::string& extension) {
    auto path = platform::Places::resourcePath(name, extension);
    if (!path) return 0;
    return platform::SystemSounds::create(*path).value_or(0);
}

} // namespace

Trekora& Trekora::shared() {
    if (Trekora* instance = sharedInstance.load(std::memory_order_acquire)) return *instance;
    std::lock_guard<std::mutex> lock(sharedMutex);
    if (!sharedOwner) {
        sharedOwner = std::make_unique<Trekora>();
        sharedInstance.store(sharedOwner.get(), std::memory_order_release);
    }
    return *sharedOwner;
}

bool Trekora::resetShared() {
    std::lock_guard<std::mutex> lock(sharedMutex);
    if (!sharedOwner) return true;
    // The jobs end while sharedTrekora() still answers this object: they
    // reach it so until they are done.
    const bool ended = sharedOwner->endJobs();
    sharedInstance.store(nullptr, std::memory_order_release);
    if (!ended) {
        print("a job did not end in time: the shared object stays for it");
        (void)sharedOwner.release();
        return false;
    }
    sharedOwner.reset();
    return true;
}

Trekora& sharedTrekora() { return Trekora::shared(); }

Trekora::Trekora()
    : nastaveniaItem(std::make_shared<NastaveniaItem>()),
      selectedOdberatelItem(std::make_shared<OdberatelItem>()),
      selectedTypDokladuItem(std::make_shared<MenuItem>()),
      selectedTovarItem(std::make_shared<TovarItem>()),
      selectedKorunkaItem(std::make_shared<KorunkaItem>()),
      selectedParameterItem(std::make_shared<ParameterItem>()),
      locationManager(std::make_shared<platform::LocationManager>()),
      jobs(BackgroundJobs::make()) {
    // Copies cut short by a crash or a kill (a restore, an update, a backup
    // moved into the outbox) left hidden partial files: they are of no use.
    platform::FileManager::removePartialCopies(getDocumentsDirectory());
    platform::FileManager::removePartialCopies(platform::FileManager::appendingPathComponent(getDocumentsDirectory(), "out"));
    // Jobs killed with the program leave their work folders (a backup's
    // database snapshot, a download) in the system's temporary folder.
    platform::FileManager::removeAbandonedTemporaryDirectories({"trekora-backup", "trekora-download"});
    dbURL = platform::FileManager::appendingPathComponent(getDocumentsDirectory(), dbFileName);
    pripravDatabazu();

    readReportDefinitions();

    // The posting of a goods receipt asks the office PC for its stock
    // transfer through this call.
    preskladnenieZPCHandler = [this] { return preskladnenieZPC(); };

    soundId2 = registerSound("zvuk2", "mp3");
    soundId3 = registerSound("zvuk3", "mp3");
    soundId4 = registerSound("zvuk4", "mp3");
    soundId5 = registerSound("zvuk5", "mp3");
    soundPrint = registerSound("WorkoutCountdown_Haptic", "caf");

    if (locationManager->authorizationStatus() == platform::AuthorizationStatus::authorizedWhenInUse) {
        printSSID();
    } else {
        locationDelegate_ = std::make_unique<LocationDelegate>(*this);
        locationManager->setDelegate(locationDelegate_.get());
        locationManager->requestWhenInUseAuthorization();
    }
}

Trekora::~Trekora() {
    endJobs();
    if (locationManager) locationManager->setDelegate(nullptr);
}

bool Trekora::endJobs() { return jobs->end(jobsEndBound); }

std::optional<std::string> Trekora::pripravDatabazu() {
    copyFile(dbFileName);
    // Orders an earlier version received show with their lines from the
    // first start of this one; what stood against it is logged, and the
    // links stay for the next start or import, which says it again.
    if (auto failure = PrevodObjednavok::preved(dbURL))
        log(PrevodObjednavok::chyba + " (" + *failure + ")");
    // A database that starts again (the shipped one after the working one
    // was lost) numbers its documents above every number that has left the
    // device.
    auto failure = OdoslaneCisla(getDocumentsDirectory()).pokracujNad(dbURL);
    if (failure) print("numbering not raised above the numbers sent: " + *failure);
    // Its documents registered by this device take their identifiers back.
    vratFiskalneUdaje(dbURL);
    return failure;
}

std::optional<std::string> Trekora::vratFiskalneUdaje(const std::string& dbPath) {
    std::vector<std::string> ine;
    auto failure = ZaevidovaneDoklady(getDocumentsDirectory()).vratDo(dbPath, &ine);
    if (failure) log("fiskalne udaje zo zaznamu zaevidovanych dokladov sa nevratili: " + *failure);
    for (const auto& cdok : ine)
        log("doklad " + cdok + " ma ine fiskalne udaje, nez aky ma zaznam zaevidovanych dokladov: ponechane");
    return failure;
}

// --- database file placement ------------------------------------------------

std::string Trekora::getDocumentsDirectory() { return platform::Places::documentsDirectory(); }

void Trekora::copyFile(const std::string& fileName) {
    print("copyFile");
    auto source = platform::Places::resourcePath(fileName);
    const std::string destination = platform::FileManager::appendingPathComponent(getDocumentsDirectory(), fileName);
    print(source ? *source : std::string("(no resource named " + fileName + ")"));
    print(destination);
    if (source && platform::FileManager::copyItem(*source, destination))
        print("copy ok");
    else
        print("can't copy");
}

// --- device services ---------------------------------------------------------

std::optional<std::vector<NetworkInfo>> Trekora::networkInfos() const { return SSID::fetchNetworkInfo(); }

void Trekora::printSSID() {
    std::string name;
    if (auto infos = networkInfos(); infos && !infos->empty()) name = infos->front().ssid.value_or("");
    print("SSID: " + name);
}

void Trekora::locationManagerDidChangeAuthorization(platform::LocationManager&, platform::AuthorizationStatus status) {
    if (status == platform::AuthorizationStatus::authorizedWhenInUse) printSSID();
}

void Trekora::playSound2() {
    platform::SystemSounds::playAlertSound(1115);
    platform::SystemSounds::vibrateDevice();
}

void Trekora::playSound3() {
    platform::SystemSounds::playAlertSound(1115);
    platform::SystemSounds::vibrateDevice();
}

void Trekora::playSound4() {
    platform::SystemSounds::playAlertSound(1116);
    platform::SystemSounds::vibrateDevice();
}

void Trekora::playSound5() {
    platform::SystemSounds::playAlertSound(1116);
    platform::SystemSounds::vibrateDevice();
}

void Trekora::playSoundPrint() {
    platform::SystemSounds::playSystemSound(soundPrint);
    platform::SystemSounds::vibrateDevice();
}
