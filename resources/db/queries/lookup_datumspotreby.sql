-- Expiry batches of every good of every stock type, by good and expiry date, with the batch level shown beside the date.
select s.id SKLAD_ID, s.stav SKLAD_STAV, z.idtov IDTOV, z.id SARZA_ID, z.stav SARZA_STAV,
       z.datumspotreby DATUMSPOTREBY,
       strftime('%d.%m.%Y', z.datumspotreby) || ' (' || z.stav || ')' FDATSPOT,
       0 VYBRANE
from sklad_sarza z
join sklad s on s.id = z.sklad_id
order by z.idtov, z.datumspotreby, z.id
