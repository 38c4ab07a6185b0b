-- Demo routes, customers with their route stops, loyalty accounts and no-sale reasons.

INSERT INTO trasa (cislo, nazov) VALUES
  (1, 'Žilina – mesto'),
  (2, 'Kysuce – Čadca'),
  (3, 'Turiec – Martin');

-- pohyb: 10 pays cash, 20 gets invoices, 30 gets delivery notes. ctlac 1: the invoices
-- and credit notes of the customer (its documents get ctl 1) are paid in cash, which
-- the document's actions offer to register (the café Kvet).
INSERT INTO odberatel (id, ido, idosc, idoscc, idopl, idp, nazov1, nazov2, ico, dic, icdph,
  ulica, psc, mesto, telc, faxc, banka, cuctu, saldo, salmax, pohyb, ctlac, str,
  info1, info2, info4, info5, info6, zlava, zlmax, matica, matic2, centr, cennik) VALUES
  (1,  10101, '10101-01', '10101', 10101, 'ZA01', 'Potraviny Jednota', 'Hlinkovo nám.', '31561582', '2020442158', 'SK2020442158',
       'Hlinkovo námestie 5', '010 01', 'Žilina', '+421 41 562 1180', '', 'Slovenská sporiteľňa', 'SK31 0900 0000 0050 1234 5678', 0, 3000, 20, 0, 12,
       'otvorené Po–So 6:30–19:00', 'tovar preberá vedúca p. Hrušková', '', '', '', 0, 5, 1, 0, 'ZA', 1),
  (2,  10102, '10102-01', '10102', 10102, 'ZA02', 'Bistro U Janka', '', '47235120', '1083456712', '',
       'Národná 21', '010 01', 'Žilina', '+421 905 341 228', '', 'Tatra banka', 'SK45 1100 0000 0029 4455 6677', 0, 500, 10, 0, 12,
       'platí v hotovosti', '', '', '', '', 0, 3, 1, 0, 'ZA', 1),
  (3,  10103, '10103-01', '10103', 10103, 'ZA03', 'Kaviareň Kvet', 'Mariánske nám.', '50124561', '2120214563', 'SK2120214563',
       'Mariánske námestie 12', '010 01', 'Žilina', '+421 908 112 540', '', 'VÚB banka', 'SK12 0200 0000 0031 2233 4455', 0, 1500, 20, 1, 12,
       'káva Espresso – stály odber', '', '', '', '', 0, 8, 1, 0, 'ZA', 2),
  (4,  10104, '10104-01', '10104', 10104, 'ZA04', 'Mini Market Vlčince', '', '46812345', '1071234599', '',
       'Vlčince III 2150', '010 08', 'Žilina', '+421 915 667 120', '', 'Slovenská sporiteľňa', 'SK76 0900 0000 0051 9988 7766', 0, 800, 10, 0, 12,
       '', '', '', '', '', 0, 3, 1, 0, 'ZA', 1),
  (5,  10105, '10105-01', '10105', 10105, 'ZA05', 'Hotel Dubná Skala', 'recepcia – zásobovanie', '36398451', '2022098763', 'SK2022098763',
       'Hurbanova 8', '010 01', 'Žilina', '+421 41 507 9100', '+421 41 507 9101', 'ČSOB', 'SK02 7500 0000 0040 1122 3344', 0, 5000, 30, 0, 12,
       'dodávky len do 10:00', 'vstup zo dvora', '', '', '', 2, 10, 2, 0, 'ZA', 2),
  (6,  10106, '10106-01', '10106', 10106, 'ZA06', 'Pekáreň Solinky', '', '44911234', '2022876541', 'SK2022876541',
       'Obvodová 33', '010 07', 'Žilina', '+421 948 223 901', '', 'Prima banka', 'SK63 5600 0000 0012 3456 0001', 0, 1000, 20, 0, 12,
       '', '', '', '', '', 0, 5, 1, 0, 'ZA', 1),
  (7,  10107, '10107-01', '10107', 10107, 'ZA07', 'Trafika Hájik', '', '10978563', '1020987654', '',
       'Hájik 1190', '010 15', 'Žilina', '+421 904 889 311', '', '', '', 0, 300, 10, 0, 12,
       '', '', '', '', '', 0, 0, 1, 0, 'ZA', 1),
  (8,  10201, '10201-01', '10201', 10201, 'CA01', 'COOP Jednota Čadca', 'predajňa č. 14', '00169277', '2020401458', 'SK2020401458',
       'Palárikova 85', '022 01', 'Čadca', '+421 41 433 2201', '', 'Slovenská sporiteľňa', 'SK50 0900 0000 0000 1716 9277', 0, 4000, 20, 0, 12,
       'objednávky cez vedúceho', '', '', '', '', 0, 5, 1, 0, 'CA', 2),
  (9,  10202, '10202-01', '10202', 10202, 'CA02', 'Potraviny Kubala', '', '33451234', '1031122334', '',
       'Horelica 412', '022 01', 'Čadca', '+421 907 554 612', '', 'VÚB banka', 'SK88 0200 0000 0044 5566 7788', 0, 600, 10, 0, 12,
       '', '', '', '', '', 0, 3, 1, 0, 'CA', 1),
  (10, 10203, '10203-01', '10203', 10203, 'CA03', 'Reštaurácia Kysučanka', '', '45678123', '2023456781', 'SK2023456781',
       'Námestie slobody 7', '022 01', 'Čadca', '+421 41 432 1010', '', 'Tatra banka', 'SK21 1100 0000 0026 1111 2222', 0, 2000, 30, 0, 12,
       '', '', '', '', '', 0, 5, 1, 0, 'CA', 1),
  (11, 10204, '10204-01', '10204', 10204, 'CA04', 'Cukráreň Lucia', '', '50981234', '2120567843', '',
       'Matičné námestie 3', '022 01', 'Čadca', '+421 918 445 002', '', 'mBank', 'SK37 8360 5207 0042 0012 3456', 0, 700, 10, 0, 12,
       '', '', '', '', '', 0, 5, 1, 0, 'CA', 1),
  (12, 10205, '10205-01', '10205', 10205, 'KN01', 'Potraviny Brodno', '', '37812456', '1020654321', '',
       'Krásno nad Kysucou 1021', '023 02', 'Krásno nad Kysucou', '+421 905 771 330', '', 'Prima banka', 'SK09 5600 0000 0033 2211 0099', 0, 900, 20, 0, 12,
       '', '', '', '', '', 0, 3, 1, 0, 'CA', 1),
  (13, 10206, '10206-01', '10206', 10206, 'TU01', 'Chata pod Kykulou', '', '52134567', '2121987654', '',
       'Turzovka 1540', '023 54', 'Turzovka', '+421 949 112 233', '', '', '', 0, 400, 10, 0, 12,
       'sezónna prevádzka', '', '', '', '', 0, 0, 1, 0, 'CA', 1),
  (14, 10207, '10207-01', '10207', 10207, 'OS01', 'Zmiešaný tovar Oščadnica', '', '40123987', '1070345678', '',
       'Oščadnica 188', '023 01', 'Oščadnica', '+421 907 302 118', '', 'VÚB banka', 'SK55 0200 0000 0019 8765 4321', 0, 800, 20, 0, 12,
       '', '', '', '', '', 0, 5, 1, 0, 'CA', 1),
  (15, 10301, '10301-01', '10301', 10301, 'MT01', 'Supermarket Turiec', 'Ulica Pltníkov', '36723456', '2022334455', 'SK2022334455',
       'Pltníkova 2', '036 01', 'Martin', '+421 43 422 7788', '+421 43 422 7789', 'ČSOB', 'SK71 7500 0000 0040 2233 1100', 0, 6000, 30, 0, 12,
       'rampa č. 2', '', '', '', '', 2, 10, 2, 0, 'MT', 2),
  (16, 10302, '10302-01', '10302', 10302, 'MT02', 'Kaviareň Slovenská', '', '50345612', '2120345612', '',
       'M. R. Štefánika 45', '036 01', 'Martin', '+421 911 223 445', '', 'Tatra banka', 'SK44 1100 0000 0029 3344 5566', 0, 800, 10, 0, 12,
       '', '', '', '', '', 0, 5, 1, 0, 'MT', 1),
  (17, 10303, '10303-01', '10303', 10303, 'MT03', 'Potraviny Košúty', '', '34567891', '1020456789', '',
       'Košúty II 12', '036 08', 'Martin', '+421 903 667 888', '', 'Slovenská sporiteľňa', 'SK19 0900 0000 0005 6677 8899', 0, 1200, 20, 0, 12,
       '', '', '', '', '', 0, 5, 1, 0, 'MT', 1),
  (18, 10304, '10304-01', '10304', 10304, 'VR01', 'Penzión Vrútky', '', '46234789', '2023567890', '',
       'Nábrežná 4', '038 61', 'Vrútky', '+421 43 428 1122', '', 'Prima banka', 'SK28 5600 0000 0044 5566 0011', 0, 1500, 30, 0, 12,
       '', '', '', '', '', 0, 5, 1, 0, 'MT', 1),
  (19, 10305, '10305-01', '10305', 10305, 'TT01', 'Potraviny Teplička', '', '47912356', '1083567123', '',
       'Hlavná 88', '038 01', 'Turany', '+421 915 404 505', '', 'VÚB banka', 'SK93 0200 0000 0027 6655 4433', 0, 500, 10, 0, 12,
       '', '', '', '', '', 0, 3, 1, 0, 'MT', 1),
  (20, 10306, '10306-01', '10306', 10306, 'SU01', 'Jednota Sučany', '', '00169552', '2020401999', 'SK2020401999',
       'Sučany 502', '038 52', 'Sučany', '+421 43 429 3301', '', 'Slovenská sporiteľňa', 'SK66 0900 0000 0000 1716 9552', 0, 2500, 20, 0, 12,
       '', '', '', '', '', 0, 5, 1, 0, 'MT', 2),
  (21, 10306, '10306-02', '10306', 10306, 'SU02', 'Jednota Sučany', 'predajňa Žabokreky', '00169552', '2020401999', 'SK2020401999',
       'Žabokreky 77', '038 40', 'Žabokreky', '+421 43 429 3310', '', 'Slovenská sporiteľňa', 'SK66 0900 0000 0000 1716 9552', 0, 2500, 20, 0, 12,
       '', '', '', '', '', 0, 5, 1, 0, 'MT', 2);

