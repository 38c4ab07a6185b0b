-- Pay of one user (value: idu) per month: base pay plus commission on the turnover without VAT of his sales.
select strftime('%Y-%m', v.datum) mesiac,
       count(*) pocet_dokladov,
       printf('%.2f', sum(v.obccbd)) obrat_bez_dph,
       printf('%.2f', u.provizia) provizia_percent,
       printf('%.2f', sum(v.obccbd) * u.provizia / 100) provizia,
       printf('%.2f', u.zaklad) zaklad,
       printf('%.2f', u.zaklad + sum(v.obccbd) * u.provizia / 100) spolu
from uzivatel u
join vety v on v.idu = u.idu and v.pohyb in (10, 20, 21, 30, 31)
where u.idu = ?1
group by mesiac
order by mesiac desc
