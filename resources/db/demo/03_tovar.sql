-- Demo goods of the four stock types, price lists, stock and expiry batches.

-- Stock type 10: goods for sale. cena: base price without VAT.
INSERT INTO tovar (idtov, idtovsc, naztov1, naztov2, ean, ean_ob, mj, dph, cena, hmot, sklad_typ, korunka) VALUES
  ('T001', '1001', 'Káva zrnková Espresso', '1 kg', '8586000123017', '8586000123024', 'ks', 19, 14.90, 1.000, 10, 'ANO'),
  ('T002', '1002', 'Káva mletá Classic', '250 g', '8586000123031', '8586000123048', 'ks', 19, 3.45, 0.250, 10, 'ANO'),
  ('T003', '1003', 'Čaj čierny Ceylon', '20 x 1,5 g', '8586000124014', '8586000124021', 'ks', 19, 1.29, 0.040, 10, 'NIE'),
  ('T004', '1004', 'Horalky arašidové', '50 g', '8586000125011', '8586000125028', 'ks', 19, 0.42, 0.050, 10, 'NIE'),
  ('T005', '1005', 'Tatranky lieskovoorieškové', '47 g', '8586000125035', '8586000125042', 'ks', 19, 0.45, 0.047, 10, 'NIE'),
  ('T006', '1006', 'Čokoláda mliečna', '100 g', '8586000126018', '8586000126025', 'ks', 19, 1.19, 0.100, 10, 'ANO'),
  ('T007', '1007', 'Keksy maslové', '150 g', '8586000127015', '8586000127022', 'ks', 19, 0.99, 0.150, 10, 'NIE'),
  ('T008', '1008', 'Sušienky kakaové', '200 g', '8586000127039', '8586000127046', 'ks', 19, 1.35, 0.200, 10, 'NIE'),
  ('T009', '1009', 'Kakao prírodné', '100 g', '8586000128012', '8586000128029', 'ks', 19, 1.79, 0.100, 10, 'ANO'),
  ('T010', '1010', 'Cukríky ovocné', '90 g', '8586000129019', '8586000129026', 'ks', 19, 0.89, 0.090, 10, 'NIE'),
  ('T011', '1011', 'Minerálna voda jemne perlivá', '1,5 l', '8586000130015', '8586000130022', 'ks', 23, 0.49, 1.550, 10, 'NIE'),
  ('T012', '1012', 'Džús pomarančový 100 %', '1 l', '8586000131012', '8586000131029', 'ks', 23, 1.39, 1.050, 10, 'NIE');

-- Stock type 40: gifts of the loyalty programme; cena is their value in points.
INSERT INTO tovar (idtov, idtovsc, naztov1, naztov2, ean, ean_ob, mj, dph, cena, hmot, sklad_typ, korunka) VALUES
  ('D001', '4001', 'Hrnček s logom', 'keramika 300 ml', '', '', 'ks', 23, 150, 0.350, 40, 'NIE'),
  ('D002', '4002', 'Tričko s logom', 'veľkosť L', '', '', 'ks', 23, 400, 0.200, 40, 'NIE'),
  ('D003', '4003', 'Dáždnik skladací', '', '', '', 'ks', 23, 600, 0.400, 40, 'NIE'),
  ('D004', '4004', 'Nákupná taška', 'bavlna', '', '', 'ks', 23, 100, 0.120, 40, 'NIE');

-- Stock type 50: point-of-sale material.
INSERT INTO tovar (idtov, idtovsc, naztov1, naztov2, ean, ean_ob, mj, dph, cena, hmot, sklad_typ, korunka) VALUES
  ('P001', '5001', 'Stojan na kávu', 'kovový, 4 police', '', '', 'ks', 23, 0, 6.500, 50, 'NIE'),
  ('P002', '5002', 'Plagát Espresso', 'A2', '', '', 'ks', 23, 0, 0.080, 50, 'NIE'),
  ('P003', '5003', 'Cenovky', 'balenie 100 ks', '', '', 'bal', 23, 0, 0.150, 50, 'NIE'),
  ('P004', '5004', 'Wobbler Akcia', '', '', '', 'ks', 23, 0, 0.020, 50, 'NIE');

-- Stock type 60: samples.
INSERT INTO tovar (idtov, idtovsc, naztov1, naztov2, ean, ean_ob, mj, dph, cena, hmot, sklad_typ, korunka) VALUES
  ('V001', '6001', 'Vzorka káva Espresso', '20 g', '', '', 'ks', 19, 0, 0.020, 60, 'NIE'),
  ('V002', '6002', 'Vzorka čaj Ceylon', '2 vrecúška', '', '', 'ks', 19, 0, 0.005, 60, 'NIE'),
  ('V003', '6003', 'Vzorka čokoláda', '25 g', '', '', 'ks', 19, 0, 0.025, 60, 'NIE');

-- Price lists. A good without a row in the customer's list sells at tovar.cena.
INSERT INTO cennik_typ (cislo, nazov) VALUES
  (1, 'Základný cenník'),
  (2, 'Veľkoodberateľský cenník');

