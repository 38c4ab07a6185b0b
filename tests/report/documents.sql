-- One document of every printable kind besides the demo documents, with fixed
-- numbers, dates and times, so that their printouts can be compared with the
-- expected texts.

INSERT INTO vety (id, cdok, datum, cas, str, idu, meno, ido, idopl, idosc, ico, pohyb, info, km, facvset, ctl,
                  datum3, parcdok, sumdokz) VALUES
  (2001, 2001, '2026-12-03', '08:10:00', 12, 1, 'Ján Novák', 10104, 10104, '10104-01', '46812345', 9, '', 184100, NULL, 0, '', NULL, NULL),
  (2002, 2002, '2026-12-03', '07:30:00', 12, 1, 'Ján Novák', NULL, NULL, NULL, NULL, 19, 'príjem zo skladu', 184090, NULL, 0, '', NULL, NULL),
  (2003, 2003, '2026-12-03', '09:00:00', 12, 1, 'Ján Novák', 10101, 10101, '10101-01', '31561582', 21, '2026-12-03', 184110, 0, 0, '', 1003, NULL),
  (2004, 2004, '2026-12-03', '09:20:00', 12, 1, 'Ján Novák', 10105, 10105, '10105-01', '36398451', 31, 'poškodené balenie', 184115, NULL, 0, '', 1006, NULL),
  (2005, 2005, '2026-12-03', '09:40:00', 12, 1, 'Ján Novák', 10102, 10102, '10102-01', '47235120', 40, '', 184120, NULL, 0, '2026-12-08', NULL, NULL),
  (2006, 2006, '2026-12-03', '10:00:00', 12, 1, 'Ján Novák', 10103, 10103, '10103-01', '50124561', 42, '', 184125, NULL, 0, '', NULL, NULL),
  (2007, 2007, '2026-12-03', '07:31:00', 12, 1, 'Ján Novák', NULL, NULL, NULL, NULL, 59, '', 184090, NULL, 0, '', NULL, NULL),
  (2008, 2008, '2026-12-03', '07:32:00', 12, 1, 'Ján Novák', NULL, NULL, NULL, NULL, 69, '', 184090, NULL, 0, '', NULL, NULL),
  (2009, 2009, '2026-12-03', '07:33:00', 12, 1, 'Ján Novák', NULL, NULL, NULL, NULL, 43, '', 184090, NULL, 0, '', NULL, NULL),
  (2010, 2010, '2026-12-03', '10:20:00', 12, 1, 'Ján Novák', 10101, 10101, '10101-01', '31561582', 50, '', 184130, NULL, 0, '', NULL, NULL),
  (2011, 2011, '2026-12-03', '10:40:00', 12, 1, 'Ján Novák', 10102, 10102, '10102-01', '47235120', 60, 'akcia Espresso', 184135, NULL, 0, '', NULL, NULL),
  (2012, 2012, '2026-12-03', '11:00:00', 12, 1, 'Ján Novák', 10103, 10103, '10103-01', '50124561', 44, '', 184140, NULL, 0, '', NULL, NULL),
  (2013, 2013, '2026-12-03', '11:10:00', 12, 1, 'Ján Novák', 10101, 10101, '10101-01', '31561582', 45, '10102', 184140, NULL, 0, '', NULL, 250),
  (2014, 2014, '2026-12-03', '11:20:00', 12, 1, 'Ján Novák', 10101, 10101, '10101-01', '31561582', 16, 'preberací protokol k dokladu 1003', 184145, NULL, 0, '', 1003, NULL),
  (2015, 2015, '2026-12-03', '17:00:00', 12, 1, 'Ján Novák', NULL, NULL, NULL, NULL, 17, 'inventúra', 184200, NULL, 0, '', NULL, 55.36),
  (2016, 2016, '2026-12-03', '17:05:00', 12, 1, 'Ján Novák', NULL, NULL, NULL, NULL, 47, '', 184200, NULL, 0, '', NULL, NULL),
  (2017, 2017, '2026-12-03', '17:10:00', 12, 1, 'Ján Novák', NULL, NULL, NULL, NULL, 57, '', 184200, NULL, 0, '', NULL, NULL),
  (2018, 2018, '2026-12-03', '17:15:00', 12, 1, 'Ján Novák', NULL, NULL, NULL, NULL, 67, '', 184200, NULL, 0, '', NULL, NULL),
  (2019, 2019, '2026-12-03', '12:00:00', 12, 1, 'Ján Novák', 10103, 10103, '10103-01', '50124561', 6, 'úhrada faktúry 1004', 184150, 1, 0, '', 1004, NULL),
  (2020, 2020, '2026-12-03', '07:00:00', 12, 1, 'Ján Novák', NULL, NULL, NULL, NULL, 7, 'vklad iPOD', 184080, NULL, 0, '', NULL, 200),
  (2021, 2021, '2026-12-03', '17:30:00', 12, 1, 'Ján Novák', NULL, NULL, NULL, NULL, 8, 'vyber iPOD', 184210, NULL, 0, '', NULL, 150.5),
  (2022, 2022, '2026-12-03', '18:00:00', 12, 1, 'Ján Novák', NULL, NULL, NULL, NULL, 90, 'uzávierka', 184210, NULL, 0, '', NULL, NULL),
  (2023, 2023, '2026-12-31', '18:00:00', 12, 1, 'Ján Novák', NULL, NULL, NULL, NULL, 91, '', 185100, NULL, 0, '', NULL, NULL);

