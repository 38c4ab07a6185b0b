-- Schema of trekora.db3.
--
-- Conventions
--   * Document numbers (cdok), movement codes (pohyb), centre codes (str), user ids (idu),
--     customer ids (ido) and row ids are INTEGER; amounts, prices, discounts, quantities
--     and points are REAL; flags are TEXT ("A"/"N", loyalty "ANO"/"NIE"); dates are TEXT
--     'YYYY-MM-DD', times 'HH:MM:SS'.
--   * Goods (idtov) and establishments (idosc) are identified by TEXT codes.
--   * A document is one row of vety (header), its rows of polo (lines) and one row of
--     odbe (the customer as he was when the document was written). polo and odbe point to
--     their header by vety_id and carry the header's cdok as well.
--   * Document number: cdok is the header's own row id. vety.id is AUTOINCREMENT, so a
--     number is never handed out twice; a writer inserts the header and then sets
--     cdok = id (stored query "cdok_set"); the next number is the sqlite_sequence value of
--     vety plus one ("cdok_get"); "last_insert_cdok" reads the cdok of the newest header
--     (max(id)). The demo data seeds sqlite_sequence so that numbers start above 1000.
--   * Stock: one sklad row per stock type and good (the level of the good), and one
--     sklad_sarza row per batch of it (expiry date and level of the batch). The level of a
--     sklad row is the sum of its batches. Stock types: 10 goods, 40 gifts,
--     50 point-of-sale material, 60 samples. A good belongs to one stock type
--     (tovar.sklad_typ), so a goods code alone finds its batches. Batches that reach 0
--     stay, so that a receipt can put goods on them again.
--   * Prices: the customer's price list is odberatel.cennik; a good without a row in that
--     list sells at tovar.cena.
--   * Posting goes through temp_vety/temp_polo: the header and lines are inserted there,
--     completed by the stored column fixes, then copied into vety/polo/odbe.

-- Stored SQL texts, looked up by name.
CREATE TABLE sqliteadmin_queries (
  id INTEGER PRIMARY KEY AUTOINCREMENT,
  name TEXT NOT NULL UNIQUE,
  sql TEXT
);

-- Settings, one row per centre (str); one text column per setting.
CREATE TABLE nastavenia (
  str INTEGER PRIMARY KEY,
  kilometre TEXT,
  facingy TEXT,
  datumspotreby TEXT,
  pocetmiestjcena TEXT,
  pocetmiest TEXT,
  pocetmiestdph TEXT,
  objednavka TEXT,
  precenenie TEXT,
  gratis TEXT,
  mu_prazdnysklad TEXT,
  maxsumahotovosti TEXT,
  preskladneniepc TEXT,
  fbconnectionstring TEXT,
  archiv_pc_dir TEXT,
  backup_pc_dir TEXT,
  import_pc_dir TEXT,
  export_pc_dir TEXT,
  pagewidth TEXT,
  pageheight TEXT,
  printport TEXT,
  baudrate TEXT,
  databits TEXT,
  parity TEXT,
  stopbits TEXT,
  wifi_printer_ip TEXT,
  wifi_printer_port TEXT,
  wifi_print TEXT,
  device_ip TEXT,
  wifi_printer_ssid TEXT,
  device_ip_check TEXT,
  fiskal_print TEXT,
  fiscal_type TEXT,
  odstrankovat_doklad TEXT,
  animovat_okna TEXT,
  odprijmovat_vsetko TEXT,
  aktualizovat_po_prijme TEXT,
  wifi_response TEXT,
  obj_pre_export TEXT,
  obj_pre_import TEXT,
  obj_pre_delete TEXT,
  obj_pre_export_str TEXT,
  obj_pre_import_dir TEXT,
  obj_pre_export_dir TEXT,
  wifi_printer_ssid2 TEXT,
  wifi_printer_ip2 TEXT,
  wifi_printer_port2 TEXT,
  wifi_response2 TEXT,
  fiscal_type2 TEXT
);

-- Last odometer reading of the vehicle, as typed; exactly one row.
CREATE TABLE km (
  hodnota TEXT
);

-- Version (Last-Modified date text) of the last applied data update; exactly one row.
CREATE TABLE verzia (
  akcen TEXT
);

