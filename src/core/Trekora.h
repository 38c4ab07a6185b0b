#pragma once

// The one shared application object. It holds everything that outlives a
// single screen: the database location, the logged-in user, centre and
// vehicle, the kilometre reading, the settings, the customer, document type,
// goods and totals of the document being written, the temporary document,
// the pending print job, the report definitions and the device services.
//
// Every screen, driver and operation reaches it through sharedTrekora().
// Its operations are defined in several folders, one class over several
// .cpp files:
//   src/core/     construction, log, named queries, settings, login, km,
//                 customers, route/reason menus, no-sale record, line checks,
//                 service lock, information pages, salesman file, device
//   src/sales/    menus, parameters, goods, batches, loyalty, recomputation,
//                 receipt numbers, temporary document
//   src/posting/  document writers, cancellations, closing, write-back
//   src/report/   report-definition parser, report lookups
//   src/sync/     data update, stock transfer, order exchange
//
// Fields are plain public members, read and written on the main thread.

#include "core/FiskalCommand.h"
#include "platform/ui/Color.h"

#include <nlohmann/json.hpp>

#include <chrono>
#include <functional>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// One result row: upper-cased column name -> the column's text (the same
// alias as records/RowDictionary.h).
using RowDictionary = std::map<std::string, std::string>;

class BackgroundJobs;
class SqlDatabase;
class PostingConnection;
class SqlValue;
class NastaveniaItem;
class OdberatelItem;
class TovarItem;
class DatumSpotrebyItem;
class MenuItem;
class KorunkaItem;
class ParameterItem;
class TempVetyItem;
class TempPoloItem;
class ObjVetyItem;
class DataItem;
class Report;
class Section;
struct NetworkInfo;

namespace platform {
class LocationManager;
class DispatchSemaphore;
enum class AuthorizationStatus : int;
}

class Trekora {
public:
    // The global accessor: the one instance, created on the first call
    // (under a once-only guard). Same as ::sharedTrekora().
    static Trekora& shared();
    // Drops the shared instance so that the next shared() builds a new one
    // (tests: a fresh object per test, after pointing the platform at a
    // fresh Documents folder). Its jobs end first (endJobs()); one that is
    // still running after the bound keeps the object: it is let go then,
    // never freed under the job, and the answer is false.
    static bool resetShared();

    // Runs the whole construction: constants, field defaults, the database
    // copy into Documents, both report-definition files, the sounds and the
    // location authorisation. Normally only shared() calls it.
    Trekora();
    ~Trekora();
    Trekora(const Trekora&) = delete;
    Trekora& operator=(const Trekora&) = delete;

    // --- constants ----------------------------------------------------------
    const std::string version = "2.24";
    const std::string dbFileName = "trekora.db3";
    const std::string logFileName = "trekora.log";
    // The fiscal service's documents of uncertain registration, beside the
    // database (never sent to the office).
    const std::string neisteFileName = "ekasa_neiste.json";
    // The start of the names under which a damaged list of them is kept aside.
    const std::string neistePoskodenyPrefix = "ekasa_neiste.poskodeny-";
    const std::int64_t systemPin = 38274;        // master code of the service lock
    const std::int64_t systemPrvocislo = 839;    // prime modulus of the service lock

