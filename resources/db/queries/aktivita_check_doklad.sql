-- Gift sets earned by an earlier document (values: its cdok, activity) under an activity without a threshold: one set for a sale with a positive total, none for anything else.
select coalesce((select case when v.pohyb in (10, 20, 30) and v.sumdokz > 0 then 1 else 0 end
                 from vety v where v.cdok = ?1 order by v.id limit 1), 0) KOEF
from zlava
where id = ?2