-- Users (salesmen) with their login PIN and pay terms.
CREATE TABLE uzivatel (
  idu INTEGER PRIMARY KEY,
  meno TEXT,
  priezvisko TEXT,
  pin TEXT,
  zaklad REAL DEFAULT 0,      -- monthly base pay
  provizia REAL DEFAULT 0     -- commission in percent of the turnover without VAT
);

-- The centre this handheld belongs to and its vehicle; one row.
CREATE TABLE stredisk (
  str INTEGER PRIMARY KEY,
  nazov TEXT,
  spz TEXT,                   -- vehicle plate
  ulica TEXT,
  psc TEXT,
  mesto TEXT,
  ico TEXT,
  dic TEXT,
  icdph TEXT
);

-- Names of the movement codes (document types).
CREATE TABLE pohyb_typ (
  cislo INTEGER PRIMARY KEY,
  nazov TEXT,
  skratka TEXT
);

-- Routes.
CREATE TABLE trasa (
  cislo INTEGER PRIMARY KEY,
  nazov TEXT
);

-- Stops of a route: which establishment is visited, in which position.
CREATE TABLE trasa_odberatel (
  id INTEGER PRIMARY KEY,
  trasa_cislo INTEGER NOT NULL REFERENCES trasa(cislo),
  poradie INTEGER,
  idosc TEXT NOT NULL,
  ido INTEGER
);
CREATE INDEX trasa_odberatel_trasa ON trasa_odberatel(trasa_cislo, poradie);

-- Customers, one row per establishment (idosc) of a customer (ido).
CREATE TABLE odberatel (
  id INTEGER PRIMARY KEY,
  ido INTEGER NOT NULL,
  idosc TEXT NOT NULL UNIQUE,
  idoscc TEXT,
  idopl INTEGER,              -- payer
  idp TEXT,                   -- short code shown before the name
  nazov1 TEXT,
  nazov2 TEXT,
  ico TEXT,
  dic TEXT,
  icdph TEXT,
  ulica TEXT,
  psc TEXT,
  mesto TEXT,
  telc TEXT,
  faxc TEXT,
  banka TEXT,
  cuctu TEXT,
  saldo REAL DEFAULT 0,
  salmax REAL DEFAULT 0,
  pohyb INTEGER,              -- the customer's document kind: 10 cash, 20 invoice, 30 delivery note
  ctlac INTEGER DEFAULT 0,
  str INTEGER,
  info1 TEXT,
  info2 TEXT,
  info4 TEXT,
  info5 TEXT,
  info6 TEXT,
  zlava REAL DEFAULT 0,       -- standing discount in percent
  zlmax REAL DEFAULT 0,       -- highest discount in percent the salesman may give
  matica INTEGER,
  matic2 INTEGER,
  centr TEXT,
  cennik INTEGER DEFAULT 1    -- price list number (cennik.cislo)
);
CREATE INDEX odberatel_ido ON odberatel(ido);

-- Loyalty programme ("korunka") account of an establishment. body = points earned,
-- dary = points spent on gifts, prevod = points transferred away (negative: received);
-- the points available are body - dary - prevod. The turnover columns are the office's
-- figures at the last data update.
CREATE TABLE korunka (
  idosc TEXT PRIMARY KEY,
  korunka TEXT DEFAULT 'ANO',
  zaklad REAL DEFAULT 0,
  navysenie REAL DEFAULT 0,
  navyseny_zaklad REAL DEFAULT 0,
  body REAL DEFAULT 0,
  dary REAL DEFAULT 0,
  prevod REAL DEFAULT 0,
  obratbdph REAL DEFAULT 0,
  obratsdph REAL DEFAULT 0,
  obratbdph_idtov REAL DEFAULT 0,
  obratsdph_idtov REAL DEFAULT 0
);

-- No-sale reasons.
CREATE TABLE dovod (
  id INTEGER PRIMARY KEY,
  poradie INTEGER,
  dovod TEXT
);

-- Goods of every stock type (sklad_typ 10, 40, 50, 60). cena is the base price without
-- VAT (for gifts: their value in loyalty points); hmot the weight of one unit in kg.
CREATE TABLE tovar (
  idtov TEXT PRIMARY KEY,
  idtovsc TEXT,
  naztov1 TEXT,
  naztov2 TEXT,
  ean TEXT,
  ean_ob TEXT,
  mj TEXT,
  dph REAL DEFAULT 20,
  cena REAL DEFAULT 0,
  hmot REAL DEFAULT 0,
  sklad_typ INTEGER NOT NULL DEFAULT 10,
  korunka TEXT DEFAULT 'NIE'  -- 'ANO': counts into the loyalty programme
);

