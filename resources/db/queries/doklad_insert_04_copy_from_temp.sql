-- Copies the posted temporary document (value: header id, which becomes the document's row id) into vety, polo and odbe and clears it from the temporary tables.
insert into vety (id, datum, cas, str, idu, meno, ido, idopl, idosc, ico, pohyb, smj, dodzla, datum3, sumdokz, info, ctl, pardok, parcdok, porcdok, objcdok, importovat, km, facvset, facnas, trasa, obccbd, obccsd, sumdph, sumdokz_korunka, tvety_id, ducis, uid, okp, datum_vytvor, datum_vystav, datum_evid)
select id, datum, cas, str, idu, meno, ido, idopl, idosc, ico, pohyb, smj, dodzla, datum3, sumdokz, info, ctl, pardok, parcdok, porcdok, objcdok, importovat, km, facvset, facnas, trasa, obccbd, obccsd, sumdph, sumdokz_korunka, tvety_id, ducis, uid, okp, datum_vytvor, datum_vystav, datum_evid
from temp_vety where id = ?1;
-- The lines take the document's number along: its header row id, as "cdok_set"
-- numbers it.
insert into polo (vety_id, cdok, datum, str, ido, pohyb, sklad_typ, idtov, idtovsc, skutov1, skutov2, naztov1, naztov2, mj, dph, mnoz, cena, zlava1, cena1, zlava2, cena2, zlavac, cenac, cena00, ccmnoz, hdphcc, ccsum, sarza, datumspotreby, ean, ean_ob, korunka)
select (select max(id) from vety), (select max(id) from vety), datum, str, ido, pohyb, sklad_typ, idtov, idtovsc, skutov1, skutov2, naztov1, naztov2, mj, dph, mnoz, cena, zlava1, cena1, zlava2, cena2, zlavac, cenac, cena00, ccmnoz, hdphcc, ccsum, sarza, datumspotreby, ean, ean_ob, korunka
from temp_polo where temp_vety_id = ?1 order by id;
insert into odbe (vety_id, ido, idosc, str, ico, dic, nazov1, nazov2, ulica, mesto, psc, telc, faxc, idopl, matica, zlava, zlmax, pohyb, matic2, ctlac, idoscc, icdph)
select v.id, o.ido, o.idosc, v.str, o.ico, o.dic, o.nazov1, o.nazov2, o.ulica, o.mesto, o.psc, o.telc, o.faxc,
       o.idopl, o.matica, o.zlava, o.zlmax, v.pohyb, o.matic2, o.ctlac, o.idoscc, o.icdph
from vety v join odberatel o on o.idosc = v.idosc
where v.id = (select max(id) from vety);
delete from temp_polo where temp_vety_id = ?1;
delete from temp_vety where id = ?1;