INSERT INTO polo (vety_id, cdok, datum, str, ido, pohyb, sklad_typ, idtov, idtovsc, naztov1, naztov2, mj, dph, mnoz,
                  cena, zlava1, zlava2, zlavac, sarza, datumspotreby, ean, ean_ob, korunka)
  WITH l(vety_id, idtov, mnoz, zlava) AS (VALUES
    (2001, 'T003', 5, 0), (2001, 'T012', 2, 0),
    (2002, 'T001', 24, 0), (2002, 'T004', 100, 0),
    (2003, 'T002', -2, 0),
    (2004, 'T011', -6, 0),
    (2005, 'T001', 3, 0), (2005, 'T009', 12, 0),
    (2006, 'T006', 2, 100),
    (2007, 'P001', 2, 0), (2007, 'P002', 20, 0),
    (2008, 'V001', 100, 0),
    (2009, 'D001', 10, 0),
    (2010, 'P002', 2, 0),
    (2011, 'V001', 5, 0), (2011, 'V003', 5, 0),
    (2012, 'D001', 1, 0),
    (2015, 'T001', 2, 0), (2015, 'T003', 10, 0),
    (2016, 'D001', 9, 0), (2016, 'D004', 20, 0),
    (2017, 'P001', 1, 0),
    (2018, 'V001', 95, 0), (2018, 'V002', 40, 0)
  )
  SELECT v.id, v.cdok, v.datum, v.str, v.ido, v.pohyb, t.sklad_typ, t.idtov, t.idtovsc, t.naztov1, t.naztov2, t.mj,
         t.dph, l.mnoz, t.cena, l.zlava, 0, 0, b.sarza, b.datumspotreby, t.ean, t.ean_ob, t.korunka
  FROM l
  JOIN vety v ON v.id = l.vety_id
  JOIN tovar t ON t.idtov = l.idtov
  LEFT JOIN sklad_sarza b ON b.id = (SELECT id FROM sklad_sarza x WHERE x.idtov = t.idtov AND x.sklad_typ = t.sklad_typ
                                     ORDER BY x.datumspotreby LIMIT 1)
  ORDER BY l.vety_id, l.idtov;

-- The protocol repeats the lines of its document.
INSERT INTO polo (vety_id, cdok, datum, str, ido, pohyb, sklad_typ, idtov, idtovsc, naztov1, naztov2, mj, dph, mnoz,
                  cena, zlava1, zlava2, zlavac, sarza, datumspotreby, ean, ean_ob, korunka)
  SELECT 2014, 2014, '2026-12-03', str, ido, 16, sklad_typ, idtov, idtovsc, naztov1, naztov2, mj, dph, mnoz,
         cena, zlava1, zlava2, zlavac, sarza, datumspotreby, ean, ean_ob, korunka
  FROM polo WHERE vety_id = 1003 ORDER BY id;

UPDATE polo SET cena1 = round(cena * (1 - zlava1 / 100.0), 3) WHERE vety_id > 2000;
UPDATE polo SET cena2 = round(cena1 * (1 - zlava2 / 100.0), 3) WHERE vety_id > 2000;
UPDATE polo SET cenac = round(cena2 * (1 - zlavac / 100.0), 3) WHERE vety_id > 2000;
UPDATE polo SET ccmnoz = round(mnoz * cenac, 2), cena00 = round(cenac * (1 + dph / 100.0), 2) WHERE vety_id > 2000;
UPDATE polo SET hdphcc = round(dph / 100.0 * ccmnoz, 2) WHERE vety_id > 2000;
UPDATE polo SET ccsum = round(ccmnoz + hdphcc, 2) WHERE vety_id > 2000;

UPDATE vety SET
  sumdokz = coalesce(sumdokz, (SELECT round(sum(ccsum), 2) FROM polo WHERE vety_id = vety.id), 0),
  sumdph = coalesce((SELECT round(sum(hdphcc), 2) FROM polo WHERE vety_id = vety.id), 0),
  obccbd = coalesce((SELECT round(sum(ccmnoz), 2) FROM polo WHERE vety_id = vety.id), 0),
  obccsd = coalesce((SELECT round(sum(ccsum), 2) FROM polo WHERE vety_id = vety.id), 0)
WHERE id > 2000 AND pohyb NOT IN (6, 7, 8, 45, 90, 91);
UPDATE vety SET sumdokz = (SELECT sumdokz FROM vety WHERE id = 1004) WHERE id = 2019;

INSERT INTO odbe (vety_id, cdok, ido, idosc, str, ico, dic, nazov1, nazov2, ulica, mesto, psc, telc, faxc,
                  idopl, matica, zlava, zlmax, pohyb, matic2, ctlac, idoscc, icdph)
  SELECT v.id, v.cdok, o.ido, o.idosc, v.str, o.ico, o.dic, o.nazov1, o.nazov2, o.ulica, o.mesto, o.psc, o.telc,
         o.faxc, o.idopl, o.matica, o.zlava, o.zlmax, v.pohyb, o.matic2, o.ctlac, o.idoscc, o.icdph
  FROM vety v JOIN odberatel o ON o.idosc = v.idosc
  WHERE v.id > 2000
  ORDER BY v.id;

-- The daily closing closes every document written before it.
UPDATE vety SET ducis = 1 WHERE id <= 2022;
UPDATE vety SET
  sumdokz = (SELECT sum(sumdokz) FROM vety WHERE ducis = 1 AND (pohyb IN (6, 7, 8, 10) OR (pohyb IN (20, 21) AND facvset = 1))),
  obccbd = (SELECT sum(obccbd) FROM vety WHERE ducis = 1),
  obccsd = (SELECT sum(obccsd) FROM vety WHERE ducis = 1),
  sumdph = (SELECT sum(sumdph) FROM vety WHERE ducis = 1 AND pohyb IN (10, 20, 21, 30, 31))
WHERE id = 2022;
