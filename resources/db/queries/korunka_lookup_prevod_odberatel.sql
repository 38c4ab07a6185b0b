-- Loyalty members that can receive points from the customer (values: ido, ido), by name.
select o.ido LOOKUPFIELD, o.nazov1 || case when coalesce(o.nazov2, '') <> '' then ', ' || o.nazov2 else '' end || ' (' || o.mesto || ')' DISPLAYFIELD
from odberatel o
join korunka k on k.idosc = o.idosc and upper(k.korunka) = 'ANO'
where o.ido <> ?1
group by o.ido
order by o.nazov1, o.ido