INSERT INTO cennik (cislo, idtov, cena, zlava1, zlava2, maxzla, akczla, datum_od, datum_do) VALUES
  (1, 'T001', 14.90, 0, 0, 5, 0, NULL, NULL),
  (1, 'T002', 3.45, 0, 0, 5, 10, '2026-11-15', '2027-01-31'),
  (1, 'T003', 1.29, 0, 0, 5, 0, NULL, NULL),
  (1, 'T004', 0.42, 0, 0, 3, 0, NULL, NULL),
  (1, 'T005', 0.45, 0, 0, 3, 0, NULL, NULL),
  (1, 'T006', 1.19, 0, 0, 5, 15, '2026-12-01', '2026-12-31'),
  (1, 'T007', 0.99, 0, 0, 5, 0, NULL, NULL),
  (1, 'T008', 1.35, 0, 0, 5, 0, NULL, NULL),
  (1, 'T009', 1.79, 0, 0, 5, 0, NULL, NULL),
  (1, 'T010', 0.89, 0, 0, 5, 0, NULL, NULL),
  (1, 'T011', 0.49, 0, 0, 2, 0, NULL, NULL),
  (1, 'T012', 1.39, 0, 0, 2, 0, NULL, NULL),
  (2, 'T001', 13.90, 3, 0, 8, 0, NULL, NULL),
  (2, 'T002', 3.20, 3, 0, 8, 10, '2026-11-15', '2027-01-31'),
  (2, 'T003', 1.19, 3, 0, 8, 0, NULL, NULL),
  (2, 'T004', 0.39, 2, 0, 5, 0, NULL, NULL),
  (2, 'T005', 0.42, 2, 0, 5, 0, NULL, NULL),
  (2, 'T006', 1.09, 3, 0, 8, 15, '2026-12-01', '2026-12-31'),
  (2, 'T007', 0.92, 3, 0, 8, 0, NULL, NULL),
  (2, 'T008', 1.25, 3, 0, 8, 0, NULL, NULL),
  (2, 'T009', 1.65, 3, 0, 8, 0, NULL, NULL),
  (2, 'T010', 0.82, 3, 0, 8, 0, NULL, NULL),
  (2, 'T011', 0.45, 2, 0, 4, 0, NULL, NULL),
  (2, 'T012', 1.29, 2, 0, 4, 0, NULL, NULL);

-- Stock rows for every good in its own stock type; levels are summed from the batches below.
INSERT INTO sklad (sklad_typ, idtov, stav) SELECT sklad_typ, idtov, 0 FROM tovar ORDER BY sklad_typ, idtov;

INSERT INTO sklad_sarza (sklad_id, sklad_typ, idtov, sarza, datumspotreby, stav)
  WITH b(idtov, sarza, datumspotreby, stav) AS (VALUES
    ('T001', 'L2611-04', '2027-05-31', 12), ('T001', 'L2612-01', '2027-08-31', 24),
    ('T002', 'L2610-22', '2027-03-31', 30), ('T002', 'L2612-03', '2027-06-30', 60),
    ('T003', 'C2609-15', '2028-09-30', 40),
    ('T004', 'H2611-18', '2027-02-28', 120), ('T004', 'H2612-02', '2027-04-15', 200),
    ('T005', 'T2611-25', '2027-03-15', 150),
    ('T006', 'M2610-30', '2027-01-31', 36), ('T006', 'M2612-01', '2027-06-30', 72),
    ('T007', 'K2611-11', '2027-05-31', 48),
    ('T008', 'S2611-20', '2027-04-30', 40), ('T008', 'S2612-04', '2027-07-31', 40),
    ('T009', 'A2608-05', '2028-02-28', 25),
    ('T010', 'F2610-14', '2027-10-31', 60),
    ('T011', 'V2611-28', '2027-11-30', 96),
    ('T012', 'J2611-09', '2027-05-31', 48), ('T012', 'J2612-01', '2027-06-30', 24),
    ('D001', 'D-2026', '2030-12-31', 20),
    ('D002', 'D-2026', '2030-12-31', 10),
    ('D003', 'D-2026', '2030-12-31', 6),
    ('D004', 'D-2026', '2030-12-31', 30),
    ('P001', 'P-2026', '2030-12-31', 2),
    ('P002', 'P-2026', '2030-12-31', 15),
    ('P003', 'P-2026', '2030-12-31', 8),
    ('P004', 'P-2026', '2030-12-31', 25),
    ('V001', 'V2611-01', '2027-04-30', 100),
    ('V002', 'V2609-12', '2028-08-31', 80),
    ('V003', 'V2611-20', '2027-05-31', 60)
  )
  SELECT s.id, s.sklad_typ, s.idtov, b.sarza, b.datumspotreby, b.stav
  FROM b JOIN sklad s ON s.idtov = b.idtov;

UPDATE sklad SET stav = (SELECT coalesce(sum(stav), 0) FROM sklad_sarza WHERE sklad_id = sklad.id);
