-- Activities for the samples issue, running ones first, with their state by today's date.
select z.id ID, z.nazov NAZOV, z.datum_od DATUM_OD, z.datum_do DATUM_DO,
       case when date('now', 'localtime') < z.datum_od then 'Nezacata'
            when date('now', 'localtime') > z.datum_do then 'Skoncena'
            else 'Prebiehajuca' end STAV
from zlava z
order by case when date('now', 'localtime') between z.datum_od and z.datum_do then 0 else 1 end, z.datum_od desc, z.id