    // --- fields, in declaration order -----------------------------------------
    // Path of the database file in the Documents folder, set at construction;
    // every database operation opens its own connection on it.
    std::string dbURL;
    platform::Color color = platform::Color::systemBlue();       // nothing reads it
    platform::Color backgroundColor = platform::Color::white();  // nothing reads it
    std::string km = "0";
    std::string idu;
    std::string meno;
    std::string priezvisko;
    std::string str;
    std::string spz;
    std::string info;
    std::string facvset;
    std::string facnas;
    std::string parcdok;
    std::string objcdok;
    std::string trasa;
    std::string datum3;
    std::shared_ptr<NastaveniaItem> nastaveniaItem;
    std::vector<std::shared_ptr<OdberatelItem>> odberatelArray;
    std::vector<std::shared_ptr<TovarItem>> tovarArray;
    std::vector<std::shared_ptr<DatumSpotrebyItem>> datumSpotrebyArray;
    std::shared_ptr<OdberatelItem> selectedOdberatelItem;
    std::shared_ptr<MenuItem> selectedTypDokladuItem;
    std::shared_ptr<TovarItem> selectedTovarItem;
    std::shared_ptr<KorunkaItem> selectedKorunkaItem;
    std::string selectedSumdokz;
    std::string selectedSumdokzDoKorunky;
    std::optional<RowDictionary> selectedObj;
    std::optional<std::vector<RowDictionary>> selectedObjData;
    std::vector<std::shared_ptr<ParameterItem>> parameterArray;
    std::shared_ptr<ParameterItem> selectedParameterItem;
    std::vector<std::shared_ptr<TempVetyItem>> tempVetyArray;
    std::vector<std::shared_ptr<TempPoloItem>> tempPoloArray;
    FiskalCommand fiskalCommand = FiskalCommand::testWifi;
    std::map<std::string, std::string> fiskalCommandParameters;
    std::string printingId;
    std::string printingCdok;
    RowDictionary printingDoklad;
    std::string fiskalTxt;
    std::string fiskalTxt2;
    const std::string xmlFileName = "trekora_ekasa.xml";
    const std::string xmlFileName2 = "trekora_lx300.xml";
    std::string previewTxt;
    std::vector<std::shared_ptr<DataItem>> dataItems;
    std::vector<std::shared_ptr<DataItem>> dataItems2;
    std::uint32_t soundId2 = 0;
    std::uint32_t soundId3 = 0;
    std::uint32_t soundId4 = 0;
    std::uint32_t soundId5 = 0;
    std::uint32_t soundPrint = 0;
    // Working state of the report-definition parser.
    std::vector<std::shared_ptr<DataItem>> helpDataItems;
    std::shared_ptr<DataItem> helpDataItem;
    std::shared_ptr<Report> helpReport;
    std::shared_ptr<Section> helpSection;
    std::string foundCharacters;
    std::string currentElement;
    std::vector<nlohmann::json> cislaObjednavokNaImport;
    std::string datumAktualizacieNaServeri;
    std::string datumAktualizacieLokalne;
    // Why the last update check got no date from the office (no answer, an
    // error status, no usable "Last-Modified"); "" when it got one or the
    // office holds no update file.
    std::string chybaOvereniaAktualizacie;
    std::shared_ptr<platform::LocationManager> locationManager;
    // The work running for this object away from the main thread; every
    // piece holds a ticket of it (core/BackgroundJobs.h).
    const std::shared_ptr<BackgroundJobs> jobs;

    // How long the end of the jobs waits for them at most.
    static constexpr std::chrono::seconds jobsEndBound{10};
    // Ends the running jobs: no new one starts, running transfers are
    // cancelled, and the call waits for the jobs within jobsEndBound. True
    // when every job has ended. The destructor and quitting call it.
    bool endJobs();

    // =========================================================================
    // Application core (src/core/)
    // =========================================================================

    // Device services.
    // The Wi-Fi state of every supported interface; absent without a list.
    std::optional<std::vector<NetworkInfo>> networkInfos() const;
    // Writes "SSID: " and the first interface's network name.
    void printSSID();
    // Location-manager callback: status 4 (authorised when in use) prints
    // the SSID line; every other status does nothing.
    void locationManagerDidChangeAuthorization(platform::LocationManager& manager,
                                               platform::AuthorizationStatus status);
    void playSound2();
    void playSound3();
    void playSound4();
    void playSound5();
    void playSoundPrint();

    // Log: "yyyy-MM-dd HH:mm:ss text" to the console and appended to
    // trekora.log in Documents.
    void log(const std::string& text);

    // Named query store (table sqliteadmin_queries).
    std::string getQuery(const std::string& name);
    // Throws the database error (SqlException, core/SqlException.h) when the
    // lookup fails.
    std::string getQueryOrThrow(const std::string& name);
    std::string getQuery(const std::string& name, SqlDatabase& db);
    // Throws TrekoraError::nenajdeneQuery for a missing or empty text, and
    // the database error when the lookup fails.
    std::string getQueryOrThrow(const std::string& name, SqlDatabase& db);

    // Route and no-sale-reason menus and the no-sale record.
    std::vector<std::shared_ptr<MenuItem>> getTrasaMenuItems();
    std::vector<std::shared_ptr<MenuItem>> getDovodMenuItems();
    // "ok!,,cdok=<number>" or "chyba!,,<description>".
    std::string zapisNepredaj(const std::string& dovod);

    // Customers and stock lists.
    std::vector<RowDictionary> readOdberatelAll();
    // Stock type 10, 50, 60 or 40; any other gives an empty list.
    std::vector<RowDictionary> getSkladData(std::int64_t skladTyp);
    std::vector<std::shared_ptr<OdberatelItem>> readOdberatelArray();
    std::vector<std::shared_ptr<OdberatelItem>> getOdberatelArray(std::int64_t trasa);

