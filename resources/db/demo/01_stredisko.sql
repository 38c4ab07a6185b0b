-- Demo centre, its settings, users, odometer, update version and document type names.
--
-- Demo users and their PINs:
--   idu 1  Ján Novák        PIN 1234  (the demo login)
--   idu 2  Peter Horváth    PIN 5678
--   idu 3  Mária Kováčová   PIN 2468

INSERT INTO stredisk (str, nazov, spz, ulica, psc, mesto, ico, dic, icdph) VALUES
  (12, 'Stredisko Žilina', 'ZA-482KM', 'Kragujevská 14', '010 01', 'Žilina',
   '36401854', '2022154871', 'SK2022154871');

INSERT INTO nastavenia (
  str, kilometre, facingy, datumspotreby, pocetmiestjcena, pocetmiest, pocetmiestdph,
  objednavka, precenenie, gratis, mu_prazdnysklad, maxsumahotovosti, preskladneniepc,
  fbconnectionstring, archiv_pc_dir, backup_pc_dir, import_pc_dir, export_pc_dir,
  pagewidth, pageheight, printport, baudrate, databits, parity, stopbits,
  wifi_printer_ip, wifi_printer_port, wifi_print, device_ip, wifi_printer_ssid,
  device_ip_check, fiskal_print, fiscal_type, odstrankovat_doklad, animovat_okna,
  odprijmovat_vsetko, aktualizovat_po_prijme, wifi_response, obj_pre_export,
  obj_pre_import, obj_pre_delete, obj_pre_export_str, obj_pre_import_dir,
  obj_pre_export_dir, wifi_printer_ssid2, wifi_printer_ip2, wifi_printer_port2,
  wifi_response2, fiscal_type2)
VALUES (
  12, 'A', 'N', 'A', '3', '2', '2',
  'A', 'N', 'N', 'N', '5000', 'N',
  'http://127.0.0.1:8080/trekora_data/preskladnenie.php', '', 'http://127.0.0.1:8080/trekora_data',
  'http://127.0.0.1:8080/trekora_data/import/', '',
  '40', '60', '9100', '9600', '8', 'N', '1',
  '192.168.8.10', '9100', 'A', '', 'TREKORA-ZA482KM',
  'N', 'N', 'FT5000', 'N', 'A',
  'A', 'N', '', 'A',
  'N', 'N', 'sklad Žilina', 'http://127.0.0.1:8080/trekora_data/objednavky.php',
  'http://127.0.0.1:8080/trekora_data/objednavky.php', 'TREKORA-ZA482KM', '192.168.8.11', '9100',
  '', 'ESP');

INSERT INTO uzivatel (idu, meno, priezvisko, pin, zaklad, provizia) VALUES
  (1, 'Ján', 'Novák', '1234', 950, 2.5),
  (2, 'Peter', 'Horváth', '5678', 950, 2.5),
  (3, 'Mária', 'Kováčová', '2468', 1020, 2.0);

INSERT INTO km (hodnota) VALUES ('184310');

INSERT INTO verzia (akcen) VALUES ('2026-11-30 18:00:00');

INSERT INTO pohyb_typ (cislo, nazov, skratka) VALUES
  (0,  'bez predaja', 'BP'),
  (6,  'úhrada faktúry v hotovosti', 'UF'),
  (7,  'vklad do pokladne', 'VK'),
  (8,  'výber z pokladne', 'VY'),
  (9,  'pokladničný doklad', 'PK'),
  (10, 'hotovosť', 'HO'),
  (16, 'preberací protokol', 'PP'),
  (17, 'inventúra tovaru', 'IT'),
  (19, 'príjem tovaru', 'PT'),
  (20, 'faktúra', 'FA'),
  (21, 'dobropis', 'DB'),
  (30, 'dodací list', 'DL'),
  (31, 'návratka', 'NV'),
  (40, 'objednávka', 'OB'),
  (42, 'gratis', 'GR'),
  (43, 'príjem darčekov', 'PR'),
  (44, 'výdaj darčekov', 'VD'),
  (45, 'prevod bodov', 'PB'),
  (47, 'inventúra darčekov', 'ID'),
  (50, 'výdaj pos materiálu', 'VP'),
  (57, 'inventúra pos materiálu', 'IP'),
  (59, 'príjem pos materiálu', 'PM'),
  (60, 'výdaj vzoriek', 'VV'),
  (67, 'inventúra vzoriek', 'IV'),
  (69, 'príjem vzoriek', 'PV'),
  (90, 'denná uzávierka', 'DU'),
  (91, 'mesačná uzávierka', 'MU');

-- Document numbers of this handheld start at 1001.
INSERT INTO sqlite_sequence (name, seq) VALUES ('vety', 1000);
