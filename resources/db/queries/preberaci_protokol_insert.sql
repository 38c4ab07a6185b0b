-- Writes the acceptance protocol (movement code 16) of a document (value: its id): header tied to the document by parcdok, its lines and customer copy, no stock movement.
insert into vety (datum, cas, str, idu, meno, ido, idopl, idosc, ico, pohyb, sumdokz, info, parcdok, km, obccbd, obccsd, sumdph)
select date('now', 'localtime'), time('now', 'localtime'), s.str, s.idu, s.meno, s.ido, s.idopl, s.idosc, s.ico,
       16, s.sumdokz, 'preberací protokol k dokladu ' || s.cdok, s.cdok, s.km, 0, 0, 0
from vety s where s.id = ?1;
update vety set cdok = id where id = (select max(id) from vety);
insert into polo (vety_id, cdok, datum, str, ido, pohyb, sklad_typ, idtov, idtovsc, naztov1, naztov2, mj, dph, mnoz, cena,
                  zlava1, cena1, zlava2, cena2, zlavac, cenac, cena00, ccmnoz, hdphcc, ccsum, sarza, datumspotreby, ean, ean_ob, korunka)
select (select max(id) from vety), (select cdok from vety where id = (select max(id) from vety)),
       date('now', 'localtime'), p.str, p.ido, 16, p.sklad_typ, p.idtov, p.idtovsc, p.naztov1, p.naztov2, p.mj, p.dph, p.mnoz, p.cena,
       p.zlava1, p.cena1, p.zlava2, p.cena2, p.zlavac, p.cenac, p.cena00, p.ccmnoz, p.hdphcc, p.ccsum, p.sarza, p.datumspotreby,
       p.ean, p.ean_ob, p.korunka
from polo p where p.vety_id = ?1 order by p.id;
insert into odbe (vety_id, cdok, ido, idosc, str, ico, dic, nazov1, nazov2, ulica, mesto, psc, telc, faxc,
                  idopl, matica, zlava, zlmax, pohyb, matic2, ctlac, idoscc, icdph)
select (select max(id) from vety), (select cdok from vety where id = (select max(id) from vety)),
       o.ido, o.idosc, o.str, o.ico, o.dic, o.nazov1, o.nazov2, o.ulica, o.mesto, o.psc, o.telc, o.faxc,
       o.idopl, o.matica, o.zlava, o.zlmax, 16, o.matic2, o.ctlac, o.idoscc, o.icdph
from odbe o where o.vety_id = ?1 order by o.id limit 1