    // Line checks.
    bool checkMax(const std::string& hodnota, const std::string& max);
    void setZlava3(const std::string& zlava);

    // Settings of the centre str.
    void readNastaveniaItem();
    // False when nothing was stored (no database, failed statement, or no
    // settings row for the centre).
    bool saveNastaveniaItem();
    // Kilometre reading (table km).
    void readKm();
    void writeKm();

    // Salesman file: the text at the address, "" on any failure or time-out.
    std::string readPredajcaJson(const std::string& urlString);
    // Time-out of that read (15 s unless set; tests shorten it).
    static void setPredajcaTimeout(std::chrono::milliseconds timeout);
    // Login: true when the PIN names a user and the centre is known.
    bool checkUzivatelPin(const std::string& pin);
    // Why the last PIN check could not read the database (SQLite's reason);
    // "" when it could, whatever its answer. A PIN is never called wrong
    // by a database that cannot be read.
    std::string chybaDatabazyPriPrihlaseni;
    // The database was only busy (held by another connection), not damaged.
    bool databazaZaneprazdnena = false;

    // Service access lock.
    std::string getSystemChallenge();
    bool checkSystemPin(const std::string& pin, const std::string& challenge);

    // HTML information pages.
    std::string getHtmlTable(const std::string& sql, const std::optional<std::vector<SqlValue>>& values);
    std::string getUzivatelHtml();

    // Database file placement.
    std::string getDocumentsDirectory();
    void copyFile(const std::string& fileName);
    // The database in Documents as a start finds it: the shipped one copied
    // there when there is none, orders of an earlier version taken over
    // (PrevodObjednavok), numbering above every number that has left the
    // device, and the identifiers of this device's registrations given
    // back. The reason when the numbering could not be raised.
    std::optional<std::string> pripravDatabazu();

    // =========================================================================
    // Reports (src/report/): report-definition parser and lookups
    // =========================================================================
    // Reads both report-definition files into dataItems and dataItems2 and
    // lists them on the console trace (part of the construction).
    void readReportDefinitions();
    // Parses a report-definition file of the resources and appends its
    // definitions to helpDataItems.
    void readDataItems(const std::string& fileName);
    // Parser callbacks. An element's attributes come as the parser hands
    // them over: name, value, name, value, ... and a null name at the end.
    void parserDidStartElement(const char* elementName, const char* const* attributes);
    void parserFoundCharacters(const char* characters, std::size_t length);
    void parserDidEndElement(const char* elementName);
    void parserDidEndDocument();
    std::shared_ptr<DataItem> findDataItem(const std::string& name);
    std::shared_ptr<DataItem> findDataItem2(const std::string& name);
    std::vector<RowDictionary> getData(const std::string& item);

    // =========================================================================
    // Sales logic (src/sales/)
    // =========================================================================
    std::vector<std::shared_ptr<MenuItem>> getMenuItems(const std::string& menu);
    std::vector<std::shared_ptr<ParameterItem>> getParameterArray(const std::shared_ptr<MenuItem>& menuItem);
    std::vector<RowDictionary> getLookupData(const std::shared_ptr<ParameterItem>& parameterItem);
    std::string getDokladHtml(const std::string& cdok);
    std::string getAktivitaHtml(const std::string& id);
    std::vector<std::shared_ptr<TovarItem>> readTovarArray(const std::string& idosc,
                                                                   const std::string& selectQueryName);
    std::vector<std::shared_ptr<DatumSpotrebyItem>> readDatumSpotrebyArray();
    std::vector<std::shared_ptr<TovarItem>> readTovarArrayDB(SqlDatabase& db, const std::string& idosc,
                                                                     const std::string& selectQueryName);
    std::vector<std::shared_ptr<DatumSpotrebyItem>> readDatumSpotrebyArrayDB(SqlDatabase& db);
    std::vector<std::shared_ptr<DatumSpotrebyItem>> getDatumSpotrebyArray(const std::string& idtov);
    std::vector<std::shared_ptr<TovarItem>> getPolozkyArray();
    void odprijmovatVsetko();
    void readKorunka(const std::string& idosc);
    void prepocitajDoklad(const std::vector<std::shared_ptr<TovarItem>>& items);
    std::string getParagonNumber();
    // The same on a connection that the caller holds (inside its
    // transaction); signals a failing query.
    std::string getParagonNumberDB(SqlDatabase& db);
    std::string checkKorunkaBody();
    std::string checkMaxSumaHotovosti();
    // "ok" when every quantity, line amount and the total of the document
    // being written lie in the range the document is computed and written in
    // exactly; else "chyba!,," and what lies beyond it.
    std::string checkRozsahDokladu();
    bool naplnTempDoklad();
    // The same, reading the receipt number on the caller's connection.
    bool naplnTempDokladDB(SqlDatabase& db);