-- Price lists: price and discounts of a good in price list cislo. akczla is an action
-- discount valid from datum_od to datum_do; maxzla the highest discount allowed.
CREATE TABLE cennik (
  id INTEGER PRIMARY KEY,
  cislo INTEGER NOT NULL,
  idtov TEXT NOT NULL REFERENCES tovar(idtov),
  cena REAL,
  zlava1 REAL DEFAULT 0,
  zlava2 REAL DEFAULT 0,
  maxzla REAL DEFAULT 0,
  akczla REAL DEFAULT 0,
  datum_od TEXT,
  datum_do TEXT,
  UNIQUE (cislo, idtov)
);

-- Names of the price lists.
CREATE TABLE cennik_typ (
  cislo INTEGER PRIMARY KEY,
  nazov TEXT
);

-- Stock level of one good in one stock type (the sum of its batches).
CREATE TABLE sklad (
  id INTEGER PRIMARY KEY,
  sklad_typ INTEGER NOT NULL,
  idtov TEXT NOT NULL REFERENCES tovar(idtov),
  stav REAL NOT NULL DEFAULT 0,
  UNIQUE (sklad_typ, idtov)
);

-- Batches of a stock row: level per expiry date.
CREATE TABLE sklad_sarza (
  id INTEGER PRIMARY KEY,
  sklad_id INTEGER NOT NULL REFERENCES sklad(id),
  sklad_typ INTEGER NOT NULL,
  idtov TEXT NOT NULL,
  sarza TEXT,                 -- producer's batch code
  datumspotreby TEXT,         -- expiry date 'YYYY-MM-DD'
  stav REAL NOT NULL DEFAULT 0,
  UNIQUE (sklad_id, datumspotreby)
);
CREATE INDEX sklad_sarza_tovar ON sklad_sarza(sklad_typ, idtov);

-- Activities (promotions): a customer whose earlier document reaches dodatpla
-- (of the goods in zlava_tovar, or of the whole document when none are listed) gets
-- the gift set of zlava_darcek once per dodatpla.
CREATE TABLE zlava (
  id INTEGER PRIMARY KEY,
  nazov TEXT,
  popis TEXT,
  datum_od TEXT,
  datum_do TEXT,
  dodatpla REAL
);

-- Goods whose line amounts count towards an activity.
CREATE TABLE zlava_tovar (
  id INTEGER PRIMARY KEY,
  zlava_id INTEGER NOT NULL REFERENCES zlava(id),
  idtov TEXT NOT NULL
);

-- One gift set of an activity: gift goods (samples) and their quantity per set.
CREATE TABLE zlava_darcek (
  id INTEGER PRIMARY KEY,
  zlava_id INTEGER NOT NULL REFERENCES zlava(id),
  idtov TEXT NOT NULL,
  mnozstvo REAL
);

-- Document headers. sumdokz is the document total with VAT, obccbd/obccsd the turnover
-- without/with VAT that the document counts for (0 for documents that are no sale),
-- sumdph its VAT. tvety_id links a samples issue to its activity (zlava.id); ducis is
-- the number of the daily closing that closed the document (NULL while open).
-- uid, okp, datum_vytvor, datum_vystav, datum_evid and pardok come back from the
-- fiscal service.
CREATE TABLE vety (
  id INTEGER PRIMARY KEY AUTOINCREMENT,
  cdok INTEGER,
  datum TEXT DEFAULT (date('now','localtime')),
  cas TEXT DEFAULT (time('now','localtime')),
  str INTEGER,
  idu INTEGER,
  meno TEXT,
  ido INTEGER,
  idopl INTEGER,
  idosc TEXT,
  ico TEXT,
  pohyb INTEGER,
  smj REAL,
  dodzla REAL,
  datum3 TEXT,
  sumdokz REAL,
  info TEXT,
  ctl INTEGER,
  pardok TEXT,
  parcdok INTEGER,
  porcdok INTEGER,
  objcdok INTEGER,
  importovat TEXT,
  km INTEGER,
  facvset INTEGER,
  facnas TEXT,
  trasa TEXT,
  obccbd REAL DEFAULT 0,
  obccsd REAL DEFAULT 0,
  sumdph REAL DEFAULT 0,
  sumdokz_korunka REAL DEFAULT 0,
  tvety_id INTEGER,
  ducis INTEGER,
  uid TEXT,
  okp TEXT,
  datum_vytvor TEXT,
  datum_vystav TEXT,
  datum_evid TEXT
);
CREATE INDEX vety_cdok ON vety(cdok);
CREATE INDEX vety_pohyb ON vety(pohyb, datum);
CREATE INDEX vety_idosc ON vety(idosc, datum);
CREATE INDEX vety_parcdok ON vety(parcdok);
CREATE INDEX vety_objcdok ON vety(objcdok);
-- The documents not yet closed (ducis NULL) and the last closing number.
CREATE INDEX vety_ducis ON vety(ducis);
-- The next cash receipt number ("DC:" and the highest number plus one) is read
-- from this index alone, however many documents there are.
CREATE INDEX vety_paragon ON vety(pohyb, (substr(info, 4) + 1)) WHERE info LIKE 'DC:%';

