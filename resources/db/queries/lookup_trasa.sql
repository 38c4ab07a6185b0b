-- Routes with the number of customer stops on each, by route number.
select t.cislo CISLO, t.nazov NAZOV, count(s.id) POCET
from trasa t
left join trasa_odberatel s on s.trasa_cislo = t.cislo
group by t.cislo, t.nazov
order by t.cislo