    // =========================================================================
    // Document posting (src/posting/)
    // =========================================================================
    // How long the posting connections wait for a busy database, in seconds
    // (tests shorten it).
    double postingBusyTimeout = 2.0;
    // Whether a posting traces its statements and lists the written document
    // on the console; off where no one reads the console trace.
    bool postingTrace = true;
    // The posting's connection with its prepared statements, kept between
    // postings.
    std::shared_ptr<PostingConnection> postingConnection;
    std::string zapisDokladPreAktivitu(const std::string& aktivitaId, const std::string& parCdok);
    std::string zapisDoklad();
    void executeQueryDB(SqlDatabase& db, const std::string& name, const std::vector<SqlValue>& values);
    std::string zapisDokladDB(SqlDatabase& db);
    std::string getCdok(const std::string& pohyb);
    std::string zapisVyber(const std::string& suma, const std::string& parDok);
    std::string zapisVklad(const std::string& suma, const std::string& parDok);
    std::string zapisDokladKorunkaPrevod(const std::string& mnozstvo, const std::string& info);
    std::string stornoCelehoDokladu(const std::string& id, const std::string& pohyb);
    std::string stornoFiskal(const std::string& id, const std::string& pohyb);
    std::string preberaciCheckParCdok(const std::string& id, const std::string& pohyb);
    std::string vytvorPreberaciProtokol(const std::string& id, const std::string& pohyb);
    std::string uhradaFakturyCheckParCdok(const std::string& id, const std::string& pohyb);
    std::string vytvorUhraduFaktury(const std::string& id, const std::string& pohyb);
    std::string zapisUzavierku();
    std::string exportDU(const std::string& cdok);
    // Exports again every daily closing whose export in "out" was begun and
    // never finished, or whose export file there is not whole; the
    // synchronisation calls it before it sends "out". "" when all went
    // well, otherwise one line for each closing whose export failed. A mark
    // of a closing the database definitely does not hold is never deleted:
    // it is set aside (never sent), its number stays taken, and a line names
    // it; one the database cannot tell about stays owed and is reported as
    // failed.
    std::string dokonciExportyDU();
    // The restore: replaces the database by the downloaded copy at `kopia`
    // when it is a good database and nothing stands against it, numbering
    // its documents above every number that has left the device. "" when
    // done (with the copy's highest document number and what was set aside
    // in `hlasenie`), otherwise the reason, with the database as it was.
    std::string obnovDatabazu(const std::string& kopia, std::string* hlasenie);
    std::string updateDokladById(const std::optional<std::string>& uid, const std::optional<std::string>& okp,
                                         const std::optional<std::string>& datum_vytvor,
                                         const std::optional<std::string>& datum_vystav,
                                         const std::optional<std::string>& datum_evid,
                                         const std::optional<std::string>& pardok,
                                         const std::optional<std::string>& id);
    std::string updateDokladByCdok(const std::optional<std::string>& uid, const std::optional<std::string>& okp,
                                           const std::optional<std::string>& datum_vytvor,
                                           const std::optional<std::string>& datum_vystav,
                                           const std::optional<std::string>& datum_evid,
                                           const std::optional<std::string>& pardok,
                                           const std::optional<std::string>& cdok);
    // How the answer of updateDokladByCdok goes on after "chyba!,," when a
    // document of that number holds the identifiers of another registration:
    // they stay, and nothing is written.
    static const std::string dokladMaInuRegistraciu;
    // How the answer of both write-backs goes on after "chyba!,," when another
    // document holds the uid or okp to be written: nothing is written.
    static const std::string udajePatriaInemuDokladu;
    // What the documents of number `cdok` hold of one registration of the
    // fiscal service (its `uid` and `pardok`): no document has the number,
    // they hold no fiscal identifiers, one holds this registration's, they
    // hold another registration's. A database that cannot be read answers
    // `neprecitane`, with its message in `reason`, never one of the others.
    enum class FiskalneUdaje { ziadnyDoklad, ziadne, tieto, ine, neprecitane };
    FiskalneUdaje fiskalneUdajeDokladu(const std::string& cdok, const std::optional<std::string>& uid,
                                       const std::optional<std::string>& pardok, std::string* reason = nullptr);
    // Gives the documents of the database at `dbPath` that hold no
    // identifiers those of the registration this device recorded for their
    // number (ZaevidovaneDoklady), at the start and after a data update;
    // what stood against it is logged. The reason when it could not.
    std::optional<std::string> vratFiskalneUdaje(const std::string& dbPath);
    std::string vytvorInventurnyVypis(const std::shared_ptr<MenuItem>& menuItem);

