-- State of an activity (value: its id) today: STAVNUM 0 running, 1 ended, 2 not started yet.
select case when date('now', 'localtime') < datum_od then 2
            when date('now', 'localtime') > datum_do then 1
            else 0 end STAVNUM
from zlava
where id = ?1
