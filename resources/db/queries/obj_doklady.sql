-- Received orders for delivery, newest first, with the customer, the document type and the share of the ordered quantity already delivered (PLNENIE, a fraction: 1 when complete) by the cash sales and invoices written from the order, less their whole cancellations.
select v.cdok CDOK, v.datum DATUM, v.cas CAS, v.idosc IDOSC, v.ido IDO, v.sumdokz SUMDOKZ, v.info INFO,
       v.pohyb POHYB, coalesce(t.nazov, v.pohyb) NAZOV,
       o.nazov1 NAZOV1, o.nazov2 NAZOV2, o.ulica ULICA, o.mesto MESTO,
       coalesce((select round(sum(min(coalesce(d.mnoz, 0), p.mnoz)) / nullif(sum(p.mnoz), 0), 4)
                 from obj_polo p
                 left join (select pl.idtov, sum(pl.mnoz) mnoz
                            from vety dv
                            join vety vv on vv.id = dv.id
                                 or (vv.parcdok = dv.cdok and vv.pohyb = dv.pohyb and vv.info = 'STORNO ' || dv.cdok)
                            join polo pl on pl.vety_id = vv.id
                            where dv.objcdok = v.cdok and dv.pohyb in (10, 20)
                            group by pl.idtov) d on d.idtov = p.idtov
                 where p.cdok = v.cdok), 0) PLNENIE
from obj_vety v
left join obj_odbe o on o.id = (select min(id) from obj_odbe x where x.cdok = v.cdok)
left join pohyb_typ t on t.cislo = v.pohyb
order by v.cdok desc
