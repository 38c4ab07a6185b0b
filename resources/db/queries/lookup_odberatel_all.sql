-- Every customer establishment with its route stop, loyalty account and this month's turnover, in route order.
-- The month's documents are sought by the range of their dates, so that the index on (idosc, datum) reaches them
-- without going through a customer's older documents.
select t.trasa_cislo TRASA_CISLO, t.poradie PORADIE, o.idosc IDOSC, o.ido IDO,
       o.nazov1 NAZOV1, o.nazov2 NAZOV2, o.ico ICO, o.dic DIC, o.icdph ICDPH,
       o.ulica ULICA, o.psc PSC, o.mesto MESTO, o.banka BANKA, o.cuctu CUCTU,
       o.saldo SALDO, o.salmax SALMAX, o.pohyb POHYB, o.ctlac CTLAC, o.str STR,
       o.info1 INFO1, o.info2 INFO2, o.telc TELC, o.idp IDP, o.id ID, o.zlmax ZLMAX,
       o.matica MATICA, o.matic2 MATIC2, o.info4 INFO4, o.info5 INFO5, o.info6 INFO6,
       coalesce(k.korunka, 'NIE') KORUNKA, k.zaklad ZAKLAD, k.navysenie NAVYSENIE,
       k.navyseny_zaklad NAVYSENY_ZAKLAD, o.centr CENTR,
       coalesce((select sum(v.obccsd) from vety v
                  where v.idosc = o.idosc and v.pohyb in (10, 20, 21, 30, 31)
                    and v.datum >= date('now', 'localtime', 'start of month')
                    and v.datum < date('now', 'localtime', 'start of month', '+1 month')
                    and strftime('%Y-%m', v.datum) = strftime('%Y-%m', 'now', 'localtime')), 0)
         OBRAT_SDPH_AKTUALNY_MESIAC,
       (select count(*) from vety v
         where v.idosc = o.idosc and v.pohyb in (10, 20, 21, 30, 31)
           and v.datum >= date('now', 'localtime', 'start of month')
           and v.datum < date('now', 'localtime', 'start of month', '+1 month')
           and strftime('%Y-%m', v.datum) = strftime('%Y-%m', 'now', 'localtime'))
         POCET_DOKLADOV_AKTUALNY_MESIAC
from trasa_odberatel t
join odberatel o on o.idosc = t.idosc
left join korunka k on k.idosc = o.idosc
order by t.trasa_cislo, t.poradie, o.nazov1
