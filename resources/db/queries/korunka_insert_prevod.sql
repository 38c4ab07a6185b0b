-- Transfer of loyalty points (values: user, giving ido, receiving ido, km, facvset, facnas, trasa, movement code 45, datum3, points): the document with its customer copy, and the points moved between the two accounts.
-- The header takes the giving customer's first establishment, and the program then
-- names on it the establishment chosen on the screen, from which the customer
-- copy and the points given are read. The receiver's points go to its first
-- establishment with a loyalty account, as the list of receivers offers it.
insert into vety (datum, cas, str, idu, meno, ido, idopl, idosc, ico, pohyb, info, km, facvset, facnas, trasa, datum3, sumdokz, obccbd, obccsd, sumdph)
select date('now', 'localtime'), time('now', 'localtime'),
       (select str from stredisk order by str limit 1),
       nullif(?1, ''),
       (select trim(coalesce(meno, '') || ' ' || coalesce(priezvisko, '')) from uzivatel where idu = ?1),
       nullif(?2, ''),
       (select idopl from odberatel where ido = ?2 order by id limit 1),
       (select idosc from odberatel where ido = ?2 order by id limit 1),
       (select ico from odberatel where ido = ?2 order by id limit 1),
       cast(?8 as integer), ?3, nullif(trim(?4), ''), nullif(trim(?5), ''), ?6, ?7, ?9, cast(trim(?10) as real), 0, 0, 0;
update vety set cdok = id where id = (select max(id) from vety);
insert into odbe (vety_id, cdok, ido, idosc, str, ico, dic, nazov1, nazov2, ulica, mesto, psc, telc, faxc,
                  idopl, matica, zlava, zlmax, pohyb, matic2, ctlac, idoscc, icdph)
select v.id, v.cdok, o.ido, o.idosc, v.str, o.ico, o.dic, o.nazov1, o.nazov2, o.ulica, o.mesto, o.psc, o.telc, o.faxc,
       o.idopl, o.matica, o.zlava, o.zlmax, v.pohyb, o.matic2, o.ctlac, o.idoscc, o.icdph
from vety v join odberatel o on o.idosc = v.idosc
where v.id = (select max(id) from vety);
update korunka set prevod = prevod + cast(trim(?10) as real)
where idosc = (select idosc from vety where id = (select max(id) from vety));
update korunka set prevod = prevod - cast(trim(?10) as real)
where idosc = (select o.idosc from odberatel o join korunka k on k.idosc = o.idosc and upper(k.korunka) = 'ANO'
               where o.ido = ?3 order by o.id limit 1);
