-- Quantity (MNOZ) of the newest document per expiry batch (ID) of stock type 50 (point-of-sale material).
select sum(p.mnoz) MNOZ, z.id ID
from polo p
join sklad s on s.sklad_typ = 50 and s.idtov = p.idtov
join sklad_sarza z on z.sklad_id = s.id and z.datumspotreby is p.datumspotreby
where p.vety_id = (select max(id) from vety)
group by z.id
order by z.id
