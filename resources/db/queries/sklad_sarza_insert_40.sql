-- Creates the missing stock rows and expiry batches (stock type 40, gifts) for the lines of the newest document that moves stock. An undated line of a good without a batch makes no batch, it moves only the stock.
insert into sklad (sklad_typ, idtov, stav)
select distinct 40, p.idtov, 0
from polo p join vety v on v.id = p.vety_id
where v.id = (select max(id) from vety) and v.pohyb in (10, 19, 20, 21, 30, 31, 43, 44, 50, 59, 60, 69)
  and p.idtov is not null
  and not exists (select 1 from sklad s where s.sklad_typ = 40 and s.idtov = p.idtov);
insert into sklad_sarza (sklad_id, sklad_typ, idtov, datumspotreby, stav)
select distinct s.id, 40, p.idtov, p.datumspotreby, 0
from polo p join vety v on v.id = p.vety_id
join sklad s on s.sklad_typ = 40 and s.idtov = p.idtov
where v.id = (select max(id) from vety) and v.pohyb in (10, 19, 20, 21, 30, 31, 43, 44, 50, 59, 60, 69)
  and not exists (select 1 from sklad_sarza z where z.sklad_id = s.id and z.datumspotreby is p.datumspotreby)
  and (p.datumspotreby is not null or exists (select 1 from sklad_sarza z where z.sklad_id = s.id));
