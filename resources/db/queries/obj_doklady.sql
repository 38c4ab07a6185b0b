-- Received orders for delivery, newest first, with the customer, the document type and the share of the ordered quantity already delivered (PLNENIE, a fraction: 1 when complete).
select v.cdok CDOK, v.datum DATUM, v.cas CAS, v.idosc IDOSC, v.ido IDO, v.sumdokz SUMDOKZ, v.info INFO,
       v.pohyb POHYB, coalesce(t.nazov, v.pohyb) NAZOV,
       o.nazov1 NAZOV1, o.nazov2 NAZOV2, o.ulica ULICA, o.mesto MESTO,
       coalesce((select round(sum(min(coalesce(d.mnoz, 0), p.mnoz)) / nullif(sum(p.mnoz), 0), 4)
                 from obj_polo p
                 left join (select pl.idtov, sum(pl.mnoz) mnoz from polo pl join vety vv on vv.id = pl.vety_id
                            where vv.objcdok = v.cdok group by pl.idtov) d on d.idtov = p.idtov
                 where p.cdok = v.cdok), 0) PLNENIE
from obj_vety v
left join obj_odbe o on o.id = (select min(id) from obj_odbe x where x.cdok = v.cdok)
left join pohyb_typ t on t.cislo = v.pohyb
order by v.cdok desc