    // =========================================================================
    // Server synchronisation and order exchange (src/sync/)
    // =========================================================================
    void readDatumAktualizacieLokalne();
    void writeDatumAktualizacieLokalne();
    void readDatumAktualizacieNaServeri(const std::shared_ptr<platform::DispatchSemaphore>& semafor);
    bool jePotrebnyUpade();
    // Overall deadline in seconds of the update check's request: an office
    // that trickles its answer ends by then as one that stays silent does.
    double updateCheckDeadline = 60.0;
    std::string updateData(const std::string& script, const std::string& updateFileUrl);
    // Stock transfer of a goods receipt from the office server.
    std::string preskladnenieZPC();
    // The stock transfer that the posting of a goods receipt calls when the
    // settings ask for it; the synchronisation installs preskladnenieZPC()
    // here, tests answer it themselves.
    std::function<std::string()> preskladnenieZPCHandler;

    // --- order exchange with the office (src/sync/) ---------------------------
    // Requests go to the complete addresses in OBJ_PRE_EXPORT_DIR (LASTCDOK,
    // EXPORT) and OBJ_PRE_IMPORT_DIR (LIST, SELECT, UPDATE); each has an
    // overall deadline (ObjednavkyHttp). Results are "ok,,..." or
    // "chyba!,,<reason>".
    // The last order number the office holds for this centre: "ok,,<number>".
    std::string getLastCdok();
    // The orders for delivery of this centre above the office's last number,
    // with lines and customer copies; empty on any failure, whose reason goes
    // to `chyba` when given.
    std::vector<std::shared_ptr<ObjVetyItem>> getObjednavkyNaExport(std::string* chyba = nullptr);
    // Sends one order and waits for the office's answer: "ok,," only when the
    // office accepted it.
    std::string exportObjednavka(const std::shared_ptr<ObjVetyItem>& objednavka);
    std::vector<RowDictionary> readObjednavky();
    std::vector<RowDictionary> readObjednavkaPolozky(const std::string& cdok);
    // The import-side requests return at once; their completion writes the
    // outcome into `vysledok` (when given) and then signals `semafor` once.
    void readCislaObjednavokNaImport(const std::shared_ptr<platform::DispatchSemaphore>& semafor,
                                     const std::shared_ptr<std::string>& vysledok = nullptr);
    // SELECT: the reply's orders must all carry the number asked for; the
    // order is stored (a re-delivered order replaces the stored one) or not
    // at all. The same order twice is stored once ("ok,,<note>"); different
    // orders under the one number are not stored.
    void importObjednavka(const std::string& cdok, const std::shared_ptr<platform::DispatchSemaphore>& semafor,
                          const std::shared_ptr<std::string>& vysledok = nullptr);
    // UPDATE: marks the order delivered at the office.
    void updateObjednavka(const std::string& cdok, const std::shared_ptr<platform::DispatchSemaphore>& semafor,
                          const std::shared_ptr<std::string>& vysledok = nullptr);
    // Stores one received order (a JSON object) in obj_vety, obj_polo and
    // obj_odbe in one transaction: "ok!,," or "chyba!,,<reason>".
    std::string zapisObjednavku(const nlohmann::json& objednavka);
    // False when the orders could not be deleted (nothing changed).
    bool vymazObjednavky();
    void getObjednavkaPrijemMenu(const RowDictionary& objednavka, const std::vector<RowDictionary>& polozky);
    void getObjednavkaPredajMenu(const RowDictionary& objednavka, const std::vector<RowDictionary>& polozky,
                                         const std::string& pohyb, const std::string& ctlac);
    void naplnDokladZObjednavky();

private:
    class LocationDelegate;
    std::unique_ptr<LocationDelegate> locationDelegate_;
};

// The global accessor of the shared object.
Trekora& sharedTrekora();