-- Document lines. cena: unit price without VAT; cena1/cena2/cenac: after the first,
-- second and document discount; cena00: final unit price with VAT; ccmnoz: line amount
-- without VAT, hdphcc its VAT, ccsum the line amount with VAT.
CREATE TABLE polo (
  id INTEGER PRIMARY KEY AUTOINCREMENT,
  vety_id INTEGER REFERENCES vety(id),
  cdok INTEGER,
  datum TEXT,
  str INTEGER,
  ido INTEGER,
  pohyb INTEGER,
  sklad_typ INTEGER,
  idtov TEXT,
  idtovsc TEXT,
  skutov1 INTEGER,
  skutov2 INTEGER,
  naztov1 TEXT,
  naztov2 TEXT,
  mj TEXT,
  dph REAL,
  mnoz REAL,
  cena REAL,
  zlava1 REAL,
  cena1 REAL,
  zlava2 REAL,
  cena2 REAL,
  zlavac REAL,
  cenac REAL,
  cena00 REAL,
  ccmnoz REAL,
  hdphcc REAL,
  ccsum REAL,
  sarza TEXT,
  datumspotreby TEXT,
  ean TEXT,
  ean_ob TEXT,
  korunka TEXT
);
CREATE INDEX polo_vety ON polo(vety_id);
CREATE INDEX polo_cdok ON polo(cdok);

-- Customer copy of a document: the customer's data at the time of writing.
CREATE TABLE odbe (
  id INTEGER PRIMARY KEY AUTOINCREMENT,
  vety_id INTEGER REFERENCES vety(id),
  cdok INTEGER,
  ido INTEGER,
  idosc TEXT,
  str INTEGER,
  ico TEXT,
  dic TEXT,
  nazov1 TEXT,
  nazov2 TEXT,
  ulica TEXT,
  mesto TEXT,
  psc TEXT,
  telc TEXT,
  faxc TEXT,
  idopl INTEGER,
  matica INTEGER,
  zlava REAL,
  zlmax REAL,
  pohyb INTEGER,
  matic2 INTEGER,
  ctlac INTEGER,
  idoscc TEXT,
  icdph TEXT
);
CREATE INDEX odbe_vety ON odbe(vety_id);
CREATE INDEX odbe_cdok ON odbe(cdok);

-- Header of the document being posted (same columns as vety); id is the header id.
CREATE TABLE temp_vety (
  id INTEGER PRIMARY KEY AUTOINCREMENT,
  cdok INTEGER,
  datum TEXT DEFAULT (date('now','localtime')),
  cas TEXT DEFAULT (time('now','localtime')),
  str INTEGER,
  idu INTEGER,
  meno TEXT,
  ido INTEGER,
  idopl INTEGER,
  idosc TEXT,
  ico TEXT,
  pohyb INTEGER,
  smj REAL,
  dodzla REAL,
  datum3 TEXT,
  sumdokz REAL,
  info TEXT,
  ctl INTEGER,
  pardok TEXT,
  parcdok INTEGER,
  porcdok INTEGER,
  objcdok INTEGER,
  importovat TEXT,
  km INTEGER,
  facvset INTEGER,
  facnas TEXT,
  trasa TEXT,
  obccbd REAL DEFAULT 0,
  obccsd REAL DEFAULT 0,
  sumdph REAL DEFAULT 0,
  sumdokz_korunka REAL DEFAULT 0,
  tvety_id INTEGER,
  ducis INTEGER,
  uid TEXT,
  okp TEXT,
  datum_vytvor TEXT,
  datum_vystav TEXT,
  datum_evid TEXT
);

