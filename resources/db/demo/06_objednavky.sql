-- Orders for delivery that the office prepared for the centre and the last import brought:
-- header, lines at the customer's prices, and the customer record, as the office sends them.

INSERT INTO obj_vety (cdok, datum, cas, str, idu, meno, ido, idopl, idosc, ico, pohyb, smj, dodzla, datum3,
                      info, ctl, pardok, parcdok, porcdok, objcdok, importovat) VALUES
  (24101, '2026-12-04', '14:12:08', 12, 1, 'Ján Novák', 10101, 10101, '10101-01', '31561582', 40, 0, 0,
   '2026-12-08', 'ZAVOZ: ráno do 9:00', 0, '', NULL, NULL, NULL, 'A'),
  (24102, '2026-12-04', '15:40:51', 12, 1, 'Ján Novák', 10103, 10103, '10103-01', '50124561', 40, 0, 0,
   '2026-12-08', 'ZAVOZ: vchod z dvora', 0, '', NULL, NULL, NULL, 'A'),
  (24103, '2026-12-05', '09:03:27', 12, 1, 'Ján Novák', 10104, 10104, '10104-01', '46812345', 40, 0, 0,
   '2026-12-09', 'ZAVOZ:', 0, '', NULL, NULL, NULL, 'A');

INSERT INTO obj_polo (cdok, datum, str, ido, pohyb, idtov, idtovsc, naztov1, naztov2, mj, dph, mnoz,
                      cena, zlava1, zlava2, zlavac, ean, ean_ob)
  WITH l(cdok, idtov, mnoz) AS (VALUES
    (24101, 'T001', 6), (24101, 'T002', 24), (24101, 'T006', 30),
    (24102, 'T001', 4), (24102, 'T003', 10), (24102, 'T009', 6), (24102, 'T012', 12),
    (24103, 'T004', 40), (24103, 'T005', 40)
  )
  SELECT v.cdok, v.datum, v.str, v.ido, v.pohyb, t.idtov, t.idtovsc, t.naztov1, t.naztov2, t.mj, t.dph, l.mnoz,
         coalesce(c.cena, t.cena), coalesce(c.zlava1, 0), coalesce(c.zlava2, 0), 0, t.ean, t.ean_ob
  FROM l
  JOIN obj_vety v ON v.cdok = l.cdok
  JOIN tovar t ON t.idtov = l.idtov
  JOIN odberatel o ON o.idosc = v.idosc
  LEFT JOIN cennik c ON c.cislo = o.cennik AND c.idtov = t.idtov
  ORDER BY l.cdok, l.idtov;

UPDATE obj_polo SET cena1 = round(cena * (1 - zlava1 / 100.0), 3);
UPDATE obj_polo SET cena2 = round(cena1 * (1 - zlava2 / 100.0), 3);
UPDATE obj_polo SET cenac = round(cena2 * (1 - zlavac / 100.0), 3);
UPDATE obj_polo SET ccmnoz = round(mnoz * cenac, 2);
UPDATE obj_polo SET hdphcc = round(dph / 100.0 * ccmnoz, 2);
UPDATE obj_polo SET ccsum = round(ccmnoz + hdphcc, 2);
UPDATE obj_vety SET sumdokz = (SELECT round(sum(ccsum), 2) FROM obj_polo WHERE obj_polo.cdok = obj_vety.cdok);

INSERT INTO obj_odbe (cdok, ido, idosc, str, ico, dic, nazov1, nazov2, ulica, mesto, psc, telc, faxc,
                      idopl, matica, zlava, zlmax, pohyb, matic2, ctlac, idoscc, icdph)
  SELECT v.cdok, o.ido, o.idosc, v.str, o.ico, o.dic, o.nazov1, o.nazov2, o.ulica, o.mesto, o.psc, o.telc,
         o.faxc, o.idopl, o.matica, o.zlava, o.zlmax, v.pohyb, o.matic2, o.ctlac, o.idoscc, o.icdph
  FROM obj_vety v JOIN odberatel o ON o.idosc = v.idosc
  ORDER BY v.cdok;
