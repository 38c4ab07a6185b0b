-- Writes the cash payment of a whole invoice (movement code 6) for a document (value: its id): header with the invoice's total, tied to it by parcdok, and its customer copy.
insert into vety (datum, cas, str, idu, meno, ido, idopl, idosc, ico, pohyb, sumdokz, info, parcdok, km, facvset, obccbd, obccsd, sumdph)
select date('now', 'localtime'), time('now', 'localtime'), s.str, s.idu, s.meno, s.ido, s.idopl, s.idosc, s.ico,
       6, s.sumdokz, 'úhrada faktúry ' || s.cdok, s.cdok, s.km, 1, 0, 0, 0
from vety s where s.id = ?1;
update vety set cdok = id where id = (select max(id) from vety);
insert into odbe (vety_id, cdok, ido, idosc, str, ico, dic, nazov1, nazov2, ulica, mesto, psc, telc, faxc,
                  idopl, matica, zlava, zlmax, pohyb, matic2, ctlac, idoscc, icdph)
select (select max(id) from vety), (select cdok from vety where id = (select max(id) from vety)),
       o.ido, o.idosc, o.str, o.ico, o.dic, o.nazov1, o.nazov2, o.ulica, o.mesto, o.psc, o.telc, o.faxc,
       o.idopl, o.matica, o.zlava, o.zlmax, 6, o.matic2, o.ctlac, o.idoscc, o.icdph
from odbe o where o.vety_id = ?1 order by o.id limit 1
