-- Demo documents of the last days, written as the handheld writes them: header, lines priced
-- from the customer's price list and first batch, totals and the customer copy.
-- The stock levels of 03_tovar.sql are the levels after these documents.

INSERT INTO vety (id, cdok, datum, cas, str, idu, meno, ido, idopl, idosc, ico, pohyb, info, km,
                  facvset, ctl, datum3, uid, okp, datum_vytvor, datum_vystav, datum_evid, pardok) VALUES
  (1001, 1001, '2026-11-24', '08:41:12', 12, 2, 'Peter Horváth', 10201, 10201, '10201-01', '00169277', 20,
   '2026-11-24', 183102, 0, 0, '', NULL, NULL, NULL, NULL, NULL, NULL),
  (1002, 1002, '2026-12-01', '07:58:40', 12, 1, 'Ján Novák', 10102, 10102, '10102-01', '47235120', 10,
   '', 183955, NULL, 0, '', 'O-6E1F2A90C4B84D55A1E3F0B9D2C71A44', '6a1f2c9e-58d81b03-77ae41c2-0c5b9e13-a4d07f66',
   '2026-12-01 07:58:41', '2026-12-01 07:58:41', '2026-12-01 07:58:42', '1/0001'),
  (1003, 1003, '2026-12-01', '09:05:17', 12, 1, 'Ján Novák', 10101, 10101, '10101-01', '31561582', 20,
   '2026-12-01', 183961, 0, 0, '', NULL, NULL, NULL, NULL, NULL, NULL),
  (1004, 1004, '2026-12-01', '10:32:05', 12, 1, 'Ján Novák', 10103, 10103, '10103-01', '50124561', 20,
   '2026-12-01', 183963, 1, 1, '', NULL, NULL, NULL, NULL, NULL, NULL),
  (1005, 1005, '2026-12-02', '08:15:33', 12, 1, 'Ján Novák', 10104, 10104, '10104-01', '46812345', 10,
   'DC:1', 184020, NULL, 0, '', NULL, NULL, NULL, NULL, NULL, NULL),
  (1006, 1006, '2026-12-02', '09:40:51', 12, 1, 'Ján Novák', 10105, 10105, '10105-01', '36398451', 30,
   '', 184027, NULL, 0, '', NULL, NULL, NULL, NULL, NULL, NULL),
  (1007, 1007, '2026-12-02', '11:02:09', 12, 1, 'Ján Novák', 10107, 10107, '10107-01', '10978563', 0,
   'KOM:zatvorené', 184041, NULL, 0, '', NULL, NULL, NULL, NULL, NULL, NULL);

INSERT INTO polo (vety_id, cdok, datum, str, ido, pohyb, sklad_typ, idtov, idtovsc, skutov1, skutov2,
                  naztov1, naztov2, mj, dph, mnoz, cena, zlava1, zlava2, zlavac, sarza, datumspotreby,
                  ean, ean_ob, korunka)
  WITH l(vety_id, idtov, mnoz) AS (VALUES
    (1001, 'T001', 12), (1001, 'T002', 48), (1001, 'T006', 72), (1001, 'T008', 40),
    (1002, 'T004', 20), (1002, 'T005', 20), (1002, 'T011', 12),
    (1003, 'T001', 6), (1003, 'T002', 24), (1003, 'T006', 36), (1003, 'T009', 10),
    (1004, 'T001', 10), (1004, 'T002', 12),
    (1005, 'T010', 10), (1005, 'T012', 6),
    (1006, 'T001', 4), (1006, 'T003', 20), (1006, 'T011', 24)
  )
  SELECT v.id, v.cdok, v.datum, v.str, v.ido, v.pohyb, t.sklad_typ, t.idtov, t.idtovsc, NULL, NULL,
         t.naztov1, t.naztov2, t.mj, t.dph, l.mnoz, coalesce(c.cena, t.cena), coalesce(c.zlava1, 0),
         CASE WHEN v.datum BETWEEN c.datum_od AND c.datum_do THEN c.akczla ELSE coalesce(c.zlava2, 0) END,
         0, b.sarza, b.datumspotreby, t.ean, t.ean_ob, t.korunka
  FROM l
  JOIN vety v ON v.id = l.vety_id
  JOIN tovar t ON t.idtov = l.idtov
  JOIN odberatel o ON o.idosc = v.idosc
  LEFT JOIN cennik c ON c.cislo = o.cennik AND c.idtov = t.idtov
  LEFT JOIN sklad_sarza b ON b.id = (SELECT id FROM sklad_sarza x WHERE x.idtov = t.idtov AND x.sklad_typ = t.sklad_typ
                                     ORDER BY x.datumspotreby LIMIT 1)
  ORDER BY l.vety_id, l.idtov;

-- Prices after the discounts and the line amounts, rounded as the handheld rounds them.
UPDATE polo SET cena1 = round(cena * (1 - zlava1 / 100.0), 3);
UPDATE polo SET cena2 = round(cena1 * (1 - zlava2 / 100.0), 3);
UPDATE polo SET cenac = round(cena2 * (1 - zlavac / 100.0), 3);
UPDATE polo SET ccmnoz = round(mnoz * cenac, 2), cena00 = round(cenac * (1 + dph / 100.0), 2);
UPDATE polo SET hdphcc = round(dph / 100.0 * ccmnoz, 2);
UPDATE polo SET ccsum = round(ccmnoz + hdphcc, 2);

UPDATE vety SET
  sumdokz = coalesce((SELECT round(sum(ccsum), 2) FROM polo WHERE vety_id = vety.id), 0),
  sumdph = coalesce((SELECT round(sum(hdphcc), 2) FROM polo WHERE vety_id = vety.id), 0),
  obccbd = coalesce((SELECT round(sum(ccmnoz), 2) FROM polo WHERE vety_id = vety.id), 0),
  obccsd = coalesce((SELECT round(sum(ccsum), 2) FROM polo WHERE vety_id = vety.id), 0),
  sumdokz_korunka = coalesce((SELECT round(sum(ccsum), 2) FROM polo WHERE vety_id = vety.id AND korunka = 'ANO'), 0);

INSERT INTO odbe (vety_id, cdok, ido, idosc, str, ico, dic, nazov1, nazov2, ulica, mesto, psc, telc, faxc,
                  idopl, matica, zlava, zlmax, pohyb, matic2, ctlac, idoscc, icdph)
  SELECT v.id, v.cdok, o.ido, o.idosc, v.str, o.ico, o.dic, o.nazov1, o.nazov2, o.ulica, o.mesto, o.psc, o.telc,
         o.faxc, o.idopl, o.matica, o.zlava, o.zlmax, v.pohyb, o.matic2, o.ctlac, o.idoscc, o.icdph
  FROM vety v JOIN odberatel o ON o.idosc = v.idosc
  ORDER BY v.id;