-- Lines of the document being posted (same columns as polo, tied by temp_vety_id).
CREATE TABLE temp_polo (
  id INTEGER PRIMARY KEY AUTOINCREMENT,
  temp_vety_id INTEGER REFERENCES temp_vety(id),
  vety_id INTEGER,
  cdok INTEGER,
  datum TEXT,
  str INTEGER,
  ido INTEGER,
  pohyb INTEGER,
  sklad_typ INTEGER,
  idtov TEXT,
  idtovsc TEXT,
  skutov1 INTEGER,
  skutov2 INTEGER,
  naztov1 TEXT,
  naztov2 TEXT,
  mj TEXT,
  dph REAL,
  mnoz REAL,
  cena REAL,
  zlava1 REAL,
  cena1 REAL,
  zlava2 REAL,
  cena2 REAL,
  zlavac REAL,
  cenac REAL,
  cena00 REAL,
  ccmnoz REAL,
  hdphcc REAL,
  ccsum REAL,
  sarza TEXT,
  datumspotreby TEXT,
  ean TEXT,
  ean_ob TEXT,
  korunka TEXT
);
CREATE INDEX temp_polo_vety ON temp_polo(temp_vety_id);

-- Received orders for delivery: header, lines and customer records as the office sends them
-- (the columns are the keys of the order JSON); every row carries its order's number (cdok),
-- a line or customer record sent without one takes the header's.
CREATE TABLE obj_vety (
  id INTEGER PRIMARY KEY AUTOINCREMENT,
  cdok INTEGER,
  datum TEXT,
  cas TEXT,
  str INTEGER,
  idu INTEGER,
  meno TEXT,
  ido INTEGER,
  idopl INTEGER,
  idosc TEXT,
  ico TEXT,
  pohyb INTEGER,
  smj REAL,
  dodzla REAL,
  datum3 TEXT,
  sumdokz REAL,
  info TEXT,
  ctl INTEGER,
  pardok TEXT,
  parcdok INTEGER,
  porcdok INTEGER,
  objcdok INTEGER,
  importovat TEXT
);
CREATE INDEX obj_vety_cdok ON obj_vety(cdok);

-- Lines of received orders.
CREATE TABLE obj_polo (
  id INTEGER PRIMARY KEY AUTOINCREMENT,
  cdok INTEGER,
  datum TEXT,
  str INTEGER,
  ido INTEGER,
  pohyb INTEGER,
  idtov TEXT,
  idtovsc TEXT,
  skutov1 INTEGER,
  skutov2 INTEGER,
  naztov1 TEXT,
  naztov2 TEXT,
  mj TEXT,
  dph REAL,
  mnoz REAL,
  cena REAL,
  zlava1 REAL,
  cena1 REAL,
  zlava2 REAL,
  cena2 REAL,
  zlavac REAL,
  cenac REAL,
  ccmnoz REAL,
  hdphcc REAL,
  ccsum REAL,
  sarza TEXT,
  datumspotreby TEXT,
  ean TEXT,
  ean_ob TEXT
);
CREATE INDEX obj_polo_cdok ON obj_polo(cdok);

-- Customer records of received orders.
CREATE TABLE obj_odbe (
  id INTEGER PRIMARY KEY AUTOINCREMENT,
  ido INTEGER,
  idosc TEXT,
  str INTEGER,
  ico TEXT,
  dic TEXT,
  nazov1 TEXT,
  nazov2 TEXT,
  ulica TEXT,
  mesto TEXT,
  psc TEXT,
  telc TEXT,
  faxc TEXT,
  idopl INTEGER,
  matica INTEGER,
  zlava REAL,
  zlmax REAL,
  pohyb INTEGER,
  matic2 INTEGER,
  ctlac INTEGER,
  idoscc TEXT,
  icdph TEXT,
  cdok INTEGER
);
CREATE INDEX obj_odbe_cdok ON obj_odbe(cdok);