INSERT INTO trasa_odberatel (trasa_cislo, poradie, idosc, ido)
  SELECT trasa, row_number() OVER (PARTITION BY trasa ORDER BY id), idosc, ido
  FROM (SELECT CAST(substr(idosc, 3, 1) AS INTEGER) trasa, id, idosc, ido FROM odberatel)
  ORDER BY id;

-- Loyalty programme members; points available = body - dary - prevod.
INSERT INTO korunka (idosc, korunka, zaklad, navysenie, navyseny_zaklad, body, dary, prevod,
                     obratbdph, obratsdph, obratbdph_idtov, obratsdph_idtov) VALUES
  ('10101-01', 'ANO', 600, 10, 660, 820, 300, 0, 4120.50, 4944.60, 2310.00, 2772.00),
  ('10103-01', 'ANO', 400, 10, 440, 515, 150, 0, 2650.00, 3180.00, 1890.40, 2268.48),
  ('10104-01', 'ANO', 300, 0, 300, 240, 100, 0, 1180.20, 1416.24, 640.00, 768.00),
  ('10201-01', 'ANO', 800, 15, 920, 1260, 400, 100, 6120.00, 7344.00, 3340.00, 4008.00),
  ('10204-01', 'ANO', 300, 0, 300, 180, 0, 0, 960.00, 1152.00, 410.50, 492.60),
  ('10301-01', 'ANO', 1000, 10, 1100, 1540, 600, 0, 8840.00, 10608.00, 4420.00, 5304.00),
  ('10302-01', 'ANO', 300, 0, 300, 95, 0, -100, 720.00, 864.00, 350.00, 420.00),
  ('10306-01', 'ANO', 500, 10, 550, 410, 100, 0, 2980.00, 3576.00, 1500.00, 1800.00);

INSERT INTO dovod (id, poradie, dovod) VALUES
  (1, 1, 'zatvorené'),
  (2, 2, 'majiteľ neprítomný'),
  (3, 3, 'dostatočná zásoba'),
  (4, 4, 'nezáujem o tovar'),
  (5, 5, 'vysoká cena'),
  (6, 6, 'nedostatok hotovosti'),
  (7, 7, 'odber cez veľkosklad');
