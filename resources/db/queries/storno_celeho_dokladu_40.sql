-- Cancels a whole gift issue (value: its id): the negated document, the gifts put back into stock and the points given back to the loyalty account.
insert into vety (datum, cas, str, idu, meno, ido, idopl, idosc, ico, pohyb, datum3, sumdokz, info, ctl, parcdok, km, facvset, facnas, trasa, obccbd, obccsd, sumdph, sumdokz_korunka)
select date('now', 'localtime'), time('now', 'localtime'), s.str, s.idu, s.meno, s.ido, s.idopl, s.idosc, s.ico, s.pohyb, s.datum3,
       -s.sumdokz, 'STORNO ' || s.cdok, s.ctl, s.cdok, s.km, s.facvset, s.facnas, s.trasa, -s.obccbd, -s.obccsd, -s.sumdph, -s.sumdokz_korunka
from vety s where s.id = ?1;
update vety set cdok = id where id = (select max(id) from vety);
insert into polo (vety_id, cdok, datum, str, ido, pohyb, sklad_typ, idtov, idtovsc, naztov1, naztov2, mj, dph, mnoz, cena, zlava1, cena1, zlava2, cena2, zlavac, cenac, cena00, ccmnoz, hdphcc, ccsum, sarza, datumspotreby, ean, ean_ob, korunka)
select (select max(id) from vety), (select cdok from vety where id = (select max(id) from vety)),
       date('now', 'localtime'), p.str, p.ido, p.pohyb, p.sklad_typ, p.idtov, p.idtovsc, p.naztov1, p.naztov2, p.mj, p.dph,
       -p.mnoz, p.cena, p.zlava1, p.cena1, p.zlava2, p.cena2, p.zlavac, p.cenac, p.cena00, -p.ccmnoz, -p.hdphcc, -p.ccsum,
       p.sarza, p.datumspotreby, p.ean, p.ean_ob, p.korunka
from polo p where p.vety_id = ?1 order by p.id;
insert into odbe (vety_id, cdok, ido, idosc, str, ico, dic, nazov1, nazov2, ulica, mesto, psc, telc, faxc,
                  idopl, matica, zlava, zlmax, pohyb, matic2, ctlac, idoscc, icdph)
select (select max(id) from vety), (select cdok from vety where id = (select max(id) from vety)),
       o.ido, o.idosc, o.str, o.ico, o.dic, o.nazov1, o.nazov2, o.ulica, o.mesto, o.psc, o.telc, o.faxc,
       o.idopl, o.matica, o.zlava, o.zlmax, o.pohyb, o.matic2, o.ctlac, o.idoscc, o.icdph
from odbe o where o.vety_id = ?1 order by o.id limit 1;
update sklad_sarza
set stav = stav + (select sum(p.mnoz) from polo p
                    where p.vety_id = ?1 and p.idtov = sklad_sarza.idtov and p.datumspotreby is sklad_sarza.datumspotreby)
where sklad_typ = 40 and exists (select 1 from polo p
                    where p.vety_id = ?1 and p.idtov = sklad_sarza.idtov and p.datumspotreby is sklad_sarza.datumspotreby);
update sklad
set stav = stav + (select sum(p.mnoz) from polo p where p.vety_id = ?1 and p.idtov = sklad.idtov)
where sklad_typ = 40 and exists (select 1 from polo p where p.vety_id = ?1 and p.idtov = sklad.idtov)
;
update korunka
set dary = dary - coalesce((select sum(p.ccmnoz) from polo p where p.vety_id = ?1), 0)
where idosc = (select idosc from vety where id = ?1)
