-- Sales documents of the customer (values: ido, activity) to which the chosen activity has not been applied yet, newest first.
select v.cdok CDOK, v.datum DATUM, v.sumdokz SUMDOKZ
from vety v
where v.ido = ?1 and v.pohyb in (10, 20, 30)
  and not exists (select 1 from vety s
                  where s.pohyb = 60 and s.parcdok = v.cdok and s.tvety_id = ?2 and coalesce(s.info, '') <> '')
order by v.id desc
