-- Quantity (MNOZ) of the newest document per stock row (ID) of stock type 40 (gifts).
select sum(p.mnoz) MNOZ, s.id ID
from polo p
join sklad s on s.sklad_typ = 40 and s.idtov = p.idtov
where p.vety_id = (select max(id) from vety)
group by s.id
order by s.id
